#pragma once

#include "support/file_writer.h"
#include "viewer/view_document.h"

#include <QTemporaryDir>
#include <QTest>

// Writes `bytes` to a file of its own and loads it into a document.
class LoadedDocument {
public:
    // On `threads` threads, each indexing its share of the file.
    explicit LoadedDocument(const QByteArray& bytes, int threads = 0)
    {
        QString error;
        m_loaded = m_document.load(qelvrin::testing::writeFile(m_dir, QStringLiteral("file.txt"), bytes), &error, nullptr, threads);
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
