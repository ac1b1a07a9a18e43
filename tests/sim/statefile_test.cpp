#include "sim/statefile.h"

#include <gtest/gtest.h>

#include "tests/support/tempfolder.h"

namespace velmora::sim {
namespace {

namespace fs = std::filesystem;

DriveMemory Used() {
    DriveMemory m;
    m.parameters[91] = 1234;
    m.parameters[39] = 4000000000u;
    m.parameters[31] = 7;
    m.saveSlot(4);
    m.parameters[91] = 2000;
    m.saveSlot(32);
    m.setWord(0, 11);
    m.setWord(8190, 0);
    m.setWord(500, 0xDEADBEEF);
    m.calibration = {1, 2, 3, 4, 5, 6, 7, 8, 4294967295u};
    m.runtimeMs = 3 * 3600000ull + 25 * 60000ull + 999;
    return m;
}

void ExpectSame(const DriveMemory& a, const DriveMemory& b) {
    for (int p = 1; p <= 155; ++p)
        if (p < 10 || p > 26) {
            EXPECT_EQ(a.parameters[p], b.parameters[p]) << "p" << p;
        }
    EXPECT_EQ(a.slots, b.slots);
    EXPECT_EQ(a.words, b.words);
    EXPECT_EQ(a.calibration, b.calibration);
    EXPECT_EQ(a.parameters[20], b.parameters[20]);
    EXPECT_EQ(a.runtimeMs, b.runtimeMs);
}

// Everything the drive keeps must come back from the file unchanged,
// including extreme values and the operating time behind p25/p26.
TEST(StateFile, RoundTripKeepsEverything) {
    const DriveMemory used = Used();
    const DriveMemory back = ParseState(SerializeState(used));
    ExpectSame(used, back);
    EXPECT_EQ(back.parameters[25], 3u);
    EXPECT_EQ(back.parameters[26], 25u);
    EXPECT_TRUE(back.slotHoldsData(4));
    EXPECT_FALSE(back.slotHoldsData(5));
}

// A damaged file must not crash the drive or leave half-read data: bad
// lines are skipped, a foreign file gives the factory state.
TEST(StateFile, BadInputIsSkipped) {
    const DriveMemory factory;
    ExpectSame(ParseState(""), factory);
    ExpectSame(ParseState("hello\nparameter 91 5\n"), factory);
    const std::string text =
        "velmora-sim-state 1\r\n"
        "parameter 91 77\r\n"
        "parameter 999 1\n"
        "parameter 12 5\n"  // a live value is not kept
        "parameter 92 -3\n"
        "parameter 93 99999999999\n"
        "slot 0 91:1\nslot 33 91:1\nslot 2 91:x\nslot 3 10:5\n"
        "slot 6 91:55 92:66\n"
        "word 8191 5\nword -1 5\nword 9000 5\nword 300 12\n"
        "calibration 1 2 3\n"
        "runtime-ms lots\n"
        "garbage line with words\n";
    const DriveMemory m = ParseState(text);
    EXPECT_EQ(m.parameters[91], 77u);
    EXPECT_EQ(m.parameters[12], 0u);
    EXPECT_EQ(m.parameters[92], factory.parameters[92]);
    EXPECT_EQ(m.parameters[93], factory.parameters[93]);
    for (int s : {2, 3}) EXPECT_FALSE(m.slotHoldsData(s)) << s;
    ASSERT_TRUE(m.slotHoldsData(6));
    EXPECT_EQ((*m.slots[5])[92], 66u);
    EXPECT_EQ(m.words[300], 12u);
    EXPECT_EQ(m.calibration, DriveMemory::FactoryCalibration());
    EXPECT_EQ(m.runtimeMs, 0u);
}

TEST(StateFile, SavedAtomicallyAndLoaded) {
    const testkit::TempFolder folder("sim-state");
    const fs::path& dir = folder.path();
    const fs::path file = dir / "drive.state";
    ExpectSame(LoadStateFile(file), DriveMemory{});  // missing file
    ASSERT_TRUE(SaveStateFile(file, Used()));
    ExpectSame(LoadStateFile(file), Used());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 1u);  // no temporary left behind
    EXPECT_FALSE(SaveStateFile(dir / "missing-folder" / "x.state", Used()));
}

}  // namespace
}  // namespace velmora::sim
