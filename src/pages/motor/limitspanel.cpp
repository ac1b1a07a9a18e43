#include "pages/motor/limitspanel.h"

#include <QGridLayout>
#include <QLabel>

#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "pages/motor/paramrows.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

namespace {
constexpr double kDcBrakeMarker = 0.3;  // p48 value that means "DC brake"
constexpr double kHoldTimeOff = 0.4;    // p51 value that means "off"
constexpr double kChosenStart = 0.5;    // p48 and p51 on a fresh `choose`
}  // namespace

LimitsPanel::LimitsPanel(QWidget* parent, model::DriveData& data, CurrentPanel currentPanel)
    : MotorPanel(parent, data), m_currentPanel(currentPanel) {
    m_grid = new QGridLayout(this);
}

NumberRow* LimitsPanel::addNumber(const NumberSpec& spec, const char* labelKey) {
    auto* row = new NumberRow(this, m_data, spec, labelKey);
    row->addTo(m_grid, nextRow(), 0, 2);
    m_numbers.push_back(row);
    m_refreshSteps.emplace_back([row] {
        row->load();
        row->commit();
    });
    return row;
}

ChoiceRow* LimitsPanel::addChoice(int parameter, std::initializer_list<const char*> entries) {
    const std::string key = "p" + std::to_string(parameter);
    const std::string name = key + "List";
    auto* row = new ChoiceRow(this, key.c_str(), name.c_str(), entries);
    row->addTo(m_grid, nextRow());
    m_choices.push_back(row);
    row->setOnPicked([this, parameter](int entry) {
        m_data.SetChoice(parameter, static_cast<std::uint32_t>(entry));
    });
    m_refreshSteps.emplace_back([this, row, parameter] { selectStored(*row, parameter); });
    return row;
}

ChoiceRow* LimitsPanel::addMaxFrequency() {
    const int gridRow = nextRow();
    m_maxFrequencyList = new ChoiceRow(this, "p42", "p42List", {"fmotnom", "choose"});
    m_maxFrequency = new NumberRow(this, m_data, FrequencyRow(42, 100, 4000), nullptr);
    m_maxFrequencyList->addTo(m_grid, gridRow);
    m_grid->addWidget(m_maxFrequency->field(), gridRow, 2);
    m_grid->addWidget(m_maxFrequency->unit(), gridRow, 3);
    m_choices.push_back(m_maxFrequencyList);
    m_numbers.push_back(m_maxFrequency);
    m_maxFrequencyList->setOnPicked([this](int entry) { applyMaxFrequency(entry); });
    m_refreshSteps.emplace_back([this] {
        const bool chosen =
            MaxFrequencyChosen(m_data.GetMotorSel(0), m_data.GetChoice(param::kMaxSpeed),
                               m_data.GetChoice(param::kRatedFrequency));
        m_maxFrequencyList->select(chosen ? kChoose : kFollow);
        applyMaxFrequency(m_maxFrequencyList->selected());
        m_maxFrequency->commit();
    });
    return m_maxFrequencyList;
}

void LimitsPanel::applyMaxFrequency(int entry) {
    if (entry == kFollow) {
        m_data.SetChoice(param::kMaxSpeed, m_data.GetChoice(param::kRatedFrequency));
        m_data.SetMotorSel(0, 0);
    } else {
        m_data.SetMotorSel(0, 1);
    }
    m_maxFrequency->setEnabled(entry != kFollow);
    m_maxFrequency->load();
}

void LimitsPanel::addMaxCurrent(double low) {
    const int gridRow = nextRow();
    m_maxCurrentLow = low;
    m_maxCurrentList = new ChoiceRow(this, "p44", "p44List", {"factinmotnom", "choose"});
    m_maxCurrent = new NumberRow(this, m_data, RealRow(44, 0.1, low, 16, "a"), nullptr);
    m_maxCurrentList->addTo(m_grid, gridRow);
    m_grid->addWidget(m_maxCurrent->field(), gridRow, 2);
    m_grid->addWidget(m_maxCurrent->unit(), gridRow, 3);
    m_choices.push_back(m_maxCurrentList);
    m_numbers.push_back(m_maxCurrent);
    m_maxCurrentList->setOnPicked([this](int entry) { applyMaxCurrent(entry); });
    m_refreshSteps.emplace_back([this] {
        const bool chosen =
            MaxCurrentChosen(m_data.GetMotorSel(1), m_data.GetReal(param::kMaxCurrent),
                             m_data.GetReal(param::kRatedCurrent));
        m_maxCurrentList->select(chosen ? kChoose : kFollow);
        applyMaxCurrent(m_maxCurrentList->selected());
        m_maxCurrent->commit();
    });
    applyCurrentLimit();
}

void LimitsPanel::applyMaxCurrent(int entry) {
    if (entry == kFollow) {
        m_data.SetReal(
            param::kMaxCurrent,
            static_cast<float>(FollowingMaxCurrent(m_data.GetReal(param::kRatedCurrent))));
        m_data.SetMotorSel(1, 0);
    } else {
        m_data.SetMotorSel(1, 1);
    }
    m_maxCurrent->setEnabled(entry != kFollow);
    m_maxCurrent->load();
}

void LimitsPanel::addStopRamp() {
    const int gridRow = nextRow();
    m_stopRampList = new ChoiceRow(this, "p48", "p48List", {"dcbrake", "tfall", "choose"});
    m_stopRamp = new NumberRow(this, m_data, RampRow(48), nullptr);
    m_stopRampList->addTo(m_grid, gridRow);
    m_grid->addWidget(m_stopRamp->field(), gridRow, 2);
    m_grid->addWidget(m_stopRamp->unit(), gridRow, 3);
    m_choices.push_back(m_stopRampList);
    m_numbers.push_back(m_stopRamp);
    m_stopRampList->setOnPicked([this](int entry) { applyStopRamp(entry, false); });
    m_refreshSteps.emplace_back([this] {
        const auto entry = static_cast<int>(ClassifyStopRamp(
            m_data.GetReal(param::kStoppingTime), m_data.GetReal(param::kDecelerationTime)));
        m_stopRampList->select(entry);
        // "choose" shows the drive's own value unclamped; only the user's
        // edit of the field applies the field's range.
        applyStopRamp(entry, true);
    });
}

void LimitsPanel::applyStopRamp(int entry, bool keepValue) {
    m_stopRamp->setEnabled(entry == static_cast<int>(StopRampEntry::Choose));
    switch (static_cast<StopRampEntry>(entry)) {
        case StopRampEntry::DcBrake:
            // The drive reads 0.3 s as "brake with DC"; the field shows no ramp.
            m_data.SetReal(param::kStoppingTime, static_cast<float>(kDcBrakeMarker));
            m_stopRamp->showValue(0.0);
            return;
        case StopRampEntry::FallTime:
            m_data.SetReal(param::kStoppingTime, m_data.GetReal(param::kDecelerationTime));
            break;
        case StopRampEntry::Choose:
            if (!keepValue) m_data.SetReal(param::kStoppingTime, static_cast<float>(kChosenStart));
            break;
    }
    m_stopRamp->load();
}

void LimitsPanel::addHoldTime() {
    const int gridRow = nextRow();
    m_holdTimeList = new ChoiceRow(this, "p51", "p51List", {"off", "choose"});
    m_holdTime = new NumberRow(this, m_data, RealRow(51, 0.1, 0.5, 100, "sec"), nullptr);
    m_holdTimeList->addTo(m_grid, gridRow);
    m_grid->addWidget(m_holdTime->field(), gridRow, 2);
    m_grid->addWidget(m_holdTime->unit(), gridRow, 3);
    m_choices.push_back(m_holdTimeList);
    m_numbers.push_back(m_holdTime);
    m_holdTimeList->setOnPicked([this](int entry) { applyHoldTime(entry, false); });
    m_refreshSteps.emplace_back([this] {
        const int entry = HoldTimeOff(m_data.GetReal(param::kStartUpTime)) ? kFollow : kChoose;
        m_holdTimeList->select(entry);
        applyHoldTime(entry, true);
    });
}

void LimitsPanel::applyHoldTime(int entry, bool keepValue) {
    m_holdTime->setEnabled(entry == kChoose);
    if (entry != kChoose) {
        // 0.4 s is the drive's "off" marker; the field shows no time.
        m_data.SetReal(param::kStartUpTime, static_cast<float>(kHoldTimeOff));
        m_holdTime->showValue(0.0);
        return;
    }
    if (!keepValue) m_data.SetReal(param::kStartUpTime, static_cast<float>(kChosenStart));
    m_holdTime->load();
}

void LimitsPanel::addOffOrChoose(const NumberSpec& spec, const char* offKey) {
    const int gridRow = nextRow();
    const int parameter = spec.parameter;
    const std::string key = "p" + std::to_string(parameter);
    const std::string name = key + "List";
    auto* list = new ChoiceRow(this, key.c_str(), name.c_str(), {offKey, "choose"});
    auto* row = new NumberRow(this, m_data, spec, nullptr);
    list->addTo(m_grid, gridRow);
    m_grid->addWidget(row->field(), gridRow, 2);
    m_grid->addWidget(row->unit(), gridRow, 3);
    m_choices.push_back(list);
    m_numbers.push_back(row);
    auto apply = [this, row, parameter](int entry) {
        row->setEnabled(entry == kChoose);
        if (entry != kChoose) {
            m_data.SetReal(parameter, 0.0f);
            row->load();
        }
    };
    list->setOnPicked(apply);
    // The entry is decided from the stored value before the field's clamp:
    // "off" is 0, below the field's range, and must stay off rather than
    // come back as the smallest current the drive would then apply.
    m_refreshSteps.emplace_back([this, list, row, parameter, apply] {
        const int entry = ValueChosen(m_data.GetReal(parameter), 0.001) ? kChoose : kFollow;
        row->load();
        if (entry == kChoose) row->commit();
        list->select(entry);
        apply(entry);
    });
}

void LimitsPanel::addFixedFrequencies() {
    const int gridRow = nextRow();
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("fixfreqLabel"));
    m_grid->addWidget(label, gridRow, 0);
    auto* host = new QWidget(this);
    auto* fields = new QGridLayout(host);
    fields->setContentsMargins(0, 0, 0, 0);
    m_grid->addWidget(host, gridRow, 1, 1, 3);
    m_fixedLabel = label;
    const int parameters[] = {104, 105, 106};
    for (int i = 0; i < 3; ++i) {
        const std::string caption = "p" + std::to_string(parameters[i]);
        auto* row =
            new NumberRow(host, m_data, FrequencyRow(parameters[i], 30, 4000), caption.c_str());
        fields->addWidget(row->label(), 0, i);
        fields->addWidget(row->field(), 1, i);
        if (i == 2) {
            fields->addWidget(row->unit(), 1, 3);
        } else {
            row->unit()->hide();
        }
        // A fixed frequency lies between the current minimum and maximum.
        row->setRangeSource([this] {
            return NumberRange{static_cast<double>(m_data.GetChoice(param::kMinSpeed)),
                               static_cast<double>(m_data.GetChoice(param::kMaxSpeed))};
        });
        m_numbers.push_back(row);
        m_refreshSteps.emplace_back([row] {
            row->load();
            row->commit();
        });
    }
}

void LimitsPanel::applyCurrentLimit() {
    if (!m_maxCurrent) return;
    m_maxCurrent->setRange(
        {m_maxCurrentLow, MaxCurrent(m_currentPanel, m_data.GetChoice(param::kInverterType))});
}

void LimitsPanel::refresh() {
    // The current limit is taken before the rows are committed: with the
    // previous panel's limit a 16 A inverter's p44 would be clamped to 8 A.
    applyCurrentLimit();
    for (const auto& step : m_refreshSteps) step();
    for (NumberRow* row : m_numbers) row->setSpeedUnit(m_data.GetChoice(param::kSpeedUnit));
}

void LimitsPanel::applyTexts() {
    for (NumberRow* row : m_numbers) row->applyTexts();
    for (ChoiceRow* row : m_choices) row->applyTexts();
    if (m_fixedLabel) m_fixedLabel->setText(shell::T("fixfreq"));
}

}  // namespace velmora::pages
