#pragma once
// The parameter-structure view without its window: the 86 rows of the
// parameters that travel in groups 0x50..0x5A, how each row shows its value,
// its unit, and the export into section "Parameter" of a copy of the
// template file. Texts come through a lookup callback (the language
// catalogue in the program, a table in tests), so this stays free of Qt.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/drivedata.h"

namespace velmora::model {

enum class ParaDisplay {
    Unsigned,      // "%u" of GetChoice
    Real1,         // "%.1f" of GetReal
    Real2,         // "%.2f" of GetReal
    List,          // the text of listKeys[GetChoice]
    InverterType,  // 7301 inv01, 7302 inv02, anything else undef
};

struct ParaStructRow {
    std::uint8_t parameter;
    ParaDisplay display;
    std::string_view unitKey;                    // empty: no unit
    std::span<const std::string_view> listKeys;  // List rows only
};

// The 86 rows, ascending by parameter.
[[nodiscard]] std::span<const ParaStructRow> ParaStructRows();
// "p" + number + "pn": the key of the row's name in section parastruct.
[[nodiscard]] std::string ParaStructNameKey(int parameter);

// The text of a language key (UTF-8).
using TextLookup = std::function<std::string(std::string_view key)>;

inline constexpr std::string_view kParaStructTemplate = "ParaStructMasterfile.txt";
inline constexpr std::string_view kParaStructSection = "Parameter";
inline constexpr std::string_view kParaStructAboutSection = "Drive";

// The value texts the rows show. A value outside a row's list leaves that
// row's text as it was (empty before the first refresh).
class ParaStructTexts {
  public:
    ParaStructTexts();
    // Recomputes every row from the working values (call TakeImage first).
    void refresh(const DriveData& data, const TextLookup& text);
    // Index as in ParaStructRows().
    [[nodiscard]] const std::string& valueText(std::size_t row) const;
    // The file entries in export order: key = the row's name text, value =
    // value text, a space and the unit text where the row has a unit.
    // Parameter 146 is shown but not exported.
    [[nodiscard]] std::vector<std::pair<std::string, std::string>> entries(
        const TextLookup& text) const;

  private:
    std::vector<std::string> m_values;
};

// The save after the user chose `target`: copies the template byte for byte,
// takes the image into the working values, refreshes the texts and writes
// every entry into section "Parameter". The file is written once,
// atomically, replacing an existing (also read-only) file and leaving it
// writable. false, with nothing written, when the template is missing or
// unreadable or the target cannot be written.
// `about` (the drive's serial, type and firmware, the date, the program) goes
// into its own section "Drive", so section "Parameter" stays as readers know it.
bool ExportParaStructure(const std::filesystem::path& templateFile,
                         const std::filesystem::path& target, DriveData& data,
                         ParaStructTexts& texts, const TextLookup& text,
                         std::string* error = nullptr,
                         const std::vector<std::pair<std::string, std::string>>& about = {});

}  // namespace velmora::model
