#include "sim/statefile.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

#include "model/parameters.h"
#include "platform/profile.h"

namespace velmora::sim {

namespace param = model::param;
namespace {

constexpr std::string_view kHeader = "velmora-sim-state 1";

// What a file keeps besides the writable groups: the slot the motor data
// came from, error counters, identity and the values held at the last
// severe fault.
bool IsKeptParameter(int p) {
    return IsWritableParameter(p) || p == param::kMemorySlot ||
           (p >= param::kOvercurrentErrors && p <= param::kOtherErrors) ||
           p == param::kInverterType || p == param::kFirmwareVersion || p == param::kSerialNumber ||
           (p >= param::kHeldSpeedSetPoint && p <= param::kHeldOutputCurrent);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <typename T>
bool Number(std::string_view text, T& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc{} && ptr == end;
}

// "41:30" → parameter 41, value 30.
bool Pair(std::string_view text, int& parameter, std::uint32_t& value) {
    const auto colon = text.find(':');
    return colon != std::string_view::npos && Number(text.substr(0, colon), parameter) &&
           Number(text.substr(colon + 1), value);
}

void ParseLine(const std::vector<std::string_view>& w, DriveMemory& m) {
    if (w.empty()) return;
    if (w[0] == "runtime-ms" && w.size() == 2) {
        std::uint64_t ms = 0;
        if (Number(w[1], ms)) m.runtimeMs = ms;
    } else if (w[0] == "parameter" && w.size() == 3) {
        int p = 0;
        std::uint32_t v = 0;
        if (Number(w[1], p) && Number(w[2], v) && p >= 1 && p <= 155 && IsKeptParameter(p))
            m.parameters[p] = v;
    } else if (w[0] == "calibration" && w.size() == 10) {
        std::array<std::uint32_t, 9> values{};
        for (int i = 0; i < 9; ++i)
            if (!Number(w[i + 1], values[i])) return;
        m.calibration = values;
    } else if (w[0] == "slot" && w.size() >= 2) {
        int slot = 0;
        if (!Number(w[1], slot) || slot < 1 || slot > kSlotCount) return;
        ParameterWords stored{};
        for (std::size_t i = 2; i < w.size(); ++i) {
            int p = 0;
            std::uint32_t v = 0;
            if (!Pair(w[i], p, v) || p < 1 || p > 155 || !IsMotorParameter(p)) return;
            stored[p] = v;
        }
        m.slots[slot - 1] = stored;
    } else if (w[0] == "word" && w.size() == 3) {
        int address = 0;
        std::uint32_t v = 0;
        if (Number(w[1], address) && Number(w[2], v)) m.setWord(address, v);
    }
}

}  // namespace

std::string SerializeState(const DriveMemory& m) {
    std::ostringstream out;
    out << kHeader << '\n' << "runtime-ms " << m.runtimeMs << '\n';
    for (int p = 1; p <= 155; ++p)
        if (IsKeptParameter(p)) out << "parameter " << p << ' ' << m.parameters[p] << '\n';
    out << "calibration";
    for (auto v : m.calibration) out << ' ' << v;
    out << '\n';
    for (int s = 1; s <= kSlotCount; ++s) {
        if (!m.slots[s - 1]) continue;
        out << "slot " << s;
        for (int p = 1; p <= 155; ++p)
            if (IsMotorParameter(p)) out << ' ' << p << ':' << (*m.slots[s - 1])[p];
        out << '\n';
    }
    for (int a = 0; a < kMemoryWordCount; ++a) {
        if (a >= 1 && a <= 155) continue;  // the parameters themselves
        if (m.words[a] != kErasedWord) out << "word " << a << ' ' << m.words[a] << '\n';
    }
    return out.str();
}

DriveMemory ParseState(std::string_view text) {
    DriveMemory memory;
    std::size_t start = 0;
    bool first = true;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const auto line = text.substr(start, end - start);
        // A file of another kind is not taken apart line by line.
        if (first && Words(line) != Words(kHeader)) return DriveMemory{};
        if (!first) ParseLine(Words(line), memory);
        first = false;
        start = end + 1;
    }
    memory.publishRuntime();
    return memory;
}

DriveMemory LoadStateFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return DriveMemory{};
    std::ostringstream text;
    text << in.rdbuf();
    return ParseState(text.str());
}

bool SaveStateFile(const std::filesystem::path& path, const DriveMemory& memory,
                   std::string* error) {
    return platform::WriteFileAtomically(path, SerializeState(memory), error);
}

}  // namespace velmora::sim
