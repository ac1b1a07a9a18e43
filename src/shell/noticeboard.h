#pragma once
// Short notices in the main window's status bar. Pages and their panels
// reach it the way they reach the main window for everything else: through
// the channel their page was bound with (Page::frame()).
#include <QString>

class QWidget;

namespace velmora::shell {

class NoticeBoard {
  public:
    virtual ~NoticeBoard() = default;
    // Shows the text in the status bar for a few seconds (window thread only).
    virtual void showNotice(const QString& text) = 0;
};

// Shows a notice through the frame of the page that holds `from` (the page
// itself, a panel on it or a dialog it owns). Without a page, or with a frame
// that takes no notices (tests, the command line), nothing is shown.
void showNotice(const QWidget* from, const QString& text);
// The notice confirming that a file was written, with its path.
void showFileSaved(const QWidget* from, const QString& path);

}  // namespace velmora::shell
