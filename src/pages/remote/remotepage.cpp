#include "pages/remote/remotepage.h"

namespace velmora::pages {

CRemotePage::CRemotePage(QWidget* parent) : shell::Page(parent) {}



}  // namespace velmora::pages
