#pragma once
// Base of the seven tab pages. The main window calls these hooks on the
// window thread; pages post their own events to the main window through
// postToFrame.
#include <QWidget>
#include <cstdint>

#include "link/messages.h"

namespace velmora::shell {

class Page : public QWidget {
    Q_OBJECT
public:
    explicit Page(QWidget* parent = nullptr);

    // Where page events go (normally CMainFrame); nullptr drops them.
    void setFrame(link::MessageTarget* frame) { m_frame = frame; }
    [[nodiscard]] link::MessageTarget* frame() const { return m_frame; }

    // Tab caption key in the catalogue (e.g. "tabcontrolpage").
    [[nodiscard]] virtual const char* captionKey() const = 0;

    // Status evaluation: bit 0 of the status reply's second byte.
    virtual void operationAllowed() {}
    virtual void operationNotAllowed() {}
    // A group reply was stored (only while this page is active).
    virtual void refresh() {}
    // WM_DRIVE_REPLY forwarded (motor, specific-programming, technician pages).
    virtual void driveReply() {}
    // The catalogue texts are loaded; fill captions and lists.
    virtual void applyTexts() {}
    // The link is lost: live values shown are no longer current.
    virtual void linkLost() {}
    // The user is about to show another page: false keeps this one in front
    // (a page holding values not sent to the drive asks first).
    [[nodiscard]] virtual bool confirmLeave() { return true; }

protected:
    void postToFrame(unsigned message, std::uintptr_t wParam);
    // Called each time the page becomes visible: post the poll mode, request groups.
    virtual void pageShown() {}
    void showEvent(QShowEvent* event) override;

private:
    link::MessageTarget* m_frame = nullptr;
};

}  // namespace velmora::shell
