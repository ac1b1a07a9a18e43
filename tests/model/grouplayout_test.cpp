#include "model/grouplayout.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace velmora::model {
namespace {

// Each group's fields must cover its data exactly once: a gap or an overlap
// means a parameter is read from or written to another parameter's bytes.
TEST(GroupLayoutTable, FieldsTileEachGroupAndEachParameterTravelsOnce) {
    std::array<int, kParameterCount + 1> seen{};
    for (const auto& group : AllGroups()) {
        std::vector<int> owner(group.length, 0);
        for (const auto& field : group.fields) {
            ASSERT_GE(field.parameter, 1);
            ASSERT_LE(field.parameter, kParameterCount);
            ++seen[field.parameter];
            ASSERT_TRUE(field.bits == 8 || field.bits == 16 || field.bits == 32);
            ASSERT_LE(field.offset + field.bits / 8, group.length) << "group " << int(group.code);
            for (int i = 0; i < field.bits / 8; ++i) {
                EXPECT_EQ(owner[field.offset + i], 0) << "overlap in group " << int(group.code);
                owner[field.offset + i] = field.parameter;
            }
        }
        for (int byte : owner) EXPECT_NE(byte, 0) << "gap in group " << int(group.code);
        EXPECT_EQ(FindGroup(group.code), &group);
        if (group.writeCommand >= 0) {
            EXPECT_EQ(group.writeCommand, group.code - 0x40);
            EXPECT_EQ(FindGroupByWriteCommand(group.writeCommand), &group);
        }
    }
    int travelling = 0;
    for (int p = 1; p <= kParameterCount; ++p) {
        EXPECT_LE(seen[p], 1) << "p" << p;
        if (seen[p] == 1) {
            ++travelling;
            EXPECT_NE(GroupOfParameter(p), nullptr);
        } else {
            EXPECT_EQ(GroupOfParameter(p), nullptr);
        }
    }
    EXPECT_EQ(travelling, 86 + 5);  // groups 0x50..0x5A and 0x5F
}

// Lookups outside the table must fail cleanly instead of matching a group.
TEST(GroupLayoutTable, UnknownCodesFindNothing) {
    for (int code : {-1, 0, 0x4F, 0x5B, 0x5E, 0x60, 0x81, 0xCF, 1000}) {
        EXPECT_EQ(FindGroup(code), nullptr) << code;
    }
    for (int code : {-1, 0x0F, 0x19, 0x1F, 0x50}) {
        EXPECT_EQ(FindGroupByWriteCommand(code), nullptr) << code;
    }
    EXPECT_EQ(GroupOfParameter(0), nullptr);
    EXPECT_EQ(GroupOfParameter(156), nullptr);
    EXPECT_EQ(GroupOfParameter(2), nullptr);
}

}  // namespace
}  // namespace velmora::model
