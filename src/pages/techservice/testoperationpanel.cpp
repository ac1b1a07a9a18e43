#include "pages/techservice/testoperationpanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/techservice/fieldrules.h"
#include "shell/framemessage.h"
#include "shell/roundbutton.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

namespace {

constexpr int kWriteGroup51 = 0x11;
enum Style { kNormal = 0, kLarge = 2 };

shell::RoundButton* makeLamp(QWidget* parent, const char* name, QColor face, QColor pressed) {
    auto* button = new shell::RoundButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setShape(shell::RoundButton::kRoundedShape);
    button->setColour(shell::RoundButton::Face, face);
    button->setColour(shell::RoundButton::PressedFace, pressed);
    return button;
}

}  // namespace

TestOperationPanel::TestOperationPanel(model::DriveData& data, shell::FrameChannel frame,
                                       QWidget* parent)
    : TechPanel(data.gate(), "testoperation", link::PollMode::TestOperation, kNoRead, parent),
      m_data(data),
      m_frame(std::move(frame)) {
    setObjectName(QStringLiteral("testOperationPanel"));
    auto label = [this](int style = kNormal) {
        auto* l = new QLabel(this);
        fonts().apply(l, style);
        return l;
    };
    auto edit = [this](const char* name) {
        auto* e = new StepEdit(this);
        e->setObjectName(QLatin1String(name));
        fonts().apply(e, kNormal);
        return e;
    };
    auto output = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setReadOnly(true);
        fonts().apply(e, kNormal);
        return e;
    };
    m_currentLabel = label();
    m_current = edit("testCurrentEdit");
    m_currentUnit = label();
    m_frequencyLabel = label();
    m_frequency = edit("testFrequencyEdit");
    m_frequencyUnit = label();
    m_voltageLabel = label();
    m_voltage = edit("testVoltageEdit");
    m_voltageUnit = label();
    m_startLabel = label(kLarge);
    m_start = makeLamp(this, "testStartButton", QColor(0, 255, 0), QColor(0, 128, 0));
    m_stopLabel = label(kLarge);
    m_stop = makeLamp(this, "testStopButton", QColor(255, 0, 0), QColor(128, 0, 0));
    m_outVoltageLabel = label();
    m_outVoltage = output("testOutputVoltage");
    m_outVoltageUnit = label();
    m_outCurrentLabel = label();
    m_outCurrent = output("testOutputCurrent");
    m_outCurrentUnit = label();
    m_temperatureLabel = label();
    m_temperature = output("testTemperature");
    m_temperatureUnit = label();

    auto* grid = new QGridLayout;
    const std::array<std::array<QWidget*, 3>, 8> rows{{
        {m_currentLabel, m_current, m_currentUnit},
        {m_frequencyLabel, m_frequency, m_frequencyUnit},
        {m_voltageLabel, m_voltage, m_voltageUnit},
        {m_startLabel, m_start, nullptr},
        {m_stopLabel, m_stop, nullptr},
        {m_outVoltageLabel, m_outVoltage, m_outVoltageUnit},
        {m_outCurrentLabel, m_outCurrent, m_outCurrentUnit},
        {m_temperatureLabel, m_temperature, m_temperatureUnit},
    }};
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < 3; ++c)
            if (rows[r][c]) grid->addWidget(rows[r][c], r, c);
    grid->setColumnStretch(3, 1);
    body()->addLayout(grid);

    connect(m_current, &StepEdit::editingFinished, this, &TestOperationPanel::commitCurrent);
    connect(m_frequency, &StepEdit::editingFinished, this, &TestOperationPanel::commitFrequency);
    connect(m_voltage, &StepEdit::editingFinished, this, &TestOperationPanel::commitVoltage);
    m_current->onStep([this](int direction) { stepCurrent(direction); });
    m_frequency->onStep([this](int direction) { stepFrequency(direction); });
    m_voltage->onStep([this](int direction) { stepVoltage(direction); });
    connect(m_start, &shell::RoundButton::clicked, this, &TestOperationPanel::start);
    connect(m_stop, &shell::RoundButton::clicked, this, &TestOperationPanel::stop);
}

void TestOperationPanel::applyTexts() {
    TechPanel::applyTexts();
    m_currentLabel->setText(shell::T("p44"));
    m_currentUnit->setText(shell::T("a"));
    m_frequencyLabel->setText(shell::T("fmotortest"));
    m_frequencyUnit->setText(shell::T("hz"));
    m_voltageLabel->setText(shell::T("umotortest"));
    m_voltageUnit->setText(shell::T("voltac"));
    m_startLabel->setText(shell::T("startbutton"));
    m_stopLabel->setText(shell::T("stopbutton"));
    m_outVoltageLabel->setText(shell::T("p15"));
    m_outVoltageUnit->setText(shell::T("voltac"));
    m_outCurrentLabel->setText(shell::T("p18"));
    m_outCurrentUnit->setText(shell::T("ampereac"));
    m_temperatureLabel->setText(shell::T("tempbox"));
    m_temperatureUnit->setText(shell::T("degrcelsius"));
}

void TestOperationPanel::opened() {
    TechPanel::opened();
    m_frequencyValue = techservice::kDefaultTestFrequency;
    m_voltageValue = techservice::kDefaultTestVoltage;
    m_frequency->setFieldText(UnsignedText(m_frequencyValue));
    m_voltage->setFieldText(UnsignedText(m_voltageValue));
    m_data.RequestGroup(1, model::code::Group51);
    m_data.RequestGroup(1, model::code::Group5A);
    m_data.gate().send(model::BuildAction(model::code::EnterTestOperation));
    m_frame.post(shell::TabLock{true});
}

void TestOperationPanel::reopened() {
    TechPanel::reopened();
    m_data.gate().send(model::BuildReadGroup(model::code::Group51));
    m_data.gate().send(model::BuildAction(model::code::EnterTestOperation));
}

void TestOperationPanel::closed() {
    TechPanel::closed();
    m_limitsSet = false;
    m_data.gate().send(model::BuildAction(model::code::LeaveTestOperation));
    m_frame.post(shell::TabLock{false});
}

// The limits come first, so a stored current above the inverter's maximum is
// brought down before it is written back.
void TestOperationPanel::refresh() {
    const model::DriveData& data = m_data;
    if (!m_limitsSet) {
        m_minCurrent = 0.0f;
        m_maxCurrent = techservice::MaxTestCurrent(data.GetChoice(param::kInverterType));
        m_limitsSet = true;
        applyCurrent(data.GetReal(param::kMaxCurrent));
    }
    m_outVoltage->setText(FixedText(data.GetReal(param::kOutputVoltage), 1));
    m_outCurrent->setText(FixedText(data.GetReal(param::kOutputCurrent), 1));
}

// Every accepted current is written to the drive at once (group 0x51).
void TestOperationPanel::applyCurrent(float amperes) {
    m_data.SetReal(param::kMaxCurrent,
                   techservice::ClampCurrent(amperes, m_minCurrent, m_maxCurrent));
    m_current->setFieldText(FixedText(m_data.GetReal(param::kMaxCurrent), 1));
    m_data.RequestGroup(0, kWriteGroup51);
}

// The current field's text; a text that is no number is refused, the field
// shows the stored current again and nothing is written.
std::optional<float> TestOperationPanel::typedCurrent() {
    const QString text = m_current->fieldText();
    const std::optional<float> amperes = TypedReal(text);
    if (!amperes) {
        m_current->setFieldText(FixedText(m_data.GetReal(param::kMaxCurrent), 1));
        RefuseTypedText(m_current, text);
    }
    return amperes;
}

void TestOperationPanel::commitCurrent() {
    if (const auto amperes = typedCurrent()) applyCurrent(*amperes);
}

void TestOperationPanel::stepCurrent(int direction) {
    if (const auto amperes = typedCurrent())
        applyCurrent(techservice::StepCurrent(*amperes, direction, m_minCurrent, m_maxCurrent));
}

void TestOperationPanel::commitFrequency() {
    const auto typed = AcceptUnsigned(m_frequency, m_frequencyValue);
    if (!typed) return;
    m_frequencyValue = techservice::CommitFrequency(*typed);
    m_frequency->setFieldText(UnsignedText(m_frequencyValue));
}

void TestOperationPanel::stepFrequency(int direction) {
    const auto typed = AcceptUnsigned(m_frequency, m_frequencyValue);
    if (!typed) return;
    m_frequencyValue = techservice::StepFrequency(*typed, direction);
    m_frequency->setFieldText(UnsignedText(m_frequencyValue));
}

void TestOperationPanel::commitVoltage() {
    const auto typed = AcceptUnsigned(m_voltage, m_voltageValue);
    if (!typed) return;
    m_voltageValue = techservice::CommitLow16(*typed, techservice::kMaxTestVoltage);
    m_voltage->setFieldText(UnsignedText(m_voltageValue));
}

void TestOperationPanel::stepVoltage(int direction) {
    const auto typed = AcceptUnsigned(m_voltage, m_voltageValue);
    if (!typed) return;
    m_voltageValue = techservice::StepBounded(*typed, direction, techservice::kMaxTestVoltage);
    m_voltage->setFieldText(UnsignedText(m_voltageValue));
}

// The fields are read as they stand (one may still have the focus); a text
// that is no number stops the start.
void TestOperationPanel::start() {
    const auto current = typedCurrent();
    const auto frequency = current ? AcceptUnsigned(m_frequency, m_frequencyValue) : std::nullopt;
    const auto voltage = frequency ? AcceptUnsigned(m_voltage, m_voltageValue) : std::nullopt;
    if (!voltage) return;
    const techservice::TestValues values = techservice::StartValues(
        *current, m_minCurrent, m_maxCurrent, *frequency, static_cast<float>(*voltage));
    m_frequencyValue = *frequency;
    m_voltageValue = *voltage;
    m_data.gate().send(
        model::BuildTestOperationValues(values.current, values.frequency, values.voltage));
    m_data.gate().send(model::BuildAction(model::code::StartMotor));
}

void TestOperationPanel::stop() {
    m_data.gate().send(model::BuildAction(model::code::StopMotor));
}

void TestOperationPanel::takeReply(link::Telegram& reply) {
    model::SensorState state;
    if (model::ParseSensorState(reply, state) != 0) return;
    m_temperature->setText(FixedText(techservice::TemperatureCelsius(state.values[2]), 1));
}

}  // namespace velmora::pages
