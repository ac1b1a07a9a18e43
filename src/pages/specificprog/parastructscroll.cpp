#include "pages/specificprog/parastructscroll.h"

#include <QEvent>
#include <QScrollBar>
#include <algorithm>

namespace velmora::pages {

ParaStructScroll::ParaStructScroll(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("paraStructScroll"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { applySteps(); });
}

bool ParaStructScroll::eventFilter(QObject* watched, QEvent* event) {
    const bool handled = QScrollArea::eventFilter(watched, event);
    if (watched == widget() && event->type() == QEvent::Resize) applySteps();
    return handled;
}

void ParaStructScroll::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    applySteps();
}

void ParaStructScroll::applySteps() {
    QScrollBar* bar = verticalScrollBar();
    const int range = bar->maximum() - bar->minimum();
    bar->setSingleStep(std::max(1, range / 100));
    bar->setPageStep(std::max(1, range / 10));
}

}  // namespace velmora::pages
