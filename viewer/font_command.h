#pragma once

#include "dialogs/dialogs.h"

namespace qelvrin {

class Global;

// The viewer's text area as the font command sees it. A setter may refuse
// a value with ErrorCode 380.
class FontTarget {
public:
    virtual ~FontTarget() = default;
    virtual FontChoice font() const = 0;
    virtual void setFace(const QString& face) = 0;
    virtual void setSize(float points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setItalic(bool italic) = 0;
    // Lays the window out again for the new size (the resize handler).
    virtual void relayout() = 0;
};

// The font command: offers the current font, applies the choice (face,
// size, bold, italic), stores the four font keys and lays the window out.
// A failure is reported under "QELVRIN: Font Error" and leaves done what
// was done before it; Cancel ends quietly.
void runFontCommand(Dialogs& dialogs, FontTarget& target, const Global& settings);

} // namespace qelvrin
