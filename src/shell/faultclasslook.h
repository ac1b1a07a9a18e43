#pragma once
// How a reported fault is named and coloured wherever the window shows it:
// the fault popups and the fault indicator of the status bar.
#include <QColor>
#include <QString>

namespace velmora::shell {

struct FaultClassLook {
    QString name;       // "Warning", "Fault", ...
    QColor background;  // the class's colour
    QColor text;        // readable on the background
};

// Classes 1..3 have their own name and colour; any other non-zero class is
// named by its number, in grey.
[[nodiscard]] FaultClassLook faultClassLook(unsigned faultClass);
// The popup's headline: the table's headline and the number, or, for a
// number without an entry, the class's name and the number.
[[nodiscard]] QString faultHeadline(unsigned faultClass, unsigned number);
// The table's text of the number, or the text saying it is not described.
[[nodiscard]] QString faultDescription(unsigned number);
// The description up to its first full stop: one line for the status bar.
[[nodiscard]] QString faultShortText(unsigned number);

}  // namespace velmora::shell
