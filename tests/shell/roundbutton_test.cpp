#include <QImage>

#include "shell/roundbutton.h"
#include "widgettestsupport.h"

namespace velmora::shell {
namespace {

class RoundButtonTest : public testing::WidgetTest {
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

// Catches a disabled lamp greyed out (the drive's inputs must stay readable).
TEST_F(RoundButtonTest, DisabledLooksTheSame) {
    const QImage enabled = grab();
    button.setEnabled(false);
    EXPECT_EQ(grab(), enabled);
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
