#pragma once
// The motor page's actions on the drive's own store: the maker's data set of
// a motor model, the 32 memory slots and the factory settings. Each asks
// first, then lets the model's MotorStore queue its telegrams.
#include <cstdint>

#include "link/telegram.h"
#include "model/drivedata.h"
#include "model/motorstore.h"
#include "shell/framechannel.h"

class QWidget;

namespace velmora::pages {

using model::kMemorySlotCount;
using model::kMotorModelCount;

class MemorySlotActions {
  public:
    // The page's own send and read of the motor groups.
    using Hooks = model::MotorStore::Hooks;
    // frame receives WM_MOTOR_MODEL_CHOSEN and WM_MEMORY_SLOT_CHOSEN.
    MemorySlotActions(QWidget* parent, model::DriveData& data, shell::FrameChannel frame,
                      Hooks hooks);

    // model: motor model list entry 0..14, -1 for none.
    void loadMakerSet(int model);
    // slot: memory slot list entry 0..31 (slot number entry + 1), -1 for none.
    void loadSlot(int slot);
    void saveSlot(int slot);
    void deleteSlot(int slot);
    void loadFactorySettings();

    // A reply 0x62: anything but one byte holding 1 means the slot was empty.
    void slotState(link::Telegram& reply);

  private:
    [[nodiscard]] static bool validSlot(int slot) { return slot >= 0 && slot < kMemorySlotCount; }
    QWidget* m_parent;
    shell::FrameChannel m_frame;
    model::MotorStore m_store;
};

}  // namespace velmora::pages
