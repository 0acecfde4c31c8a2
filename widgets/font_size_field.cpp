#include "widgets/font_size_field.h"

#include <QFontDialog>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace qelvrin {

namespace {

QString shown(double points)
{
    return QString::number(points, 'g', 6);
}

} // namespace

FontSizeField::FontSizeField(QFontDialog& dialog, double points) : m_points(points)
{
    // The dialog's fields: the size takes whole numbers, the family and the
    // style are read-only, and the one left is the sample.
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (qobject_cast<const QIntValidator*>(edit->validator()))
            m_sizeEdit = edit;
        else if (!edit->isReadOnly())
            m_sample = edit;
    }
    if (!m_sizeEdit || !m_sample)
        return;
    m_sizeEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,3}([.][0-9]{0,2})?")), m_sizeEdit));
    // With the effects hidden the sample would get no height of its own:
    // it keeps at least the height its font needs.
    m_sample->setSizePolicy(m_sample->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    // Runs after the dialog's own handler, which reads the field as a whole number.
    connect(m_sizeEdit, &QLineEdit::textChanged, this, &FontSizeField::typed);
    connect(&dialog, &QFontDialog::currentFontChanged, this, &FontSizeField::keep);
    m_sizeEdit->setText(shown(m_points));
}

void FontSizeField::typed(const QString& text)
{
    m_lastTyped = text;
    bool ok = false;
    const double points = text.toDouble(&ok);
    if (ok && points > 0)
        m_points = points;
    keepSample();
}

void FontSizeField::keepSample()
{
    QFont font = m_sample->font();
    if (font.pointSizeF() != m_points) {
        font.setPointSizeF(m_points);
        m_sample->setFont(font);
    }
}

// A change of face or style makes the dialog redraw the sample at its whole
// size and rewrite the field without a word; both get the size back. The
// field is mended afterwards: a size being typed reaches the dialog first.
void FontSizeField::keep()
{
    keepSample();
    if (m_sizeEdit->text() != m_lastTyped)
        QMetaObject::invokeMethod(this, &FontSizeField::restoreField, Qt::QueuedConnection);
}

void FontSizeField::restoreField()
{
    if (m_sizeEdit->text() != m_lastTyped)
        m_sizeEdit->setText(shown(m_points));
}

} // namespace qelvrin
