#include "pages/techservice/techservicepage.h"

namespace velmora::pages {

CTechServicePage::CTechServicePage(QWidget* parent) : shell::Page(parent) {}



}  // namespace velmora::pages
