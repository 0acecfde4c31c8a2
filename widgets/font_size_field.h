#pragma once

#include <QObject>
#include <QString>

class QFontDialog;
class QLineEdit;

namespace qelvrin {

// The font dialog knows whole point sizes only: it shows 7.5 as 8 and its
// size field refuses a point. The settings keep a fractional size, so the
// field takes one (with a point, whatever the locale), the sample is drawn
// at it, and the size chosen is read from here. The sample also keeps the
// height its font needs, which hiding the effects took from it.
class FontSizeField : public QObject {
public:
    // After the dialog's current font is set.
    FontSizeField(QFontDialog& dialog, double points);

    // The size in the field; the last valid one while it is being typed.
    double points() const { return m_points; }

private:
    void typed(const QString& text);
    void keepSample();
    void keep();
    void restoreField();

    QLineEdit* m_sizeEdit = nullptr;
    QLineEdit* m_sample = nullptr;
    double m_points;
    QString m_lastTyped; // the field as its last change left it
};

} // namespace qelvrin
