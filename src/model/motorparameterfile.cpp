#include "model/motorparameterfile.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "model/numberparse.h"
#include "platform/profile.h"

namespace velmora::model {

namespace {

using F = MotorFileFormat;

constexpr std::array<MotorFileKey, 45> kMotorKeys{{
    // block 1: motor type and rated values
    {90, F::Integer},
    {91, F::Integer},
    {92, F::Real1},
    {93, F::Real1},
    {94, F::Integer},
    {96, F::Integer},
    // block 2: temperature sensor
    {85, F::Integer},
    {86, F::Integer},
    // block 3: fixed frequencies
    {104, F::Integer},
    {105, F::Integer},
    {106, F::Integer},
    // block 4: limits, ramps and braking
    {41, F::Integer},
    {42, F::Integer},
    {44, F::Real1},
    {46, F::Real1},
    {47, F::Real1},
    {48, F::Real1},
    {50, F::Integer},
    {51, F::Real1},
    {52, F::Real1},
    {53, F::Integer},
    {54, F::Integer},
    {55, F::Real1},
    {56, F::Real1},
    {57, F::Real1},
    {58, F::Integer},
    // block 5: control parameters
    {70, F::Integer},
    {71, F::Real2},
    {72, F::Real1},
    {73, F::Integer},
    {77, F::Integer},
    {78, F::Integer},
    {79, F::Integer},
    {80, F::Integer},
    {81, F::Integer},
    {82, F::Integer},
    {83, F::Integer},
    {84, F::Integer},
    // block 6: the V/f characteristic
    {60, F::Real1},
    {61, F::Integer},
    {62, F::Real1},
    {63, F::Integer},
    {64, F::Real1},
    {65, F::Integer},
    {66, F::Real1},
}};

constexpr long kMissingInteger = 99;
constexpr std::string_view kMissingReal = "FILE_ERROR";
constexpr std::size_t kRealTextLimit = 29;
// Far above any motor value, far below what a scaled 32-bit word holds.
constexpr double kLargestReal = 1.0e6;

std::string KeyName(int parameter) {
    return "p" + std::to_string(parameter);
}

}  // namespace

std::span<const MotorFileKey> MotorFileKeys() {
    return kMotorKeys;
}

std::string MotorFileValue(const model::DriveData& data, const MotorFileKey& key) {
    switch (key.format) {
        case F::Integer:
            return std::to_string(data.GetChoice(key.parameter));
        case F::Real1:
            return FormatFixed(data.GetReal(key.parameter), 1);
        case F::Real2:
            return FormatFixed(data.GetReal(key.parameter), 2);
    }
    return {};
}

bool BuildMotorFile(const std::filesystem::path& templatePath, const model::DriveData& data,
                    std::string& text, std::string* error) {
    // A folder or an unreadable file must not pass for an empty template: the
    // copy would lack the template's keys and comments.
    std::error_code code;
    std::ifstream in;
    if (std::filesystem::is_regular_file(templatePath, code)) {
        in.open(templatePath, std::ios::binary);
    }
    std::string content;
    if (in) content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        if (error) *error = "the template " + templatePath.string() + " cannot be read";
        return false;
    }
    platform::ProfileFile profile = platform::ProfileFile::parse(content);
    for (const MotorFileKey& key : kMotorKeys) {
        profile.setString(kMotorFileSection, KeyName(key.parameter), MotorFileValue(data, key));
    }
    text = profile.text();
    return true;
}

bool SaveMotorFile(const std::filesystem::path& templatePath, const std::filesystem::path& target,
                   const model::DriveData& data, std::string* error) {
    std::string text;
    if (!BuildMotorFile(templatePath, data, text, error)) return false;
    return platform::WriteFileAtomically(target, text, platform::ReadOnlyTarget::Replace, error);
}

void LoadMotorFile(const std::filesystem::path& file, model::DriveData& data) {
    const platform::ProfileFile profile = platform::ProfileFile::load(file);
    for (const MotorFileKey& key : kMotorKeys) {
        const std::string name = KeyName(key.parameter);
        if (key.format == F::Integer) {
            const long value = profile.getInt(kMotorFileSection, name, kMissingInteger);
            data.SetChoice(key.parameter,
                           static_cast<std::uint32_t>(std::clamp<long long>(value, 0, UINT32_MAX)));
            continue;
        }
        std::string text = profile.getString(kMotorFileSection, name, kMissingReal);
        if (text.size() > kRealTextLimit) text.resize(kRealTextLimit);
        const double value = std::clamp(ParseDouble(text), 0.0, kLargestReal);
        data.SetReal(key.parameter, static_cast<float>(value));
    }
}

}  // namespace velmora::model
