#pragma once
// The messages the link threads post, and where they post them. What pages
// and dialogs tell the main window is in shell/framemessage.h.
#include <cstdint>

namespace velmora::link {

// The numbers leave gaps where the window's own messages are.
inline constexpr unsigned WM_DRIVE_REPLY = 0x8002;
inline constexpr unsigned WM_DRIVE_STATUS = 0x8007;
inline constexpr unsigned WM_DRIVE_GROUP_REPLY = 0x8008;
inline constexpr unsigned WM_DRIVE_LINK_STATE = 0x8009;
// Orders were lost on their way to the drive; DriveLink::lostOrders() names them.
inline constexpr unsigned WM_ORDERS_LOST = 0x800D;

// Where the link threads post their messages. The Qt main window implements
// it by posting a custom event to itself; the command-line tool and the
// tests implement it without windows. Called from any thread.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual void postMessage(unsigned message, std::uintptr_t wParam) = 0;
    // false once the target is gone; nothing is posted to a dead target.
    [[nodiscard]] virtual bool isAlive() const = 0;
};

}  // namespace velmora::link
