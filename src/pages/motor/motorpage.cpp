#include "pages/motor/motorpage.h"

namespace velmora::pages {

CMotorPage::CMotorPage(QWidget* parent) : shell::Page(parent) {}



}  // namespace velmora::pages
