#pragma once
// The main window's sheet inside a scrolling area: a window made smaller than
// a page scrolls the page instead of squeezing or cutting off its controls.
class QWidget;

namespace velmora::frame {

// Takes the sheet into a scroll area (child of parent) and returns the area.
QWidget* scrollingHolder(QWidget* sheet, QWidget* parent);

}  // namespace velmora::frame
