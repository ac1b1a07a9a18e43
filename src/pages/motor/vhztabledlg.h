#pragma once
// CVHzTableDlg: the V/f characteristic as a table of seven fields and its
// graph, redrawn after every change.
#include <array>

#include "pages/motor/motorpanel.h"
#include "pages/motor/vhzgraph.h"

class QLabel;
class QPushButton;

namespace velmora::pages {

class NumberRow;

class CVHzTableDlg : public MotorPanel {
    Q_OBJECT
  public:
    CVHzTableDlg(QWidget* parent, model::DriveData& data);

    void refresh() override;
    void applyTexts() override;

    [[nodiscard]] VHzGraph* graph() const { return m_graph; }

  signals:
    // The panel's send button: the page writes its groups and reads them back.
    void sendRequested();
    // The panel's help button: the page opens the panel's help text.
    void helpRequested();

  private:
    // The fields' texts with the frequencies made non-decreasing (written
    // back into fields the user is not typing in).
    [[nodiscard]] VHzPicture picture();
    void redraw();

    VHzGraph* m_graph = nullptr;
    QLabel* m_title = nullptr;
    QPushButton* m_sendButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    std::array<NumberRow*, 7> m_rows{};  // p60 .. p66
};

}  // namespace velmora::pages
