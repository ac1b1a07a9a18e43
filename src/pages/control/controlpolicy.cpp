#include "pages/control/controlpolicy.h"

#include <array>

namespace velmora::pages {

std::uint32_t SpinStepSpeed(std::uint32_t v, int delta, std::uint32_t speedMin,
                            std::uint32_t speedMax) {
    // Signed arithmetic: stepping down from 0 must not wrap to the top.
    std::int64_t n = static_cast<std::int64_t>(v);
    if (delta <= 0) {
        n -= 1;
        if (n > speedMax) n = speedMax;
        if (n < speedMin) n = speedMin;
    } else {
        n += 1;
        if (n < speedMin) n = speedMin;
        if (n > speedMax) n = speedMax;
    }
    return static_cast<std::uint32_t>(n);
}

std::uint32_t ClampSetSpeed(std::uint32_t v, std::uint32_t speedMin, std::uint32_t speedMax) {
    if (v > speedMax) v = speedMax;
    if (v < speedMin) v = speedMin;
    return v;
}

ControlSourceEffect ControlSourceChosen(int p7Index, int p140Index) {
    switch (p7Index) {
        case 0:
            return {false, true};
        case 1:
            return {true, StartSourceChosen(p140Index)};
        default:
            return {};
    }
}

std::optional<bool> StartSourceChosen(int p140Index) {
    if (p140Index == 0) return true;
    if (p140Index == 1) return false;
    return std::nullopt;
}

const char* MotorModelKey(long index) {
    static constexpr std::array<const char*, 15> kModels = {
        "typem01ac",  "typem02ac",  "typem03ac",  "typem04ac",  "typem05ac",
        "typem06ac",  "typem07ac",  "typem09ac",  "typem10ac",  "typem11dc",
        "typem12dct", "typem13dcs", "typem14dcs", "typem15dcs", "typem08ac"};
    if (index < 0 || index >= static_cast<long>(kModels.size())) return "nochoice";
    return kModels[static_cast<std::size_t>(index)];
}

std::string MemorySlotKey(long index) {
    if (index < 0 || index > 31) return {};
    return "m" + std::to_string(index + 1);
}

}  // namespace velmora::pages
