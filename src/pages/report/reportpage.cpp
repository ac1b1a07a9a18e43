#include "pages/report/reportpage.h"

namespace velmora::pages {

CReportPage::CReportPage(QWidget* parent) : shell::Page(parent) {}

void CReportPage::enterHoldStorage() {}

}  // namespace velmora::pages
