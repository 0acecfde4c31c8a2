#pragma once

#include "viewer/view_document.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Writes `bytes` to a file of its own and loads it into a document.
class LoadedDocument {
public:
    explicit LoadedDocument(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("file.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        file.close();
        QString error;
        m_loaded = m_document.load(path, &error);
        if (!m_loaded)
            qWarning("load failed: %s", qPrintable(error));
    }

    bool loaded() const { return m_loaded; }
    const qelvrin::ViewDocument& operator*() const { return m_document; }
    const qelvrin::ViewDocument* operator->() const { return &m_document; }

private:
    QTemporaryDir m_dir;
    qelvrin::ViewDocument m_document;
    bool m_loaded = false;
};
