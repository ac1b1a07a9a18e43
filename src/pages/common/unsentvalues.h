#pragma once
// Values a page loaded from a file or had edited but never sent to the drive:
// their working values differ from the image (what was last read or sent).
#include <initializer_list>

class QWidget;

namespace velmora::model {
class DriveData;
}

namespace velmora::pages {

// groupCodes: the page's groups by reply code (0x51 ...).
[[nodiscard]] bool HoldsUnsentValues(const model::DriveData& data,
                                     std::initializer_list<int> groupCodes);
// With unsent values, asks whether to discard them (OK) or stay (Cancel);
// true when the page may be left. Discarding changes nothing: the page reads
// its groups again the next time it is shown.
[[nodiscard]] bool ConfirmLeavingUnsent(QWidget* page, const model::DriveData& data,
                                        std::initializer_list<int> groupCodes);

}  // namespace velmora::pages
