#pragma once
// Base of the seven tab pages. The main window calls these hooks on the
// window thread; a page, and every dialog and panel it makes, posts its own
// events to the main window through the page's channel.
#include <QWidget>

#include "model/drivedata.h"
#include "shell/framechannel.h"

namespace velmora::shell {

class Page : public QWidget {
    Q_OBJECT
  public:
    // data: the drive image the page shows and edits, kept for its lifetime.
    explicit Page(model::DriveData& data, QWidget* parent = nullptr);

    // Where page events go (normally CMainFrame); nullptr drops them. Also
    // reaches the dialogs and panels made before it was called.
    void setFrame(FrameTarget* frame) { m_channel.bind(frame); }
    [[nodiscard]] FrameTarget* frame() const { return m_channel.target(); }
    [[nodiscard]] model::DriveData& data() const { return m_data; }

    // Tab caption key in the catalogue (e.g. "tabcontrolpage").
    [[nodiscard]] virtual const char* captionKey() const = 0;

    // Status evaluation: bit 0 of the status reply's second byte.
    virtual void operationAllowed() {}
    virtual void operationNotAllowed() {}
    // A group reply was stored (only while this page is active).
    virtual void refresh() {}
    // WM_DRIVE_REPLY forwarded (motor, specific-programming, technician pages).
    virtual void driveReply(link::Telegram& /*reply*/) {}
    // The catalogue texts are loaded; fill captions and lists.
    virtual void applyTexts() {}
    // The link is lost: live values shown are no longer current.
    virtual void linkLost() {}
    // The user is about to show another page: false keeps this one in front
    // (a page holding values not sent to the drive asks first).
    [[nodiscard]] virtual bool confirmLeave() { return true; }

  protected:
    void postToFrame(const FrameMessage& message) { m_channel.post(message); }
    // What the page hands its dialogs and panels that post to the main window.
    [[nodiscard]] const FrameChannel& channel() const { return m_channel; }
    // Called each time the page becomes visible: post the poll mode, request groups.
    virtual void pageShown() {}
    void showEvent(QShowEvent* event) override;

  private:
    model::DriveData& m_data;
    FrameChannel m_channel;
};

}  // namespace velmora::shell
