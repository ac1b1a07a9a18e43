#include "pages/specificprog/actuatortestdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "shell/framemessage.h"
#include "shell/helpnoteviewer.h"
#include "shell/roundbutton.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

using namespace velmora::shell;

namespace {

struct Output {
    const char* name;
    const char* key;
};
// In bit order of the output byte.
constexpr std::array<Output, 4> kOutputs = {{
    {"outputRelay1", "fbrelais1"},
    {"outputRelay2", "fbrelais2"},
    {"outputLedFault", "ledfaultorange"},
    {"outputLedOperation", "ledoperationgreen"},
}};

struct Measurement {
    const char* name;
    const char* labelKey;
    const char* unitKey;
    double scale;
    int decimals;
};
// The four words of the sensor reply, in reply order.
constexpr std::array<Measurement, 4> kMeasurements = {{
    {"valueSetCurrent", "nsollcurrent", "mampere", 0.01, 2},
    {"valueSetVoltage", "nsollvoltage", "v", 0.01, 2},
    {"valueTempBox", "tempbox", "degrcelsius", 0.1, 1},
    {"valueInputVoltage", "inputvoltageur", "v", 0.01, 2},
}};

struct Input {
    const char* name;
    const char* key;
    int byte;  // flag byte of the sensor reply
    int bit;
};
constexpr std::array<Input, ActuatorTestDialog::kInputCount> kInputs = {{
    {"lampDin1", "fbdin1", 0, 0},
    {"lampDin2", "fbdin2", 0, 1},
    {"lampDin3", "fbdin3", 0, 2},
    {"lampDin4", "fbdin4", 0, 3},
    {"lampDin5", "fbdin5", 0, 4},
    {"lampDin6", "fbdin6", 0, 5},
    {"lampHallU", "hallu", 1, 0},
    {"lampHallV", "hallv", 1, 1},
    {"lampHallW", "hallw", 1, 2},
    {"lampMotorTemp", "tempmotor", 1, 3},
}};

const QColor kLampOn(0, 255, 0);
const QColor kLampOff(128, 128, 128);

}  // namespace

ActuatorTestDialog::ActuatorTestDialog(FrameChannel frame, QWidget* parent)
    // Nothing reaches the drive until the owner hands over its guarded way (setLink).
    : QWidget(parent),
      m_frame(std::move(frame)),
      m_link{[](link::Telegram) { return 1; }, [](int) { return 1; }} {
    loadCatalog();
    setObjectName("actuatorTestDialog");
    setFocusPolicy(Qt::StrongFocus);
    m_outputTimer.setInterval(kOutputPeriodMs);
    connect(&m_outputTimer, &QTimer::timeout, this, &ActuatorTestDialog::sendOutputs);

    auto* heading = new QLabel(T("actsenstest"), this);
    heading->setObjectName("actuatorTestHeading");
    m_fonts.apply(heading, FontSet::Heading);
    auto* help = new QPushButton(T("help"), this);
    help->setObjectName("helpButton");
    m_fonts.apply(help, FontSet::Normal);
    connect(help, &QPushButton::clicked, this, [this] {
        if (m_help == nullptr) m_help = new HelpNoteViewer(this);
        m_help->open(HelpKind::ActSensTestHelp);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(heading, 1);
    top->addWidget(help);
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildOutputs());
    middle->addWidget(buildMeasurements(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(buildInputs());
    layout->addStretch();
}

QWidget* ActuatorTestDialog::buildOutputs() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    for (std::size_t i = 0; i < kOutputs.size(); ++i) {
        auto* check = new QCheckBox(T(kOutputs[i].key), box);
        check->setObjectName(kOutputs[i].name);
        m_fonts.apply(check, FontSet::Normal);
        connect(check, &QCheckBox::clicked, this, &ActuatorTestDialog::outputsChanged);
        layout->addWidget(check);
        m_outputs[i] = check;
    }
    layout->addStretch();
    return box;
}

QWidget* ActuatorTestDialog::buildMeasurements() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < kMeasurements.size(); ++i) {
        const Measurement& m = kMeasurements[i];
        const int row = static_cast<int>(i);
        auto* label = new QLabel(T(m.labelKey), box);
        auto* value = new QLineEdit(box);
        value->setObjectName(m.name);
        value->setReadOnly(true);
        value->setAlignment(Qt::AlignRight);
        value->setMaximumWidth(90);
        auto* unit = new QLabel(T(m.unitKey), box);
        for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(value),
                                 static_cast<QWidget*>(unit)}) {
            m_fonts.apply(control, FontSet::Normal);
        }
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(unit, row, 2);
        m_values[i] = value;
    }
    return box;
}

QWidget* ActuatorTestDialog::buildInputs() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    constexpr int kColumns = 5;
    for (std::size_t i = 0; i < kInputs.size(); ++i) {
        auto* lamp = new RoundButton(box);
        lamp->setObjectName(kInputs[i].name);
        lamp->setShape(RoundButton::kRoundedShape);
        lamp->setColour(RoundButton::Face, kLampOff);
        lamp->setFixedSize(20, 20);
        // A lamp shows the drive's input; it does not react to the mouse.
        lamp->setFocusPolicy(Qt::NoFocus);
        lamp->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* label = new QLabel(T(kInputs[i].key), box);
        m_fonts.apply(label, FontSet::Normal);
        const int row = static_cast<int>(i) / kColumns;
        const int column = 2 * (static_cast<int>(i) % kColumns);
        grid->addWidget(lamp, row, column);
        grid->addWidget(label, row, column + 1);
        m_lamps[i] = lamp;
    }
    return box;
}

std::uint8_t ActuatorTestDialog::outputByte() const {
    std::uint8_t byte = 0;
    for (std::size_t bit = 0; bit < m_outputs.size(); ++bit) {
        if (m_outputs[bit]->isChecked()) byte |= static_cast<std::uint8_t>(1u << bit);
    }
    return byte;
}

void ActuatorTestDialog::outputsChanged() {
    if (outputByte() == 0) {
        m_outputTimer.stop();
    } else {
        m_outputTimer.start();
    }
}

void ActuatorTestDialog::sendOutputs() {
    if (m_link.send) m_link.send(model::BuildAction(model::code::ActuatorTest, outputByte()));
}

int ActuatorTestDialog::showSensorState(link::Telegram& reply) {
    model::SensorState state;
    if (model::ParseSensorState(reply, state) != 0) return 1;
    const std::array<std::uint8_t, 2> flags = {state.flags0, state.flags1};
    for (std::size_t i = 0; i < kInputs.size(); ++i) {
        const bool on = (flags[static_cast<std::size_t>(kInputs[i].byte)] >> kInputs[i].bit) & 1;
        m_lamps[i]->setColour(RoundButton::Face, on ? kLampOn : kLampOff);
    }
    for (std::size_t i = 0; i < kMeasurements.size(); ++i) {
        // The small offset keeps a word such as 1234 from printing as 12.33
        // through binary rounding.
        const double shown = (state.values[i] + 0.01) * kMeasurements[i].scale;
        m_values[i]->setText(QString::number(shown, 'f', kMeasurements[i].decimals));
    }
    return 0;
}

void ActuatorTestDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;  // the window came back from being minimised
    if (m_link.setPollMode) m_link.setPollMode(static_cast<int>(link::PollMode::ActuatorTest));
    m_frame.post(shell::TabLock{true});
    setFocus();
}

void ActuatorTestDialog::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return;
    if (m_link.setPollMode) m_link.setPollMode(static_cast<int>(link::PollMode::SpecificProgMenu));
    m_outputTimer.stop();
    for (QCheckBox* output : m_outputs) output->setChecked(false);
    m_frame.post(shell::TabLock{false});
}

}  // namespace velmora::pages
