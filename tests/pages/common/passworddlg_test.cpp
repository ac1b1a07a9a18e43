#include "pages/common/passworddlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/support/testkit.h"

namespace velmora::pages {
namespace {

struct Attempt {
    const char* typed;
    bool opens;
};
class PasswordTest : public ::testing::TestWithParam<Attempt> {};

// Only the exact, case-sensitive code opens the technician page; every
// attempt clears the input. A wrong one says so and leaves the panel open.
TEST_P(PasswordTest, AccessCheck) {
    testkit::ScriptedPrompter prompter;
    testkit::FrameRecorder frame;
    CPasswordDlg dialog{shell::FrameChannel{&frame}};
    dialog.open();
    auto* input = dialog.findChild<QLineEdit*>("passwordInput");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->echoMode(), QLineEdit::Password);
    QTest::keyClicks(input, QString::fromUtf8(GetParam().typed));
    dialog.findChild<QPushButton*>("passwordOkButton")->click();
    if (GetParam().opens)
        EXPECT_EQ(frame.messages(),
                  std::vector<shell::FrameMessage>{shell::TechPageVisibility{true}});
    else
        EXPECT_TRUE(frame.messages().empty());
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_EQ(dialog.isVisible(), !GetParam().opens);
    EXPECT_EQ(dialog.findChild<QLabel*>("passwordRefusal")->isVisible(), !GetParam().opens);
    EXPECT_TRUE(prompter.informed.isEmpty());
    if (GetParam().opens) return;
    // The next try in the same box still opens the page.
    QTest::keyClicks(input, "t@rn5582");
    dialog.findChild<QPushButton*>("passwordOkButton")->click();
    EXPECT_EQ(frame.messages().size(), 1u);
    EXPECT_FALSE(dialog.isVisible());
}
INSTANTIATE_TEST_SUITE_P(Codes, PasswordTest,
                         ::testing::Values(Attempt{"t@rn5582", true}, Attempt{"T@rn5582", false},
                                           Attempt{"t@RN5582", false}, Attempt{"t@rn5582 ", false},
                                           Attempt{"t@rn558", false}, Attempt{"", false}));

// Cancel clears the input and sends nothing, even with the right code typed.
TEST(PasswordDialog, CancelClearsAndSendsNothing) {
    testkit::FrameRecorder frame;
    CPasswordDlg dialog{shell::FrameChannel{&frame}};
    dialog.open();
    auto* input = dialog.findChild<QLineEdit*>("passwordInput");
    QTest::keyClicks(input, "t@rn5582");
    dialog.findChild<QPushButton*>("passwordCancelButton")->click();
    EXPECT_TRUE(frame.messages().empty());
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_FALSE(dialog.isVisible());
    // Opening again starts empty; Enter in the field acts as OK.
    dialog.open();
    QTest::keyClicks(input, "t@rn5582");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(frame.messages().size(), 1u);
}

}  // namespace
}  // namespace velmora::pages
