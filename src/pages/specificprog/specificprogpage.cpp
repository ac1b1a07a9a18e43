#include "pages/specificprog/specificprogpage.h"

namespace velmora::pages {

CSpecificProgPage::CSpecificProgPage(QWidget* parent) : shell::Page(parent) {}

void CSpecificProgPage::showActuatorTest() {}

}  // namespace velmora::pages
