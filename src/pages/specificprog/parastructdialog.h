#pragma once
// The parameter-structure view: every parameter of the groups with name,
// value and unit, and the export into a text file.
#include <QWidget>

namespace velmora::pages {

class CParaStructDlg : public QWidget {
    Q_OBJECT
public:
    explicit CParaStructDlg(QWidget* parent = nullptr);
    void applyTexts();
    // Fill the rows from DriveData's working values.
    void refresh();
};

}  // namespace velmora::pages
