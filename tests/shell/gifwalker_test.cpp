#include "shell/gifwalker.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/gifsamples.h"

namespace velmora::shell {
namespace {

using testing::encodeGif;
using testing::solidFrame;

constexpr std::array<testing::Rgb, 4> kPalette = {
    {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};

std::vector<std::uint8_t> threeFrames() {
    return encodeGif(8, 6, kPalette,
                     {solidFrame(0, 0, 8, 6, 1, 5, 1), solidFrame(2, 1, 3, 2, 2, 0, 2),
                      solidFrame(4, 3, 4, 3, 3, 12, 3)});
}

gif::Walk walked(const std::vector<std::uint8_t>& data) {
    auto result = gif::walk(data);
    EXPECT_TRUE(result.has_value());
    return result.value_or(gif::Walk{});
}

// Catches frames lost or misplaced when the walker skips sub-blocks, and
// delays or disposal methods read from the wrong byte.
TEST(GifWalker, FindsEveryFrameOfTheEncodersFile) {
    const auto data = threeFrames();
    const auto w = walked(data);
    EXPECT_EQ(w.end, gif::WalkEnd::Trailer);
    EXPECT_EQ(w.screenWidth, 8);
    EXPECT_EQ(w.screenHeight, 6);
    EXPECT_EQ(w.globalTableLength, 12u);
    EXPECT_EQ(w.backgroundIndex, 0);
    ASSERT_EQ(w.frames.size(), 3u);
    EXPECT_EQ(w.frames[1].placement.left, 2);
    EXPECT_EQ(w.frames[1].placement.top, 1);
    EXPECT_EQ(w.frames[1].placement.width, 3);
    EXPECT_EQ(w.frames[1].placement.height, 2);
    EXPECT_EQ(w.frames[0].delay, 5);
    EXPECT_EQ(w.frames[1].delay, 0);
    EXPECT_EQ(w.frames[2].delay, 12);
    EXPECT_EQ(w.frames[0].disposal, 1);
    EXPECT_EQ(w.frames[1].disposal, 2);
    EXPECT_EQ(w.frames[2].disposal, 3);
    EXPECT_EQ(data[w.frames[2].imageOffset], 0x2C);
    EXPECT_EQ(w.frames[2].imageOffset + w.frames[2].imageLength, data.size() - 1);
}

// Catches a walker that only knows its own encoder's layout: real LZW data,
// the NETSCAPE loop block and transparent sub-frames from another tool.
TEST(GifWalker, FindsTheFramesOfAGifsicleFile) {
    const auto w = walked(testing::gifsicleMovingSquare());
    EXPECT_EQ(w.end, gif::WalkEnd::Trailer);
    EXPECT_EQ(w.screenWidth, 12);
    EXPECT_EQ(w.screenHeight, 10);
    ASSERT_EQ(w.frames.size(), 3u);
    for (const auto& frame : w.frames) EXPECT_EQ(frame.delay, 7);
    EXPECT_EQ(w.frames[0].placement.width, 12);
    EXPECT_EQ(w.frames[1].placement.left, 2);
    EXPECT_EQ(w.frames[2].placement.left, 5);
    EXPECT_EQ(w.frames[2].placement.top, 2);
    EXPECT_EQ(w.frames[2].placement.width, 6);
    EXPECT_EQ(w.frames[2].placement.height, 4);
    EXPECT_EQ(w.rejectedFrames, 0);
}

// Catches comment and application blocks taken for frames, and local colour
// tables not skipped (the next frame would be read from colour bytes).
TEST(GifWalker, SkipsExtensionsAndLocalTablesOfAHandAssembledFile) {
    const auto w = walked(testing::handAssembled());
    EXPECT_EQ(w.end, gif::WalkEnd::Trailer);
    EXPECT_EQ(w.globalTableLength, 0u);
    EXPECT_EQ(w.backgroundIndex, -1);
    ASSERT_EQ(w.frames.size(), 3u);
    EXPECT_EQ(w.frames[0].delay, 3);
    EXPECT_EQ(w.frames[0].disposal, 2);
    EXPECT_EQ(w.frames[1].delay, 5);
    EXPECT_EQ(w.frames[1].disposal, 3);
    EXPECT_FALSE(w.frames[2].delay.has_value());
    EXPECT_EQ(w.frames[2].disposal, 0);
    EXPECT_EQ(w.frames[2].controlLength, 0u);
    EXPECT_EQ(w.frames[2].placement.left, 3);
}

// Catches a one-frame picture counted as an animation.
TEST(GifWalker, SingleFramePicture) {
    const auto w = walked(encodeGif(3, 3, kPalette, {solidFrame(0, 0, 3, 3, 1, std::nullopt)}));
    EXPECT_EQ(w.frames.size(), 1u);
    EXPECT_EQ(w.end, gif::WalkEnd::Trailer);
}

// Catches a cut-out frame that a decoder cannot read on its own: it must be a
// complete GIF with the frame's control block, placed at 0,0 on a screen of
// the frame's size, with the image data unchanged.
TEST(GifWalker, SingleFrameFilesStandAlone) {
    for (const auto& data :
         {threeFrames(), testing::gifsicleMovingSquare(), testing::handAssembled()}) {
        const auto w = walked(data);
        for (const auto& frame : w.frames) {
            const auto single = gif::singleFrame(data, w, frame);
            const auto inner = walked(single);
            EXPECT_EQ(inner.end, gif::WalkEnd::Trailer);
            ASSERT_EQ(inner.frames.size(), 1u);
            const auto& cut = inner.frames[0];
            EXPECT_EQ(inner.screenWidth, frame.placement.width);
            EXPECT_EQ(inner.screenHeight, frame.placement.height);
            EXPECT_EQ(cut.placement.left, 0);
            EXPECT_EQ(cut.placement.top, 0);
            EXPECT_EQ(cut.delay, frame.delay);
            EXPECT_EQ(cut.disposal, frame.disposal);
            ASSERT_EQ(cut.imageLength, frame.imageLength);
            EXPECT_TRUE(std::equal(single.begin() + cut.imageOffset + 5,
                                   single.begin() + cut.imageOffset + cut.imageLength,
                                   data.begin() + frame.imageOffset + 5));
        }
    }
}

// Catches reads past the end: every prefix of a valid file is walked and only
// the frames that are complete in it are reported.
TEST(GifWalker, EveryTruncationKeepsOnlyCompleteFrames) {
    const auto data = threeFrames();
    const auto full = walked(data);
    for (std::size_t length = 0; length < data.size(); ++length) {
        const std::vector<std::uint8_t> cut(data.begin(), data.begin() + length);
        const auto w = gif::walk(cut);
        if (length < 13 + full.globalTableLength) {
            EXPECT_FALSE(w.has_value()) << length;
            continue;
        }
        ASSERT_TRUE(w.has_value()) << length;
        EXPECT_EQ(w->end, gif::WalkEnd::Truncated) << length;
        std::size_t complete = 0;
        for (const auto& frame : full.frames) {
            if (frame.imageOffset + frame.imageLength <= length) ++complete;
        }
        EXPECT_EQ(w->frames.size(), complete) << length;
    }
}

struct DamageCase {
    const char* name;
    std::vector<std::uint8_t> data;
    gif::WalkEnd end;
    std::size_t frames;
    int rejected;
};

std::vector<DamageCase> damageCases() {
    std::vector<DamageCase> cases;
    {
        auto data = threeFrames();
        const auto w = walked(data);
        // the first sub-block length of frame 2 points past the end
        data[w.frames[1].imageOffset + 11] = 0xFF;
        data.resize(w.frames[1].imageOffset + 40);
        cases.push_back({"SubBlockLengthPastEnd", data, gif::WalkEnd::Truncated, 1, 0});
    }
    {
        auto data = threeFrames();
        const auto w = walked(data);
        data[w.frames[2].imageOffset] = 0x77;  // no known block starts so
        cases.push_back({"UnknownBlock", data, gif::WalkEnd::Damaged, 2, 0});
    }
    cases.push_back({"ZeroSizedFrame",
                     encodeGif(8, 6, kPalette,
                               {solidFrame(0, 0, 8, 6, 1, 5), solidFrame(1, 1, 0, 3, 2, 5),
                                solidFrame(1, 1, 2, 2, 3, 5)}),
                     gif::WalkEnd::Trailer, 2, 1});
    cases.push_back({"FrameOutsideTheScreen",
                     encodeGif(8, 6, kPalette,
                               {solidFrame(0, 0, 8, 6, 1, 5), solidFrame(8, 0, 2, 2, 2, 5),
                                solidFrame(0, 60000, 2, 2, 2, 5), solidFrame(6, 4, 4, 4, 3, 5)}),
                     gif::WalkEnd::Trailer, 2, 2});
    cases.push_back(
        {"ZeroSizedScreen",
         encodeGif(0, 0, kPalette, {solidFrame(0, 0, 2, 2, 1, 5), solidFrame(0, 0, 2, 2, 2, 5)}),
         gif::WalkEnd::Trailer, 0, 2});
    {
        auto data = threeFrames();
        data.pop_back();  // no trailer
        cases.push_back({"MissingTrailer", data, gif::WalkEnd::Truncated, 3, 0});
    }
    return cases;
}

class GifDamage : public ::testing::TestWithParam<DamageCase> {};

// Catches damaged files read out of bounds or frames that cannot be drawn
// (zero-sized, off the screen) handed to the player.
TEST_P(GifDamage, EndsTheWalkOrRejectsTheFrame) {
    const auto& c = GetParam();
    const auto w = walked(c.data);
    EXPECT_EQ(w.end, c.end);
    EXPECT_EQ(w.frames.size(), c.frames);
    EXPECT_EQ(w.rejectedFrames, c.rejected);
    for (const auto& frame : w.frames) {
        EXPECT_GT(frame.visible.width, 0);
        EXPECT_GT(frame.visible.height, 0);
        EXPECT_LE(frame.visible.left + frame.visible.width, w.screenWidth);
        EXPECT_LE(frame.visible.top + frame.visible.height, w.screenHeight);
        EXPECT_FALSE(gif::singleFrame(c.data, w, frame).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, GifDamage, ::testing::ValuesIn(damageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches a frame reaching over the screen's edge drawn beyond the picture.
TEST(GifWalker, ClipsAFramePartlyOffTheScreen) {
    const auto w = walked(
        encodeGif(8, 6, kPalette, {solidFrame(6, 4, 4, 4, 3, 5), solidFrame(0, 0, 1, 1, 3, 5)}));
    ASSERT_EQ(w.frames.size(), 2u);
    EXPECT_EQ(w.frames[0].placement.width, 4);
    EXPECT_EQ(w.frames[0].visible.left, 6);
    EXPECT_EQ(w.frames[0].visible.width, 2);
    EXPECT_EQ(w.frames[0].visible.height, 2);
}

// Catches headers accepted when they are not GIF or end before their table.
TEST(GifWalker, RefusesWhatIsNoCompleteGifHeader) {
    const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0, 0};
    EXPECT_FALSE(gif::walk(png).has_value());
    std::vector<std::uint8_t> gif87 = {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};
    EXPECT_TRUE(gif::walk(gif87).has_value());
    gif87[10] = 0x87;  // announces 768 table bytes that are not there
    EXPECT_FALSE(gif::walk(gif87).has_value());
    EXPECT_FALSE(gif::walk(std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 1}));
}

// Catches a short control block read as if it held a delay.
TEST(GifWalker, IgnoresAControlBlockShorterThanFourBytes) {
    auto data =
        encodeGif(4, 4, kPalette, {solidFrame(0, 0, 4, 4, 1, 9), solidFrame(0, 0, 4, 4, 2, 9)});
    const auto w = walked(data);
    data[w.frames[0].controlOffset + 2] = 3;  // block size 3: fields shift
    data.erase(data.begin() + static_cast<std::ptrdiff_t>(w.frames[0].controlOffset) + 6);
    const auto shortened = walked(data);
    ASSERT_EQ(shortened.frames.size(), 2u);
    EXPECT_FALSE(shortened.frames[0].delay.has_value());
    EXPECT_EQ(shortened.frames[1].delay, 9);
}

// Catches any input that makes the walker or the frame cutter read out of
// bounds (run under the address sanitizer).
TEST(GifWalker, SurvivesRandomDamage) {
    std::mt19937 random(20261207);
    const std::vector<std::vector<std::uint8_t>> samples = {
        threeFrames(), testing::gifsicleMovingSquare(), testing::handAssembled()};
    for (int round = 0; round < 3000; ++round) {
        auto data = samples[static_cast<std::size_t>(round) % samples.size()];
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            data[6 + random() % (data.size() - 6)] = static_cast<std::uint8_t>(random());
        }
        if (random() % 3 == 0) data.resize(random() % data.size());
        if (const auto w = gif::walk(data)) {
            for (const auto& frame : w->frames) {
                const auto single = gif::singleFrame(data, *w, frame);
                EXPECT_FALSE(single.empty());
                EXPECT_TRUE(gif::walk(single).has_value());
            }
        }
    }
}

// Catches frame delays of 0..4 hundredths played as fast as they claim (some
// files hold 0 and expect a sensible pace) and the unit conversion.
TEST(GifWalker, FrameWaits) {
    EXPECT_FALSE(gif::frameWaitMs(std::nullopt).has_value());
    for (int delay = 0; delay <= 4; ++delay) EXPECT_EQ(gif::frameWaitMs(delay), 100) << delay;
    EXPECT_EQ(gif::frameWaitMs(5), 50);
    EXPECT_EQ(gif::frameWaitMs(65535), 655350);
}

}  // namespace
}  // namespace velmora::shell
