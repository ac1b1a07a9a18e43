#pragma once
// The drive's own store of motor data: the maker's data set of a motor model,
// the 32 memory slots and the factory settings, and the order in which the
// six motor groups are sent and read. Each action queues its telegrams; none
// waits for an answer. The motor page asks its questions first, the
// command-line tool takes --yes for them.
#include <array>
#include <cstdint>
#include <functional>

#include "link/telegram.h"
#include "model/drivedata.h"

namespace velmora::model {

inline constexpr int kMemorySlotCount = 32;
inline constexpr int kMotorModelCount = 15;

// Write order: limits first, the motor type last, so the drive switches to
// the new motor with its limits already in place.
inline constexpr std::array<int, 6> kMotorWriteOrder{0x11, 0x14, 0x16, 0x12, 0x13, 0x15};
inline constexpr std::array<int, 6> kMotorReadOrder{0x51, 0x55, 0x54, 0x56, 0x52, 0x53};

// Sends the working values of the six motor groups / asks for them back.
void SendMotorGroups(DriveData& data);
void ReadMotorGroups(DriveData& data);

class MotorStore {
  public:
    struct Hooks {
        std::function<void()> sendMotorGroups;  // default: SendMotorGroups(data)
        std::function<void()> readMotorGroups;  // default: ReadMotorGroups(data)
    };
    explicit MotorStore(DriveData& data, Hooks hooks = {});

    // model 0..14; slot 1..32. Out-of-range numbers, and what the drive's
    // gate refuses (a running motor), send nothing (false).
    bool loadMakerSet(int model);
    bool loadSlot(int slot);
    bool saveSlot(int slot);
    bool deleteSlot(int slot);
    void loadFactorySettings();

    // The reply 0x62 to a slot query: true only for one byte holding 1.
    [[nodiscard]] static bool SlotHoldsData(link::Telegram& reply);
    [[nodiscard]] static bool ValidSlot(int slot) { return slot >= 1 && slot <= kMemorySlotCount; }
    [[nodiscard]] static bool ValidModel(int model) {
        return model >= 0 && model < kMotorModelCount;
    }

  private:
    void forgetFollowChoices();

    DriveData& m_data;
    Hooks m_hooks;
};

}  // namespace velmora::model
