#include "shell/animationview.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSignalSpy>
#include <memory>
#include <set>

#include "shell/framecanvas.h"
#include "tests/support/gifsamples.h"
#include "tests/support/waitfor.h"
#include "tests/support/widgettest.h"

namespace velmora::shell {
namespace {

using testing::encodeGif;
using testing::solidFrame;

constexpr std::array<testing::Rgb, 4> kPalette = {
    {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kFill(1, 2, 3);
const QColor kBackground(200, 200, 200);

QByteArray toBytes(const std::vector<std::uint8_t>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()),
                      static_cast<qsizetype>(data.size()));
}

FrameCanvas canvasOf(const std::vector<std::uint8_t>& data, std::size_t expectedFrames) {
    const auto walked = gif::walk(data);
    EXPECT_TRUE(walked.has_value());
    FrameCanvas canvas;
    if (!walked) return canvas;
    auto frames = FrameCanvas::decodeFrames(data, *walked);
    EXPECT_EQ(frames.size(), expectedFrames);
    EXPECT_TRUE(canvas.reset(QSize(walked->screenWidth, walked->screenHeight), kFill, kBackground));
    canvas.setFrames(std::move(frames));
    return canvas;
}

QColor pixel(const FrameCanvas& canvas, int x, int y) {
    return canvas.image().pixelColor(x, y);
}

class FrameCanvasTest : public testkit::WidgetTest {};

// Catches sub-frames drawn at 0,0 instead of their offset and transparent
// pixels painted over the frame below (gifsicle's optimised output).
TEST_F(FrameCanvasTest, ComposesTransparentSubFramesAtTheirOffsets) {
    FrameCanvas canvas = canvasOf(testing::gifsicleMovingSquare(), 3);
    canvas.apply({PlayStep::Draw, 0});
    EXPECT_EQ(pixel(canvas, 3, 3), kRed);
    EXPECT_EQ(pixel(canvas, 9, 3), kWhite);
    EXPECT_EQ(pixel(canvas, 0, 9), kBlue);
    canvas.apply({PlayStep::DisposeCurrent, 0});
    canvas.apply({PlayStep::Draw, 1});
    EXPECT_EQ(pixel(canvas, 3, 3), kWhite);
    EXPECT_EQ(pixel(canvas, 6, 3), kRed);
    canvas.apply({PlayStep::DisposeCurrent, 1});
    canvas.apply({PlayStep::Draw, 2});
    EXPECT_EQ(pixel(canvas, 6, 3), kWhite);
    EXPECT_EQ(pixel(canvas, 9, 3), kRed);
    EXPECT_EQ(pixel(canvas, 0, 9), kBlue);
    EXPECT_EQ(pixel(canvas, 11, 0), kWhite);
}

// Catches disposal methods 2 and 3 mixed up or ignored, and the end of a
// round not clearing the picture.
TEST_F(FrameCanvasTest, AppliesDisposalMethods) {
    FrameCanvas canvas =
        canvasOf(encodeGif(6, 6, kPalette,
                           {solidFrame(0, 0, 6, 6, 1, 5, 1), solidFrame(1, 1, 2, 2, 2, 5, 2),
                            solidFrame(3, 3, 2, 2, 3, 5, 3)}),
                 3);
    EXPECT_EQ(pixel(canvas, 0, 0), kFill);
    canvas.apply({PlayStep::DisposeCurrent, 0});  // nothing shown yet
    EXPECT_EQ(pixel(canvas, 0, 0), kFill);
    canvas.apply({PlayStep::Draw, 0});
    canvas.apply({PlayStep::DisposeCurrent, 0});
    EXPECT_EQ(pixel(canvas, 1, 1), kRed);
    canvas.apply({PlayStep::Draw, 1});
    EXPECT_EQ(pixel(canvas, 1, 1), kGreen);
    canvas.apply({PlayStep::DisposeCurrent, 1});
    EXPECT_EQ(pixel(canvas, 1, 1), kBackground);
    EXPECT_EQ(pixel(canvas, 0, 0), kRed);
    canvas.apply({PlayStep::Draw, 2});
    EXPECT_EQ(pixel(canvas, 3, 3), kBlue);
    canvas.apply({PlayStep::DisposeCurrent, 2});
    EXPECT_EQ(pixel(canvas, 3, 3), kRed);
    EXPECT_EQ(pixel(canvas, 1, 1), kBackground);
    canvas.apply({PlayStep::Clear, 0});
    EXPECT_EQ(pixel(canvas, 3, 3), kBackground);
    EXPECT_EQ(pixel(canvas, 5, 5), kBackground);
}

// Catches frames with local colour tables decoded with the wrong colours,
// and a frame partly off the screen drawn outside the picture.
TEST_F(FrameCanvasTest, LocalTablesAndClipping) {
    FrameCanvas hand = canvasOf(testing::handAssembled(), 3);
    hand.apply({PlayStep::Draw, 0});
    EXPECT_EQ(pixel(hand, 1, 1), kRed);
    hand.apply({PlayStep::Draw, 1});
    EXPECT_EQ(pixel(hand, 0, 0), kBlue);
    EXPECT_EQ(pixel(hand, 1, 0), QColor(255, 255, 0));
    hand.apply({PlayStep::Draw, 2});
    EXPECT_EQ(pixel(hand, 3, 3), kGreen);

    FrameCanvas clipped = canvasOf(
        encodeGif(6, 6, kPalette, {solidFrame(0, 0, 6, 6, 1, 5), solidFrame(4, 4, 4, 4, 3, 5)}), 2);
    clipped.apply({PlayStep::Draw, 0});
    EXPECT_EQ(clipped.apply({PlayStep::Draw, 1}), QRect(4, 4, 2, 2));
    EXPECT_EQ(pixel(clipped, 5, 5), kBlue);
    EXPECT_EQ(pixel(clipped, 3, 3), kRed);
    EXPECT_EQ(clipped.apply({PlayStep::Draw, 7}), QRect());  // no such frame
}

class AnimationViewTest : public testkit::WidgetTest {
  protected:
    QString writeGif(const QString& name, const std::vector<std::uint8_t>& data) {
        write(name, toBytes(data));
        return path(name);
    }
    QColor shown(const AnimationView& view) { return view.picture().pixelColor(2, 2); }
};

// Catches an animation that does not advance, draws from the player thread,
// or keeps changing after stop.
TEST_F(AnimationViewTest, PlaysStopsAndKeepsTheLastFrame) {
    const QString path =
        writeGif("spin.gif", encodeGif(8, 6, kPalette,
                                       {solidFrame(0, 0, 8, 6, 1, 8), solidFrame(0, 0, 8, 6, 2, 8),
                                        solidFrame(0, 0, 8, 6, 3, 8)}));
    AnimationView view;
    ASSERT_EQ(view.load(path), 1);
    EXPECT_EQ(view.frameCount(), 3);
    EXPECT_EQ(view.size(), QSize(8, 6));
    view.show();
    view.play();
    EXPECT_TRUE(view.isPlaying());
    std::set<QRgb> seen;
    EXPECT_TRUE(testkit::WaitFor(
        [&] {
            seen.insert(shown(view).rgb());
            return seen.count(kRed.rgb()) && seen.count(kGreen.rgb()) && seen.count(kBlue.rgb());
        },
        5000));
    view.stop();
    EXPECT_FALSE(view.isPlaying());
    const QImage last = view.picture();
    QCoreApplication::sendPostedEvents();  // the steps posted before the stop
    EXPECT_EQ(view.picture(), last);
    // The window shows the picture.
    EXPECT_EQ(view.grab().toImage().pixelColor(2, 2), last.pixelColor(2, 2));
    view.play();
    EXPECT_TRUE(testkit::WaitFor([&] { return view.picture() != last; }, 5000));
}

// Catches a widget destroyed under a running player (the thread would post
// to freed memory) and a stop that waits out an endless frame.
TEST_F(AnimationViewTest, DestroyingWhilePlaying) {
    const QString endless =
        writeGif("endless.gif", encodeGif(4, 4, kPalette,
                                          {solidFrame(0, 0, 4, 4, 1, std::nullopt),
                                           solidFrame(0, 0, 4, 4, 2, std::nullopt)}));
    const QString fast = writeGif(
        "fast.gif",
        encodeGif(4, 4, kPalette, {solidFrame(0, 0, 4, 4, 1, 5), solidFrame(0, 0, 4, 4, 2, 5)}));
    for (const QString& path : {endless, fast}) {
        auto view = std::make_unique<AnimationView>();
        ASSERT_EQ(view->load(path), 1);
        view->play();
        ASSERT_TRUE(testkit::WaitFor([&] { return shown(*view) == kRed; }));
        const auto before = std::chrono::steady_clock::now();
        view.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
        QCoreApplication::sendPostedEvents();  // posted steps of the dead view are dropped
    }
}

// Catches steps of a stopped player applied to the animation loaded after
// it (they would draw the old frames over the new picture).
TEST_F(AnimationViewTest, StepsOfAnEarlierLoadAreIgnored) {
    AnimationView view;
    ASSERT_EQ(view.load(writeGif(
                  "fast.gif", encodeGif(4, 4, kPalette,
                                        {solidFrame(0, 0, 4, 4, 1, 5), solidFrame(0, 0, 4, 4, 2, 5),
                                         solidFrame(0, 0, 4, 4, 3, 5)}))),
              1);
    view.play();
    ASSERT_TRUE(testkit::WaitFor([&] { return shown(view) == kGreen; }, 5000));
    ASSERT_EQ(view.load(writeGif("slow.gif", encodeGif(4, 4, kPalette,
                                                       {solidFrame(0, 0, 4, 4, 0, 1000),
                                                        solidFrame(0, 0, 4, 4, 3, 1000)}))),
              1);
    view.play();
    ASSERT_TRUE(testkit::WaitFor([&] { return shown(view) == kWhite; }, 5000));
    QCoreApplication::sendPostedEvents();  // the steps the first player posted
    EXPECT_EQ(shown(view), kWhite);
}

// Catches a single picture started as an animation, and other formats refused.
TEST_F(AnimationViewTest, SinglePicturesDrawOnceWithoutAThread) {
    AnimationView view;
    ASSERT_EQ(
        view.load(writeGif("one.gif", encodeGif(5, 4, kPalette, {solidFrame(0, 0, 5, 4, 2, 10)}))),
        1);
    EXPECT_EQ(view.frameCount(), 0);
    view.play();
    EXPECT_FALSE(view.isPlaying());
    EXPECT_EQ(shown(view), kGreen);

    QImage png(7, 3, QImage::Format_RGB32);
    png.fill(kBlue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(png.save(&buffer, "PNG"));
    write("still.png", bytes);
    ASSERT_EQ(view.load(path("still.png")), 1);
    EXPECT_EQ(view.size(), QSize(7, 3));
    view.play();
    EXPECT_EQ(shown(view), kBlue);
}

// Catches files that cannot be shown reported as loaded (play would then
// run on an empty picture).
TEST_F(AnimationViewTest, RefusesWhatCannotBeShown) {
    std::vector<std::uint8_t> noFrames = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0, 0x3B};
    std::vector<std::uint8_t> huge = encodeGif(
        60000, 60000, kPalette, {solidFrame(0, 0, 1, 1, 1, 5), solidFrame(0, 0, 1, 1, 2, 5)});
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"garbage.gif", "not a picture at all"},
        {"noframes.gif", toBytes(noFrames)},
        {"zerosized.gif",
         toBytes(encodeGif(4, 4, kPalette,
                           {solidFrame(0, 0, 0, 0, 1, 5), solidFrame(0, 0, 4, 0, 1, 5)}))},
        {"huge.gif", toBytes(huge)},
    };
    AnimationView view;
    EXPECT_EQ(view.load(path("missing.gif")), 0);
    for (const auto& file : files) {
        write(file.name, file.bytes);
        EXPECT_EQ(view.load(path(file.name)), 0) << file.name;
        EXPECT_FALSE(view.isReady());
        view.play();
        EXPECT_FALSE(view.isPlaying());
    }
}

// Catches a damaged animation refused whole although complete frames came
// before the damage.
TEST_F(AnimationViewTest, PlaysTheCompleteFramesOfATruncatedFile) {
    auto data = encodeGif(
        4, 4, kPalette,
        {solidFrame(0, 0, 4, 4, 1, 5), solidFrame(0, 0, 4, 4, 2, 5), solidFrame(0, 0, 4, 4, 3, 5)});
    data.resize(data.size() - 6);
    AnimationView view;
    ASSERT_EQ(view.load(writeGif("cut.gif", data)), 1);
    EXPECT_EQ(view.frameCount(), 2);
}

}  // namespace
}  // namespace velmora::shell
