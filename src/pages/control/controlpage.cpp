#include "pages/control/controlpage.h"

namespace velmora::pages {

CControlPage::CControlPage(QWidget* parent) : shell::Page(parent) {}

void CControlPage::showMotorModelName(int) {}
void CControlPage::showMemorySlotName(int) {}
void CControlPage::setRunInActive(bool) {}

}  // namespace velmora::pages
