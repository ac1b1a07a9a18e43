#pragma once
// Base of the technician page's six panels: the heading, the poll mode the
// panel wants while it is open, the request it sends when it opens, and the
// replies the page hands to it.
#include <QWidget>

#include "link/pollmode.h"
#include "link/telegram.h"
#include "model/drivegate.h"
#include "shell/fontset.h"

class QLabel;
class QVBoxLayout;

namespace velmora::pages {

class TechPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kNoRead = 0;

    // buttonKey: the page button that opens the panel (also the heading's end).
    TechPanel(model::DriveGate& gate, const char* buttonKey, link::PollMode pollMode, int readCode,
              QWidget* parent);

    [[nodiscard]] const char* buttonKey() const { return m_buttonKey; }
    // 1 while the panel is open (shown through its button, not yet left).
    [[nodiscard]] bool isOpen() const { return m_open; }

    virtual void applyTexts();
    // Shown through its button.
    virtual void opened();
    // The page became visible again while this panel was open.
    virtual void reopened();
    // Left with the back button.
    virtual void closed();
    // A single reply of the panel's own command (the page routes by command).
    virtual void takeReply(link::Telegram& reply) { (void)reply; }

  protected:
    // The guarded way to the drive, handed down by the page.
    [[nodiscard]] model::DriveGate& gate() const { return m_gate; }
    // Where the panel puts its controls, below the heading.
    [[nodiscard]] QVBoxLayout* body() const { return m_body; }
    [[nodiscard]] const shell::FontSet& fonts() const { return m_fonts; }
    // Poll mode and read request of the panel's row.
    void sendOpenRequests() const;

  private:
    model::DriveGate& m_gate;
    const char* m_buttonKey;
    link::PollMode m_pollMode;
    int m_readCode;
    bool m_open = false;
    shell::FontSet m_fonts;
    QLabel* m_heading = nullptr;
    QVBoxLayout* m_body = nullptr;
};

}  // namespace velmora::pages
