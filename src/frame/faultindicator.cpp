#include "frame/faultindicator.h"

#include "shell/faultclasslook.h"

namespace velmora::frame {

using namespace velmora::shell;

FaultIndicator::FaultIndicator(QWidget* parent) : QLabel(parent) {
    setObjectName("faultIndicator");
    setAutoFillBackground(true);
    setContentsMargins(6, 0, 6, 0);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    hide();
}

void FaultIndicator::showStatus(unsigned faultClass, unsigned number) {
    // The status repeats every cycle: only a change repaints.
    if (faultClass == m_faultClass && number == m_number && !m_linkLost &&
        isVisibleTo(parentWidget()))
        return;
    m_linkLost = false;
    m_faultClass = faultClass;
    m_number = number;
    if (faultClass == 0) {
        hide();
        return;
    }
    const FaultClassLook look = faultClassLook(faultClass);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, look.background);
    colours.setColor(QPalette::WindowText, look.text);
    setPalette(colours);
    setText(look.name + QLatin1Char(' ') + QString::number(number) + QStringLiteral(": ") +
            faultShortText(number));
    setToolTip(faultDescription(number));
    show();
}

void FaultIndicator::showLinkLost(const QString& text) {
    m_linkLost = true;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(160, 160, 160));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setText(text);
    setToolTip({});
    show();
}

}  // namespace velmora::frame
