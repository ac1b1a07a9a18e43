#include "shell/textkeys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "shell/faulttable.h"

namespace velmora::shell {
namespace {

struct SectionSpan {
    const char* name;
    int first;
    int count;
};

// Catches a key inserted or dropped anywhere: every later ordinal and the
// section of every key would shift, and the language files would not match.
TEST(TextKeys, SectionsCoverTheirOrdinalRanges) {
    const SectionSpan sections[] = {
        {"general", 0, 3},    {"menu", 3, 9},    {"tabs", 12, 7},   {"errors", 19, 32},
        {"navi", 51, 15},     {"spec", 66, 245}, {"para", 311, 82}, {"parastruct", 393, 86},
        {"notices", 479, 26}, {"trend", 505, 26}};
    int total = 0;
    for (const auto& s : sections) {
        for (int i = s.first; i < s.first + s.count; ++i) {
            EXPECT_EQ(textkeys::sectionOf(i), s.name) << i;
        }
        total += s.count;
    }
    EXPECT_EQ(total, textkeys::kKeyCount);
    EXPECT_TRUE(textkeys::sectionOf(-1).empty());
    EXPECT_TRUE(textkeys::sectionOf(531).empty());
    EXPECT_TRUE(textkeys::keyName(531).empty());
    EXPECT_TRUE(textkeys::keyName(-1).empty());
}

// Catches misspelt or reordered keys at the section borders and in the
// generated runs (m1..m32, the parameter numbers).
TEST(TextKeys, OrdinalsOfLandmarkKeys) {
    const std::pair<int, const char*> landmarks[] = {
        {0, "company"},
        {2, "version"},
        {3, "file"},
        {11, "disconnected"},
        {12, "tabcontrolpage"},
        {18, "tabtechservice"},
        {19, "errornumber"},
        {22, "error01"},
        {50, "error63"},
        {51, "startbutton"},
        {65, "overwritebutton"},
        {66, "delimiter"},
        {67, "inHz"},
        {126, "loadfrom"},
        {127, "m1"},
        {158, "m32"},
        {159, "typem01ac"},
        {208, "actsenstest"},
        {310, "firmwaredownloadfinished"},
        {311, "p1"},
        {392, "p146"},
        {393, "p1pn"},
        {398, "p12pn"},
        {478, "p146pn"},
        {479, "faultclass1"},
        {505, "trendmenu"},
        {530, "trendfirmwareend"},
    };
    for (const auto& [ordinal, name] : landmarks) {
        EXPECT_EQ(textkeys::keyName(ordinal), name) << ordinal;
        EXPECT_EQ(textkeys::ordinalOf(name), ordinal) << name;
    }
    EXPECT_EQ(textkeys::ordinalOf("nosuchkey"), -1);
    EXPECT_EQ(textkeys::ordinalOf(""), -1);
    EXPECT_EQ(textkeys::ordinalOf("Company"), -1);
}

// Catches duplicated names, which would make one of two entries unreachable.
TEST(TextKeys, NamesAreUniqueAndRoundTrip) {
    std::set<std::string> seen;
    for (int i = 0; i < textkeys::kKeyCount; ++i) {
        const auto name = std::string(textkeys::keyName(i));
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(seen.insert(name).second) << name;
        EXPECT_EQ(textkeys::ordinalOf(name), i);
    }
    // The structure names are the display names plus 12, 36, 37 and 39.
    for (int i = 311; i < 393; ++i) {
        const auto structName = std::string(textkeys::keyName(i)) + "pn";
        EXPECT_EQ(textkeys::sectionOf(textkeys::ordinalOf(structName)), "parastruct");
    }
}

// Catches a fault shown with the wrong headline or a text key that the
// language files do not have.
TEST(FaultTable, EntriesUseErrorKeys) {
    EXPECT_EQ(faultTable().size(), 29u);
    for (const auto& fault : faultTable()) {
        EXPECT_EQ(textkeys::sectionOf(textkeys::ordinalOf(fault.faultKey)), "errors");
        EXPECT_TRUE(fault.headlineKey == "errornumber" || fault.headlineKey == "warningnumber");
        char expected[16];
        std::snprintf(expected, sizeof expected, "error%02u", fault.number);
        EXPECT_EQ(fault.faultKey, expected);
    }
    ASSERT_NE(findFault(3), nullptr);
    EXPECT_EQ(findFault(3)->headlineKey, "errornumber");
    ASSERT_NE(findFault(18), nullptr);
    EXPECT_EQ(findFault(18)->headlineKey, "warningnumber");
    EXPECT_EQ(findFault(1)->headlineKey, "warningnumber");
    EXPECT_EQ(findFault(63)->faultKey, "error63");
    for (unsigned missing : {0u, 7u, 9u, 64u, 255u, 4096u}) {
        EXPECT_EQ(findFault(missing), nullptr) << missing;
    }
}

}  // namespace
}  // namespace velmora::shell
