#include "pages/runin/runinpage.h"

namespace velmora::pages {

CRunInPage::CRunInPage(QWidget* parent) : shell::Page(parent) {}

void CRunInPage::stopIfRunning() {}

}  // namespace velmora::pages
