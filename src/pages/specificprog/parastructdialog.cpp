#include "pages/specificprog/parastructdialog.h"

namespace velmora::pages {

CParaStructDlg::CParaStructDlg(QWidget* parent) : QWidget(parent) {
    setObjectName("paraStructDialog");
}

void CParaStructDlg::applyTexts() {}
void CParaStructDlg::refresh() {}

}  // namespace velmora::pages
