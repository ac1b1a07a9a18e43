#include "sim/drivememory.h"

#include "model/parameters.h"

namespace velmora::sim {

namespace param = model::param;
namespace {

constexpr int kParameterWords = 155;

bool validSlot(int slot) {
    return slot >= 1 && slot <= kSlotCount;
}

}  // namespace

std::array<std::uint32_t, 9> DriveMemory::FactoryCalibration() {
    // Analogue inputs, three phase voltages, two bus voltages, two currents.
    return {5000, 5000, 4096, 4096, 4096, 4100, 4090, 1000, 1000};
}

std::optional<std::uint32_t> DriveMemory::word(int address) const {
    if (address < 0 || address >= kMemoryWordCount) return std::nullopt;
    if (address >= 1 && address <= kParameterWords) return parameters[address];
    return words[address];
}

bool DriveMemory::setWord(int address, std::uint32_t value) {
    if (address < 0 || address >= kMemoryWordCount) return false;
    if (address >= 1 && address <= kParameterWords)
        parameters[address] = value;
    else
        words[address] = value;
    return true;
}

bool DriveMemory::saveSlot(int slot) {
    if (!validSlot(slot)) return false;
    ParameterWords stored{};
    for (int p = 1; p <= kParameterWords; ++p)
        if (IsMotorParameter(p)) stored[p] = parameters[p];
    slots[slot - 1] = stored;
    parameters[param::kMemorySlot] = slot;
    return true;
}

bool DriveMemory::loadSlot(int slot) {
    if (!slotHoldsData(slot)) return false;
    const ParameterWords& stored = *slots[slot - 1];
    for (int p = 1; p <= kParameterWords; ++p)
        if (IsMotorParameter(p)) parameters[p] = stored[p];
    parameters[param::kMemorySlot] = slot;
    return true;
}

bool DriveMemory::deleteSlot(int slot) {
    if (!validSlot(slot)) return false;
    slots[slot - 1].reset();
    if (parameters[param::kMemorySlot] == static_cast<std::uint32_t>(slot))
        parameters[param::kMemorySlot] = 0;
    return true;
}

bool DriveMemory::slotHoldsData(int slot) const {
    return validSlot(slot) && slots[slot - 1].has_value();
}

void DriveMemory::resetAreas(std::uint8_t bits) {
    const ParameterWords factory = FactoryParameters();
    const bool total = (bits & area::TotalMemory) != 0;
    for (int p = 1; p <= kParameterWords; ++p) {
        const bool reset = ((bits & area::MotorParameters) && IsMotorParameter(p)) ||
                           ((bits & area::RemoteParameters) && IsRemoteParameter(p)) ||
                           ((bits & area::AllParameters || total) && IsWritableParameter(p));
        if (reset) parameters[p] = factory[p];
    }
    if (bits & (area::RuntimeData | area::TotalMemory)) {
        runtimeMs = 0;
        for (int p = param::kOvercurrentErrors; p <= param::kOtherErrors; ++p) parameters[p] = 0;
        for (int p = param::kHeldSpeedSetPoint; p <= param::kHeldOutputCurrent; ++p)
            parameters[p] = 0;
        publishRuntime();
    }
    if (total) {
        for (auto& slot : slots) slot.reset();
        parameters[param::kMemorySlot] = 0;
        words.assign(kMemoryWordCount, kErasedWord);
    }
    if (bits & area::BurnIn)
        for (int a = kBurnInFirstWord; a < kMemoryWordCount; ++a) words[a] = kErasedWord;
}

void DriveMemory::publishRuntime() {
    const std::uint64_t minutes = runtimeMs / 60000;
    parameters[param::kOperatingHours] = static_cast<std::uint32_t>(minutes / 60);
    parameters[param::kOperatingMinutes] = static_cast<std::uint32_t>(minutes % 60);
}

}  // namespace velmora::sim
