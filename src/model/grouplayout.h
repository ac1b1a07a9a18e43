#pragma once
// The parameter groups as the drive exchanges them: one table that the write
// encoder, the reply parser, the parameter-structure export and the simulated
// drive all read.
#include <cstdint>
#include <span>

namespace velmora::model {

inline constexpr int kParameterCount = 155;  // parameters 1..155

namespace code {
// Parameter groups by their reply code; the layouts are in grouplayout.cpp.
inline constexpr int Group50 = 0x50;
inline constexpr int Group51 = 0x51;
inline constexpr int Group52 = 0x52;
inline constexpr int Group53 = 0x53;
inline constexpr int Group54 = 0x54;
inline constexpr int Group55 = 0x55;
inline constexpr int Group56 = 0x56;
inline constexpr int Group57 = 0x57;
inline constexpr int Group58 = 0x58;
inline constexpr int Group59 = 0x59;  // live values, read only
inline constexpr int Group5A = 0x5A;  // drive identity, read only
inline constexpr int Group5F = 0x5F;  // values held at a severe fault, read only
}  // namespace code

struct FieldLayout {
    std::uint8_t parameter;  // 1..155
    std::uint8_t offset;     // byte offset inside the group's data
    std::uint8_t bits;       // 8, 16 or 32; big-endian on the wire
};

struct GroupLayout {
    std::uint8_t code;          // reply code 0x50..0x5A, 0x5F
    std::uint8_t length;        // exact data length of the reply / write
    std::int16_t writeCommand;  // -1 for read-only groups
    std::span<const FieldLayout> fields;
};

[[nodiscard]] std::span<const GroupLayout> AllGroups();
// nullptr for a code that is not a parameter group.
[[nodiscard]] const GroupLayout* FindGroup(int replyCode);
[[nodiscard]] const GroupLayout* FindGroupByWriteCommand(int writeCommand);
// The command that writes the group of this reply code; -1 for a read-only
// group or a code that is no group.
[[nodiscard]] int WriteCommandOf(int replyCode);
// The group a parameter travels in, or nullptr when it travels in none.
[[nodiscard]] const GroupLayout* GroupOfParameter(int parameter);

// 100, 10 or 1.
[[nodiscard]] int ScaleFactor(int parameter);

enum class ChoiceCoding { Identity, PlusOne, Poles, Flag32, None };
[[nodiscard]] ChoiceCoding ChoiceCodingOf(int parameter);

}  // namespace velmora::model
