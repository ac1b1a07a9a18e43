#pragma once
// The parameter groups as the drive exchanges them: one table that the write
// encoder, the reply parser, the parameter-structure export and the simulated
// drive all read.
#include <cstdint>
#include <span>

namespace velmora::model {

inline constexpr int kParameterCount = 155;  // parameters 1..155

struct FieldLayout {
    std::uint8_t parameter;  // 1..155
    std::uint8_t offset;     // byte offset inside the group's data
    std::uint8_t bits;       // 8, 16 or 32; big-endian on the wire
};

struct GroupLayout {
    std::uint8_t code;          // reply code 0x50..0x5A, 0x5F
    std::uint8_t length;        // exact data length of the reply / write
    std::int16_t writeCommand;  // code - 0x40, or -1 for read-only groups
    std::span<const FieldLayout> fields;
};

[[nodiscard]] std::span<const GroupLayout> AllGroups();
// nullptr for a code that is not a parameter group.
[[nodiscard]] const GroupLayout* FindGroup(int replyCode);
[[nodiscard]] const GroupLayout* FindGroupByWriteCommand(int writeCommand);
// The group a parameter travels in, or nullptr when it travels in none.
[[nodiscard]] const GroupLayout* GroupOfParameter(int parameter);

// 100, 10 or 1.
[[nodiscard]] int ScaleFactor(int parameter);

enum class ChoiceCoding { Identity, PlusOne, Poles, Flag32, None };
[[nodiscard]] ChoiceCoding ChoiceCodingOf(int parameter);

}  // namespace velmora::model
