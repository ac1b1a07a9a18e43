#include "frame/pagescroller.h"

#include <QFrame>
#include <QScrollArea>
#include <QVBoxLayout>

namespace velmora::frame {

QWidget* scrollingHolder(QWidget* sheet, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setObjectName("sheetScroller");
    area->setFrameShape(QFrame::NoFrame);
    // The sheet grows with the window and never shrinks below what its
    // pages' layouts need; below that the area scrolls.
    area->setWidgetResizable(true);
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addWidget(sheet);
    area->setWidget(holder);
    return area;
}

}  // namespace velmora::frame
