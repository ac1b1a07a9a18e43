#include "model/firmwaretransfer.h"

#include <gtest/gtest.h>

#include <numeric>

namespace velmora::model {
namespace {

std::vector<std::uint8_t> pattern(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return bytes;
}

// Header of a block telegram: number and count, both high byte first.
void expectHeader(const link::Telegram& t, int command, int number, int count) {
    EXPECT_EQ(t.command, command);
    ASSERT_GE(t.data.size(), 4u);
    EXPECT_EQ(t.data[0], number >> 8);
    EXPECT_EQ(t.data[1], number & 0xFF);
    EXPECT_EQ(t.data[2], count >> 8);
    EXPECT_EQ(t.data[3], count & 0xFF);
    EXPECT_EQ(t.length, count + 4);
    EXPECT_EQ(t.data.size(), static_cast<std::size_t>(count + 4));
}

// Loader files of 502 and 300 bytes split into 251-byte blocks numbered from 0.
TEST(LoaderPhase, SplitsInto251ByteBlocks) {
    struct Case {
        std::size_t size;
        std::vector<int> counts;
    };
    for (const Case& c : {Case{502, {251, 251}}, Case{300, {251, 49}}, Case{0, {}},
                          Case{251, {251}}, Case{1, {1}}}) {
        SCOPED_TRACE(c.size);
        LoaderPhase phase;
        const auto loader = pattern(c.size);
        phase.begin(loader);
        std::vector<std::uint8_t> sent;
        for (std::size_t i = 0; i < c.counts.size(); ++i) {
            auto block = phase.nextBlock();
            ASSERT_TRUE(block);
            expectHeader(*block, 0x1D, static_cast<int>(i), c.counts[i]);
            sent.insert(sent.end(), block->data.begin() + 4, block->data.end());
        }
        EXPECT_TRUE(phase.finished());
        EXPECT_FALSE(phase.nextBlock());
        EXPECT_EQ(sent, loader);
    }
}

// A second download numbers its blocks from 0 again.
TEST(LoaderPhase, BlockNumberRestartsPerDownload) {
    LoaderPhase phase;
    phase.begin(pattern(600));
    while (phase.nextBlock()) {
    }
    phase.begin(pattern(10));
    auto block = phase.nextBlock();
    ASSERT_TRUE(block);
    expectHeader(*block, 0x1D, 0, 10);
}

// 496 bytes: block 1 holds the end with 248 bytes; 500 bytes: block 2 holds 4 bytes.
TEST(FirmwareAnswer, LastBlockAndLengths) {
    const auto f496 = pattern(496);
    auto a0 = AnswerBlockRequest(f496, 0);
    ASSERT_TRUE(a0.block);
    expectHeader(*a0.block, 0x1E, 0, 248);
    EXPECT_FALSE(a0.lastBlock);
    auto a1 = AnswerBlockRequest(f496, 1);
    ASSERT_TRUE(a1.block);
    expectHeader(*a1.block, 0x1E, 1, 248);
    EXPECT_TRUE(a1.lastBlock);
    EXPECT_EQ(a1.progress, 2);

    const auto f500 = pattern(500);
    auto a2 = AnswerBlockRequest(f500, 2);
    ASSERT_TRUE(a2.block);
    expectHeader(*a2.block, 0x1E, 2, 4);
    EXPECT_TRUE(a2.lastBlock);
    EXPECT_TRUE(std::equal(a2.block->data.begin() + 4, a2.block->data.end(), f500.begin() + 496));
}

// A request at or beyond the end of the file never yields a zero or negative block.
TEST(FirmwareAnswer, RequestBeyondEndEndsTransfer) {
    const auto f496 = pattern(496);
    for (std::uint16_t k : {2, 3, 0xFFFF}) {
        auto answer = AnswerBlockRequest(f496, k);
        EXPECT_FALSE(answer.block) << k;
    }
    EXPECT_FALSE(AnswerBlockRequest({}, 0).block);
    // Block 0x0101: the number goes high byte first.
    auto big = pattern(300 * 248);
    auto a = AnswerBlockRequest(big, 0x0101);
    ASSERT_TRUE(a.block);
    expectHeader(*a.block, 0x1E, 0x0101, 248);
}

}  // namespace
}  // namespace velmora::model
