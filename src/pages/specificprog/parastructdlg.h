#pragma once
// The parameter-structure view: every parameter of the groups with name,
// value and unit, and the export into a text file.
#include <QWidget>
#include <filesystem>
#include <vector>

#include "model/parastructure.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace velmora::pages {

class CParaStructDlg : public QWidget {
    Q_OBJECT
  public:
    explicit CParaStructDlg(model::DriveData& data, QWidget* parent = nullptr);
    void applyTexts();
    // Fill the rows from DriveData's working values.
    void refresh();
    // The save button: template copy with the rows in section Parameter.
    void save();

    // Where the template "ParaStructMasterfile.txt" is looked for (the
    // executable's folder unless set, e.g. by tests or a portable install).
    void setProgramFolder(std::filesystem::path folder) { m_programFolder = std::move(folder); }
    // 1 while the view is open (shown by the page, not merely uncovered).
    [[nodiscard]] bool isOpen() const { return m_open; }
    [[nodiscard]] QScrollArea* scrollArea() const { return m_scroll; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct RowLabels {
        QLabel* name;
        QLabel* value;
        QLabel* unit;
    };

    [[nodiscard]] std::filesystem::path templatePath() const;

    model::DriveData& m_data;
    model::ParaStructTexts m_texts;
    std::vector<RowLabels> m_rows;
    QPushButton* m_save = nullptr;
    QScrollArea* m_scroll = nullptr;
    std::filesystem::path m_programFolder;
    bool m_open = false;
};

}  // namespace velmora::pages
