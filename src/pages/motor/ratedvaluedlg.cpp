#include "pages/motor/ratedvaluedlg.h"

#include <QGridLayout>

#include "model/parameters.h"
#include "pages/motor/paramrows.h"

namespace velmora::pages {

namespace param = model::param;

namespace {
constexpr int kKtySensor = 2;
}

CRatedValueDlg::CRatedValueDlg(QWidget* parent, model::DriveData& data) : MotorPanel(parent, data) {
    setObjectName(QStringLiteral("ratedValuePanel"));
    auto* grid = new QGridLayout(this);
    m_ratedFrequency = new NumberRow(this, m_data, FrequencyRow(91, 30, 4000), "p91");
    m_ratedVoltage = new NumberRow(this, m_data, RealRow(92, 0.1, 0, 50, "v"), "p92");
    m_ratedCurrent = new NumberRow(this, m_data, RealRow(93, 0.1, 0.5, 16, "a"), "p93");
    m_percentage = new NumberRow(this, m_data, IntegerRow(94, 20, 100, "prozent"), "p94");
    m_poles = new ChoiceRow(this, "p96", "p96List", {"2poles", "4poles", "6poles", "8poles"});
    m_sensor = new ChoiceRow(this, "p85", "p85List", {"nosensor", "ptc", "kty"});
    m_sensorResistance = new NumberRow(this, m_data, IntegerRow(86, 500, 4000, "ohm"), "p86");

    m_ratedFrequency->addTo(grid, 0);
    m_ratedVoltage->addTo(grid, 1);
    m_ratedCurrent->addTo(grid, 2);
    m_percentage->addTo(grid, 3);
    m_poles->addTo(grid, 4);
    m_sensor->addTo(grid, 5);
    m_sensorResistance->addTo(grid, 6);

    // The maximum frequency and current follow the rated values until the
    // user picks them freely on the limits panel.
    m_ratedFrequency->setAfterChange([this] {
        if (m_data.GetMotorSel(0) == 0)
            m_data.SetChoice(param::kMaxSpeed, m_data.GetChoice(param::kRatedFrequency));
    });
    m_ratedCurrent->setAfterChange([this] {
        if (m_data.GetMotorSel(1) == 0) {
            m_data.SetReal(
                param::kMaxCurrent,
                static_cast<float>(FollowingMaxCurrent(m_data.GetReal(param::kRatedCurrent))));
        }
    });
    m_poles->setOnPicked(
        [this](int entry) { m_data.SetChoice(param::kPoles, static_cast<unsigned>(entry)); });
    m_sensor->setOnPicked([this](int entry) {
        m_data.SetChoice(param::kTemperatureSensor, static_cast<unsigned>(entry));
        applySensor(entry);
    });
    applyCurrentLimit();
}

void CRatedValueDlg::applySensor(int entry) {
    m_sensorResistance->setEnabled(entry == kKtySensor);
}

void CRatedValueDlg::applyCurrentLimit() {
    const double imax =
        MaxCurrent(CurrentPanel::RatedValue, m_data.GetChoice(param::kInverterType));
    m_ratedCurrent->setRange({0.5, imax});
}

void CRatedValueDlg::refresh() {
    m_ratedFrequency->setSpeedUnit(m_data.GetChoice(param::kSpeedUnit));
    applyCurrentLimit();
    for (NumberRow* row : {m_ratedFrequency, m_ratedVoltage, m_ratedCurrent, m_percentage}) {
        row->load();
        row->commit();
    }
    selectStored(*m_poles, param::kPoles);
    selectStored(*m_sensor, param::kTemperatureSensor);
    applySensor(m_sensor->selected());
    m_sensorResistance->load();
    m_sensorResistance->commit();
}

void CRatedValueDlg::applyTexts() {
    for (NumberRow* row :
         {m_ratedFrequency, m_ratedVoltage, m_ratedCurrent, m_percentage, m_sensorResistance}) {
        row->applyTexts();
    }
    m_poles->applyTexts();
    m_sensor->applyTexts();
}

void CRatedValueDlg::setOperationAllowed(bool allowed) {
    for (NumberRow* row : {m_ratedFrequency, m_ratedVoltage, m_ratedCurrent, m_percentage}) {
        row->setEnabled(allowed);
    }
}

}  // namespace velmora::pages
