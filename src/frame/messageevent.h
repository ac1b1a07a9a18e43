#pragma once
// A window message carried as a posted Qt event whose type is its number
// (0x8000 + n): the link's with its wParam, the pages' as a typed message.
#include <QEvent>
#include <cstdint>

#include "shell/framemessage.h"

namespace velmora::frame {

inline constexpr unsigned kFirstFrameMessage = 0x8000;
inline constexpr unsigned kLastFrameMessage = shell::WM_JOURNAL_FAILED;

class LinkMessageEvent : public QEvent {
  public:
    LinkMessageEvent(unsigned message, std::uintptr_t wParam)
        : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam) {}
    [[nodiscard]] unsigned message() const { return static_cast<unsigned>(type()); }
    [[nodiscard]] std::uintptr_t wParam() const { return m_wParam; }

  private:
    std::uintptr_t m_wParam;
};

class FrameMessageEvent : public QEvent {
  public:
    explicit FrameMessageEvent(const shell::FrameMessage& message)
        : QEvent(static_cast<QEvent::Type>(shell::IdOf(message))), m_message(message) {}
    [[nodiscard]] const shell::FrameMessage& message() const { return m_message; }

  private:
    shell::FrameMessage m_message;
};

}  // namespace velmora::frame
