#pragma once

#include <QColor>
#include <QFrame>

namespace qelvrin {

// Panel3D1: a sunken grey panel filled from the left to a whole percentage,
// with the percentage written across it.
class CompletionPanel : public QFrame {
    Q_OBJECT

public:
    explicit CompletionPanel(QWidget* parent = nullptr);

    int percent() const { return m_percent; }
    void setPercent(int percent);
    QColor textColour() const { return m_textColour; }
    void setTextColour(const QColor& colour);
    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_percent = 0;
    QColor m_textColour = Qt::white;
};

} // namespace qelvrin
