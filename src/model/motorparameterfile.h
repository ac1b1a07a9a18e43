#pragma once
// Motor parameter files (.vpm): the 45 parameters of the six motor groups in
// section "Velmora Motor", one key per parameter. A saved file is always a
// complete copy of the template with the values written in. Qt-free.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "model/drivedata.h"

namespace velmora::model {

inline constexpr std::string_view kMotorFileSection = "Velmora Motor";
inline constexpr std::string_view kMotorTemplateName = "MotorMasterfile.vpm";

enum class MotorFileFormat { Integer, Real1, Real2 };

struct MotorFileKey {
    int parameter;
    MotorFileFormat format;
};

// The keys in the order they are written and read (six blocks).
[[nodiscard]] std::span<const MotorFileKey> MotorFileKeys();

// Text of one key's value from the working copy ("%u", "%.1f" or "%.2f").
// Frequencies are stored in Hz whatever the page displays.
[[nodiscard]] std::string MotorFileValue(const model::DriveData& data, const MotorFileKey& key);

// The template's text with the 45 values written into it; false when the
// template cannot be read.
bool BuildMotorFile(const std::filesystem::path& templatePath, const model::DriveData& data,
                    std::string& text, std::string* error = nullptr);

// Builds the complete file and replaces target with it in one step, so a
// failure leaves an existing target as it was. A read-only target is
// replaced: the user has already been asked before overwriting it.
bool SaveMotorFile(const std::filesystem::path& templatePath, const std::filesystem::path& target,
                   const model::DriveData& data, std::string* error = nullptr);

// Reads the 45 keys into the working copy. A missing integer reads as 99 and
// a missing or unreadable real as 0; negative or huge numbers are limited so
// that no value wraps round in the 32-bit working word.
void LoadMotorFile(const std::filesystem::path& file, model::DriveData& data);

}  // namespace velmora::model
