#include "frame/motorstopbutton.h"

#include <QShortcut>

#include "shell/textcatalog.h"

namespace velmora::frame {

using namespace velmora::shell;

MotorStopButton::MotorStopButton(QWidget* parent) : QPushButton(parent) {
    setObjectName("motorStopButton");
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Never the default button nor a stop by Space after a click elsewhere.
    setAutoDefault(false);
    setFocusPolicy(Qt::NoFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Button, QColor(200, 0, 0));
    colours.setColor(QPalette::ButtonText, Qt::white);
    setPalette(colours);
    setEnabled(false);
    connect(this, &QPushButton::clicked, this, &MotorStopButton::stopRequested);
    // The trend window and the page dialogs have the key too.
    auto* key = new QShortcut(QKeySequence(kKey), this);
    key->setContext(Qt::ApplicationShortcut);
    connect(key, &QShortcut::activated, this, [this] {
        if (isEnabled()) emit stopRequested();
    });
}

void MotorStopButton::applyTexts() {
    setText(T("stopbutton") + QStringLiteral(" (F12)"));
    setToolTip(T("stopmotortip"));
}

}  // namespace velmora::frame
