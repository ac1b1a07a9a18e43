#pragma once
// What the drive keeps when it is switched off: parameters, memory slots,
// memory words, calibration, serial number, operating time.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/factorysettings.h"

namespace velmora::sim {

inline constexpr int kSlotCount = 32;
inline constexpr int kMemoryWordCount = 8191;  // addresses 0..8190
inline constexpr std::uint32_t kErasedWord = 0xFFFFFFFF;

// Bits of ResetEeprom, one per memory area.
namespace area {
inline constexpr std::uint8_t MotorParameters = 0x01;
inline constexpr std::uint8_t RemoteParameters = 0x02;
inline constexpr std::uint8_t AllParameters = 0x04;
inline constexpr std::uint8_t RuntimeData = 0x08;
inline constexpr std::uint8_t TotalMemory = 0x10;
inline constexpr std::uint8_t BurnIn = 0x20;
}  // namespace area

// The burn-in log occupies the top of the memory.
inline constexpr int kBurnInFirstWord = 8064;

struct DriveMemory {
    ParameterWords parameters = FactoryParameters();
    std::array<std::optional<ParameterWords>, kSlotCount> slots{};  // index = slot - 1
    std::vector<std::uint32_t> words = std::vector<std::uint32_t>(kMemoryWordCount, kErasedWord);
    std::array<std::uint32_t, 9> calibration = FactoryCalibration();
    std::uint64_t runtimeMs = 0;  // operating time of the motor

    [[nodiscard]] static std::array<std::uint32_t, 9> FactoryCalibration();

    // Memory words 1..155 are the stored parameters themselves; the others
    // are plain cells. Addresses outside 0..8190 read nothing and write nothing.
    [[nodiscard]] std::optional<std::uint32_t> word(int address) const;
    bool setWord(int address, std::uint32_t value);

    // Slots 1..32; false (nothing done) for any other number.
    bool saveSlot(int slot);
    bool loadSlot(int slot);  // false also for an empty slot
    bool deleteSlot(int slot);
    [[nodiscard]] bool slotHoldsData(int slot) const;

    void resetAreas(std::uint8_t bits);
    // p25 and p26 from the operating time.
    void publishRuntime();
};

}  // namespace velmora::sim
