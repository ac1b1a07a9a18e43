#include "model/grouplayout.h"

#include <algorithm>
#include <array>

namespace velmora::model {
namespace {

constexpr FieldLayout k50[] = {{1, 0, 16}, {7, 2, 8}, {8, 3, 8}};
constexpr FieldLayout k51[] = {{41, 0, 16},  {42, 2, 16},  {44, 4, 16},  {46, 6, 16},  {47, 8, 16},
                               {48, 10, 16}, {50, 12, 8},  {51, 13, 16}, {52, 15, 16}, {53, 17, 16},
                               {54, 19, 16}, {55, 21, 16}, {56, 23, 16}, {57, 25, 16}, {58, 27, 8}};
constexpr FieldLayout k52[] = {{60, 0, 16}, {61, 2, 16},  {62, 4, 16}, {63, 6, 16},
                               {64, 8, 16}, {65, 10, 16}, {66, 12, 16}};
constexpr FieldLayout k53[] = {{70, 0, 8},   {71, 1, 16},  {72, 3, 16},  {73, 5, 16},
                               {77, 7, 16},  {78, 9, 16},  {79, 11, 16}, {80, 13, 16},
                               {81, 15, 16}, {82, 17, 16}, {83, 19, 16}, {84, 21, 16}};
constexpr FieldLayout k54[] = {{85, 0, 8}, {86, 1, 16}};
constexpr FieldLayout k55[] = {{90, 0, 8},  {91, 1, 16}, {92, 3, 16},
                               {93, 5, 16}, {94, 7, 8},  {96, 8, 8}};
constexpr FieldLayout k56[] = {{104, 0, 16}, {105, 2, 16}, {106, 4, 16}};
constexpr FieldLayout k57[] = {{102, 0, 8},   {110, 1, 8},   {111, 2, 8},  {112, 3, 8},
                               {113, 4, 8},   {114, 5, 8},   {115, 6, 8},  {120, 7, 8},
                               {121, 8, 8},   {125, 9, 16},  {129, 11, 8}, {135, 12, 16},
                               {136, 14, 16}, {137, 16, 16}, {142, 18, 8}};
constexpr FieldLayout k58[] = {{140, 0, 8}, {141, 1, 8}, {146, 2, 8}};
constexpr FieldLayout k59[] = {{10, 0, 16},  {11, 2, 16},  {12, 4, 16},  {13, 6, 16},
                               {14, 8, 16},  {15, 10, 16}, {16, 12, 16}, {18, 14, 16},
                               {19, 16, 16}, {20, 18, 8},  {25, 19, 32}, {26, 23, 32}};
constexpr FieldLayout k5A[] = {{30, 0, 8}, {31, 1, 8},  {32, 2, 8},  {33, 3, 8},
                               {34, 4, 8}, {36, 5, 16}, {37, 7, 16}, {39, 9, 32}};
constexpr FieldLayout k5F[] = {
    {151, 0, 16}, {152, 2, 16}, {153, 4, 16}, {154, 6, 16}, {155, 8, 16}};

constexpr std::array<GroupLayout, 12> kGroups = {{
    {0x50, 4, 0x10, k50},
    {0x51, 28, 0x11, k51},
    {0x52, 14, 0x12, k52},
    {0x53, 23, 0x13, k53},
    {0x54, 3, 0x14, k54},
    {0x55, 9, 0x15, k55},
    {0x56, 6, 0x16, k56},
    {0x57, 19, 0x17, k57},
    {0x58, 3, 0x18, k58},
    {0x59, 27, -1, k59},
    {0x5A, 13, -1, k5A},
    {0x5F, 10, -1, k5F},
}};

constexpr int kScale100[] = {11, 15, 16, 18, 37, 44,  56,  57,  60, 62,
                             64, 66, 71, 92, 93, 125, 153, 154, 155};
constexpr int kScale10[] = {19, 46, 47, 48, 51, 52, 55, 72};

constexpr int kIdentityChoice[] = {
    1,  7,   10,  13,  14,  20,  25,  26,  30,  31,  32,  33,  34,  36,  39,  41,  42,  50, 53,
    54, 58,  61,  63,  65,  70,  73,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  90, 91,
    94, 104, 105, 106, 110, 111, 112, 113, 114, 115, 120, 121, 135, 136, 137, 142, 151, 152};
constexpr int kPlusOneChoice[] = {8, 129, 140, 141, 146};

template <std::size_t N>
bool contains(const int (&list)[N], int value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

}  // namespace

std::span<const GroupLayout> AllGroups() {
    return kGroups;
}

const GroupLayout* FindGroup(int replyCode) {
    for (const auto& group : kGroups)
        if (group.code == replyCode) return &group;
    return nullptr;
}

const GroupLayout* FindGroupByWriteCommand(int writeCommand) {
    for (const auto& group : kGroups)
        if (group.writeCommand >= 0 && group.writeCommand == writeCommand) return &group;
    return nullptr;
}

int WriteCommandOf(int replyCode) {
    const GroupLayout* group = FindGroup(replyCode);
    return group == nullptr ? -1 : group->writeCommand;
}

const GroupLayout* GroupOfParameter(int parameter) {
    for (const auto& group : kGroups)
        for (const auto& field : group.fields)
            if (field.parameter == parameter) return &group;
    return nullptr;
}

int ScaleFactor(int parameter) {
    if (contains(kScale100, parameter)) return 100;
    if (contains(kScale10, parameter)) return 10;
    return 1;
}

ChoiceCoding ChoiceCodingOf(int parameter) {
    if (contains(kIdentityChoice, parameter)) return ChoiceCoding::Identity;
    if (contains(kPlusOneChoice, parameter)) return ChoiceCoding::PlusOne;
    if (parameter == 96) return ChoiceCoding::Poles;
    if (parameter == 102) return ChoiceCoding::Flag32;
    return ChoiceCoding::None;
}

}  // namespace velmora::model
