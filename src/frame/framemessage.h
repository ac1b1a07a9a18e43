#pragma once
// A window message (0x8000 + n and its wParam) carried as a posted Qt event.
#include <QEvent>
#include <cstdint>

namespace velmora::frame {

inline constexpr unsigned kFirstFrameMessage = 0x8000;
// The window's own messages, after the link's (WM_ORDERS_LOST is 0x800D).
// The drive journal cannot be written (posted from its writer thread).
inline constexpr unsigned WM_JOURNAL_FAILED = 0x800E;
inline constexpr unsigned kLastFrameMessage = WM_JOURNAL_FAILED;

class FrameMessageEvent : public QEvent {
  public:
    FrameMessageEvent(unsigned message, std::uintptr_t wParam)
        : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam) {}
    [[nodiscard]] unsigned message() const { return static_cast<unsigned>(type()); }
    [[nodiscard]] std::uintptr_t wParam() const { return m_wParam; }

  private:
    std::uintptr_t m_wParam;
};

}  // namespace velmora::frame
