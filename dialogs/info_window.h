#pragma once

#include <QDialog>

class QLabel;

namespace qelvrin {

// One of the two Help windows: a text label and an OK button that hides
// the window, which is kept for the next showing.
class InfoWindow : public QDialog {
    Q_OBJECT

public:
    // frmAbout (with its picture, also its window icon) and frmTechSupport.
    static InfoWindow* createAbout(QWidget* parent);
    static InfoWindow* createTechSupport(QWidget* parent);

    QLabel* textLabel() const { return m_text; }
    // Sets the label's caption and waits until the window is hidden or closed.
    void showText(const QString& text);

private:
    struct Layout;
    InfoWindow(const Layout& layout, QWidget* parent);

    QLabel* m_text = nullptr;
};

} // namespace qelvrin
