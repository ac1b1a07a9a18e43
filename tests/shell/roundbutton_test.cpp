#include "shell/roundbutton.h"

#include <QImage>
#include <QTest>

#include "tests/support/widgettest.h"

namespace velmora::shell {
namespace {

class RoundButtonTest : public testkit::WidgetTest {
  protected:
    RoundButtonTest() {
        button.setShape(RoundButton::kRoundedShape);
        button.resize(40, 24);
        button.setColour(RoundButton::Face, green);
        button.setColour(RoundButton::PressedFace, darkGreen);
        button.setColour(RoundButton::Outline, outline);
        button.setColour(RoundButton::PressedInner, darkInner);
        button.setColour(RoundButton::Inner, highlight);
    }
    QImage grab() { return button.grab().toImage(); }
    QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

    const QColor green{0, 255, 0};
    const QColor darkGreen{0, 100, 0};
    const QColor outline{10, 20, 30};
    const QColor darkInner{40, 40, 40};
    const QColor highlight{250, 250, 200};
    RoundButton button;
};

// Catches the faces or outlines swapped between the pressed and normal
// states, and a corner drawn square (the background must show there).
TEST_F(RoundButtonTest, DrawsFaceAndOutlinesOfBothStates) {
    const QColor background = button.palette().color(QPalette::Active, QPalette::Button);
    QImage normal = grab();
    EXPECT_EQ(at(normal, 20, 12), green);
    EXPECT_EQ(at(normal, 0, 12), outline);
    EXPECT_EQ(at(normal, 39, 12), outline);
    EXPECT_EQ(at(normal, 20, 0), outline);
    EXPECT_EQ(at(normal, 1, 12), highlight);
    EXPECT_EQ(at(normal, 20, 22), highlight);
    EXPECT_EQ(at(normal, 0, 0), background);
    EXPECT_EQ(at(normal, 39, 23), background);

    button.setDown(true);
    QImage pressed = grab();
    EXPECT_EQ(at(pressed, 20, 12), darkGreen);
    EXPECT_EQ(at(pressed, 0, 12), outline);
    EXPECT_EQ(at(pressed, 1, 12), darkInner);
    EXPECT_EQ(at(pressed, 0, 0), background);
}

// Catches a disabled Stop drawn as bright as a working one (clicking it does
// nothing), a disabled lamp greyed out (the drive's inputs must stay
// readable), and a focused button without a visible frame.
TEST_F(RoundButtonTest, DisabledDimmedLampsKeptFocusFramed) {
    const QColor background = button.palette().color(QPalette::Active, QPalette::Button);
    const QImage enabled = grab();
    button.setEnabled(false);
    const QImage disabled = grab();
    EXPECT_EQ(at(disabled, 20, 12), RoundButton::faded(green, background));
    EXPECT_EQ(at(disabled, 0, 12), RoundButton::faded(outline, background));
    EXPECT_NE(at(disabled, 20, 12), green);
    EXPECT_EQ(at(disabled, 0, 0), background);

    button.setAttribute(Qt::WA_TransparentForMouseEvents);  // a lamp
    EXPECT_EQ(grab(), enabled);
    button.setAttribute(Qt::WA_TransparentForMouseEvents, false);

    button.setEnabled(true);
    button.show();
    button.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&button));
    button.setFocus();
    ASSERT_TRUE(button.hasFocus());
    const QImage focused = grab();
    const QRect frame = button.focusFrame();
    const QColor mark = button.palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(at(focused, frame.left(), 12), mark);
    EXPECT_EQ(at(focused, 20, frame.top()), mark);
    EXPECT_EQ(at(focused, 20, 12), green);  // the face stays readable inside
}

// Catches slot numbers outside 0..7 written past the colour table, and the
// unused slots 5..7 changing the rounded shape.
TEST_F(RoundButtonTest, SlotsOutsideTheTableChangeNothing) {
    const QImage before = grab();
    for (int slot : {-1, 5, 6, 7, 8, 1000}) button.setColour(slot, Qt::red);
    EXPECT_EQ(grab(), before);
    EXPECT_EQ(button.colour(6), QColor(Qt::red));
    EXPECT_EQ(button.colour(8), button.palette().color(QPalette::Active, QPalette::Button));
}

}  // namespace
}  // namespace velmora::shell
