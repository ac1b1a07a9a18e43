#pragma once
// What the main window does with the fault class and number of one status
// reply. Kept free of widgets so the once-only rules can be tested as a table.
#include <bitset>
#include <cstdint>

namespace velmora::frame {

enum class FaultPopupSlot { None, A, B, General };

struct FaultAction {
    bool clearAll = false;  // class 0: hide popups A and B
    FaultPopupSlot popup = FaultPopupSlot::None;
    bool showPopup = false;             // a popup slot was chosen
    bool generalErrorSequence = false;  // class 3, first time this run
    bool stopRunIn = false;
};

// Whether the motor may be turning, by bytes d0 and d1 of a status reply:
// the drive allows operation (bit 0 of d1) only at standstill, and bits 0
// (running) and 2 (turning) of d0 say so directly.
[[nodiscard]] bool MotorMayTurn(std::uint8_t d0, std::uint8_t d1);

class FaultTracker {
  public:
    // faultClass and number are bytes d2 and d3 of the status reply.
    [[nodiscard]] FaultAction evaluate(std::uint8_t faultClass, std::uint8_t number);
    // A language change forgets which faults were shown (not the general error).
    void clearShown() { m_shown.reset(); }
    [[nodiscard]] bool generalErrorShown() const { return m_generalErrorShown; }

  private:
    // The drive reports the number as one byte: a flag for every value keeps
    // numbers above the 64 faults the language files describe from reaching
    // past the table.
    std::bitset<256> m_shown;
    bool m_generalErrorShown = false;  // until the drive reports no fault
};

}  // namespace velmora::frame
