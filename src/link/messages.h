#pragma once
// Window message numbers shared by the link threads, the main window and the pages.
#include <cstdint>

namespace velmora::link {

inline constexpr unsigned WM_TECHPAGE_VISIBILITY = 0x8000;
inline constexpr unsigned WM_SHOW_SPECIFICPROG = 0x8001;
inline constexpr unsigned WM_DRIVE_REPLY = 0x8002;
// 0x8003 is no longer posted; the other numbers stay as they were.
inline constexpr unsigned WM_MOTOR_MODEL_CHOSEN = 0x8004;
inline constexpr unsigned WM_MEMORY_SLOT_CHOSEN = 0x8005;
inline constexpr unsigned WM_TAB_LOCK = 0x8006;
inline constexpr unsigned WM_DRIVE_STATUS = 0x8007;
inline constexpr unsigned WM_DRIVE_GROUP_REPLY = 0x8008;
inline constexpr unsigned WM_DRIVE_LINK_STATE = 0x8009;
inline constexpr unsigned WM_RUNIN_ACTIVE = 0x800A;
inline constexpr unsigned WM_LINK_FLUSH = 0x800B;
inline constexpr unsigned WM_LINK_SUSPEND = 0x800C;
// Orders were lost on their way to the drive; DriveLink::lostOrders() names them.
inline constexpr unsigned WM_ORDERS_LOST = 0x800D;

// WM_RUNIN_ACTIVE carries 0 when a program stops and 1 when it starts; while it
// runs, each step it enters is announced as (step << 8) | 1, still "active".
[[nodiscard]] constexpr std::uintptr_t RunInStepMessage(unsigned step) {
    return (std::uintptr_t{step} << 8) | 1u;
}
[[nodiscard]] constexpr int RunInStepOf(std::uintptr_t wParam) {
    return static_cast<int>(wParam >> 8);
}

// Where the link threads (and pages) post their messages. The Qt main window
// implements it by posting a custom event to itself; the command-line tool and
// the tests implement it without windows. Called from any thread.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual void postMessage(unsigned message, std::uintptr_t wParam) = 0;
    // false once the target is gone; nothing is posted to a dead target.
    [[nodiscard]] virtual bool isAlive() const = 0;
};

}  // namespace velmora::link
