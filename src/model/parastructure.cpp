#include "model/parastructure.h"

#include <array>
#include <cstdio>
#include <optional>

#include "model/invertermodels.h"

namespace velmora::model {

namespace {

using D = ParaDisplay;
using Keys = std::span<const std::string_view>;

constexpr std::string_view kHz = "hz";

constexpr std::array<std::string_view, 2> kAppOrSelective{"pcapplication", "selective"};
constexpr std::array<std::string_view, 2> kSpeedUnit{"hz", "rpm"};
constexpr std::array<std::string_view, 3> kCatch{"standard", "catchpoweron", "catchalways"};
constexpr std::array<std::string_view, 2> kNetOff{"inactive", "onnetoff"};
constexpr std::array<std::string_view, 2> kControlMode{"vhztable", "ixr"};
constexpr std::array<std::string_view, 3> kSensor{"nosensor", "ptc", "kty"};
constexpr std::array<std::string_view, 5> kMotorType{"nomotor", "asm", "bldc", "bldcs",
                                                     "testoperation"};
constexpr std::array<std::string_view, 4> kPoles{"2poles", "4poles", "6poles", "8poles"};
constexpr std::array<std::string_view, 2> kLockedOrRemote{"locked", "remotecontrol"};
constexpr std::array<std::string_view, 3> kStartInput{"off", "stop", "startstop"};
constexpr std::array<std::string_view, 2> kAnalogue{"up129", "ip129"};
constexpr std::array<std::string_view, 2> kAppOrRemote{"pcapplication", "remotecontrol"};
constexpr std::array<std::string_view, 3> kRotation{"cwrot", "ccwrot", "remotecontrol"};
constexpr std::array<std::string_view, 4> kInput111{"off", "ccwrot", "reset", "run"};
constexpr std::array<std::string_view, 4> kInput112{"off", "ccwrot", "reset", "motorcodeb0"};
constexpr std::array<std::string_view, 4> kInput113{"off", "ccwrot", "reset", "motorcodeb1"};
constexpr std::array<std::string_view, 5> kInput114{"off", "ccwrot", "reset", "motorcodeb2",
                                                    "fixfreqb0"};
constexpr std::array<std::string_view, 5> kInput115{"off", "ccwrot", "reset", "motorcodeb3",
                                                    "fixfreqb1"};
constexpr std::array<std::string_view, 10> kRelay{
    "off",           "stateoperation", "statewarning", "statefailure", "stateoverload",
    "nratedreached", "warningcurrent", "motortemp",    "motorstands",  "motorruns"};

constexpr std::array<ParaStructRow, 86> kRows{{
    {1, D::Unsigned, kHz, {}},
    {7, D::List, "", kAppOrSelective},
    {8, D::List, "", kSpeedUnit},
    {10, D::Unsigned, kHz, {}},
    {11, D::Real1, "ampereac", {}},
    {12, D::Unsigned, kHz, {}},
    {13, D::Unsigned, kHz, {}},
    {14, D::Unsigned, kHz, {}},
    {15, D::Real2, "voltac", {}},
    {16, D::Real2, "voltac", {}},
    {18, D::Real2, "ampereac", {}},
    {19, D::Real2, "watt", {}},
    {20, D::Unsigned, "", {}},
    {25, D::Unsigned, "hour", {}},
    {26, D::Unsigned, "minute", {}},
    {30, D::Unsigned, "", {}},
    {31, D::Unsigned, "", {}},
    {32, D::Unsigned, "", {}},
    {33, D::Unsigned, "", {}},
    {34, D::Unsigned, "", {}},
    {36, D::InverterType, "", {}},
    {37, D::Real2, "", {}},
    {39, D::Unsigned, "", {}},
    {41, D::Unsigned, kHz, {}},
    {42, D::Unsigned, kHz, {}},
    {44, D::Real1, "a", {}},
    {46, D::Real1, "sec", {}},
    {47, D::Real1, "sec", {}},
    {48, D::Real1, "sec", {}},
    {50, D::List, "", kCatch},
    {51, D::Real1, "sec", {}},
    {52, D::Real1, "a", {}},
    {53, D::Unsigned, kHz, {}},
    {54, D::Unsigned, "usec", {}},
    {55, D::Real1, "sec", {}},
    {56, D::Real1, "a", {}},
    {57, D::Real1, "a", {}},
    {58, D::List, "", kNetOff},
    {60, D::Real1, "v", {}},
    {61, D::Unsigned, kHz, {}},
    {62, D::Real1, "v", {}},
    {63, D::Unsigned, kHz, {}},
    {64, D::Real1, "v", {}},
    {65, D::Unsigned, kHz, {}},
    {66, D::Real1, "v", {}},
    {70, D::List, "", kControlMode},
    {71, D::Real2, "vpera", {}},
    {72, D::Real1, "prozperaac", {}},
    {73, D::Unsigned, "msec", {}},
    {77, D::Unsigned, "prozent", {}},
    {78, D::Unsigned, "msec", {}},
    {79, D::Unsigned, "prozent", {}},
    {80, D::Unsigned, "msec", {}},
    {81, D::Unsigned, "prozent", {}},
    {82, D::Unsigned, "msec", {}},
    {83, D::Unsigned, "msec", {}},
    {84, D::Unsigned, "msec", {}},
    {85, D::List, "", kSensor},
    {86, D::Unsigned, "ohm", {}},
    {90, D::List, "", kMotorType},
    {91, D::Unsigned, kHz, {}},
    {92, D::Real1, "v", {}},
    {93, D::Real1, "a", {}},
    {94, D::Unsigned, "prozent", {}},
    {96, D::List, "", kPoles},
    {102, D::List, "", kLockedOrRemote},
    {104, D::Unsigned, kHz, {}},
    {105, D::Unsigned, kHz, {}},
    {106, D::Unsigned, kHz, {}},
    {110, D::List, "", kStartInput},
    {111, D::List, "", kInput111},
    {112, D::List, "", kInput112},
    {113, D::List, "", kInput113},
    {114, D::List, "", kInput114},
    {115, D::List, "", kInput115},
    {120, D::List, "", kRelay},
    {121, D::List, "", kRelay},
    {125, D::Real2, "ampereac", {}},
    {129, D::List, "", kAnalogue},
    {135, D::Unsigned, kHz, {}},
    {136, D::Unsigned, kHz, {}},
    {137, D::Unsigned, kHz, {}},
    {140, D::List, "", kAppOrRemote},
    {141, D::List, "", kAppOrRemote},
    {142, D::List, "", kLockedOrRemote},
    {146, D::List, "", kRotation},
}};

// Shown in the view, but the drive's export format never carried it.
constexpr int kNotExported = 146;

std::string Format(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// nullopt: the value has no text in the row's list.
std::optional<std::string> ValueText(const ParaStructRow& row, const DriveData& data,
                                     const TextLookup& text) {
    switch (row.display) {
        case D::Unsigned:
            return std::to_string(data.GetChoice(row.parameter));
        case D::Real1:
            return Format("%.1f", static_cast<double>(data.GetReal(row.parameter)));
        case D::Real2:
            return Format("%.2f", static_cast<double>(data.GetReal(row.parameter)));
        case D::InverterType: {
            const std::uint32_t type = data.Working(row.parameter);
            return text(InverterTypeKey(type));
        }
        case D::List: {
            const std::uint32_t index = data.GetChoice(row.parameter);
            if (index >= row.listKeys.size()) return std::nullopt;
            return text(row.listKeys[index]);
        }
    }
    return std::nullopt;
}

}  // namespace

std::span<const ParaStructRow> ParaStructRows() {
    return kRows;
}

std::string ParaStructNameKey(int parameter) {
    return "p" + std::to_string(parameter) + "pn";
}

ParaStructTexts::ParaStructTexts() : m_values(kRows.size()) {}

void ParaStructTexts::refresh(const DriveData& data, const TextLookup& text) {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (auto value = ValueText(kRows[i], data, text)) m_values[i] = std::move(*value);
    }
}

const std::string& ParaStructTexts::valueText(std::size_t row) const {
    static const std::string kNone;
    return row < m_values.size() ? m_values[row] : kNone;
}

std::vector<std::pair<std::string, std::string>> ParaStructTexts::entries(
    const TextLookup& text) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const ParaStructRow& row = kRows[i];
        if (row.parameter == kNotExported) continue;
        std::string value = m_values[i];
        if (!row.unitKey.empty()) value += " " + text(row.unitKey);
        out.emplace_back(text(ParaStructNameKey(row.parameter)), std::move(value));
    }
    return out;
}

}  // namespace velmora::model
