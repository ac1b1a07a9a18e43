#pragma once
// A window message (0x8000 + n and its wParam) carried as a posted Qt event.
#include <QEvent>
#include <cstdint>

namespace velmora::shell {

inline constexpr unsigned kFirstFrameMessage = 0x8000;
inline constexpr unsigned kLastFrameMessage = 0x800D;  // WM_ORDERS_LOST

class FrameMessageEvent : public QEvent {
  public:
    FrameMessageEvent(unsigned message, std::uintptr_t wParam)
        : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam) {}
    [[nodiscard]] unsigned message() const { return static_cast<unsigned>(type()); }
    [[nodiscard]] std::uintptr_t wParam() const { return m_wParam; }

  private:
    std::uintptr_t m_wParam;
};

}  // namespace velmora::shell
