#pragma once
// The control page's rules as plain functions, so they can be tested as tables.
#include <cstdint>
#include <optional>
#include <string>

#include "model/invertermodels.h"

namespace velmora::pages {

// Set speed after one spin step from v (internal unit): delta <= 0 steps down,
// delta > 0 up; the result stays inside speedMin..speedMax, also from a value
// outside the range (typing 0 and stepping down gives speedMin).
[[nodiscard]] std::uint32_t SpinStepSpeed(std::uint32_t v, int delta, std::uint32_t speedMin,
                                          std::uint32_t speedMax);

// The set speed corrected into speedMin..speedMax (the maximum is applied
// first, so an inverted range yields speedMin).
[[nodiscard]] std::uint32_t ClampSetSpeed(std::uint32_t v, std::uint32_t speedMin,
                                          std::uint32_t speedMax);

// What a choice of the control source (p7) does to the start, stop and reset
// buttons and to the remote-choice lists of p140 and p141. nullopt: unchanged.
struct ControlSourceEffect {
    std::optional<bool> remoteListsEnabled;
    std::optional<bool> buttonsEnabled;
};
[[nodiscard]] ControlSourceEffect ControlSourceChosen(int p7Index, int p140Index);

// Buttons after a choice of the start/stop source (p140): 0 enables, 1
// disables, anything else leaves them.
[[nodiscard]] std::optional<bool> StartSourceChosen(int p140Index);

// Catalogue key of the drive model code in parameter 36.
using model::InverterTypeKey;
// Catalogue key of a motor model list index (WM_MOTOR_MODEL_CHOSEN).
[[nodiscard]] const char* MotorModelKey(long index);
// "m1".."m32" for slot index 0..31, empty otherwise (WM_MEMORY_SLOT_CHOSEN).
[[nodiscard]] std::string MemorySlotKey(long index);

}  // namespace velmora::pages
