// The motor page's actions against the simulated drive on a pseudo-terminal,
// through the real link threads.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "link/queues.h"
#include "pages/common/stepedit.h"
#include "pages/motor/motorpage.h"
#include "pages/motor/paramrows.h"
#include "shell/textcatalog.h"
#include "tests/support/drivelinkharness.h"
#include "tests/support/motorpagefixture.h"

namespace velmora::pages::test {
namespace {

using namespace std::chrono_literals;

class MotorDriveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        ASSERT_FALSE(harness.device.empty());
        ASSERT_TRUE(harness.readAllGroups());
        ASSERT_TRUE(harness.pumpUntil([&] { return harness.status.has_value(); }));
        page = std::make_unique<CMotorPage>(harness.data);
        page->applyTexts();
        harness.groupReplies.clear();
        page->show();
        // The reads the page makes when shown are answered before the test
        // starts, so they cannot pass for the answers to its own.
        ASSERT_TRUE(awaitMotorGroups(false));
        page->refresh();
    }
    void TearDown() override { page.reset(); }

    void runAction(int action, int entry) {
        auto* actions = FindChild<QComboBox>(page.get(), "actionList");
        actions->setCurrentIndex(action);
        emit actions->activated(action);
        FindChild<QComboBox>(page.get(), action == 0 ? "motorModelList" : "memorySlotList")
            ->setCurrentIndex(entry);
        FindChild<QPushButton>(page.get(), "executeButton")->click();
    }
    // Waits until the six motor groups and (optionally) a slot state came back.
    bool awaitMotorGroups(bool slotState) {
        return harness.pumpUntil([&] {
            for (int code : {0x51, 0x52, 0x53, 0x54, 0x55, 0x56}) {
                if (std::find(harness.groupReplies.begin(), harness.groupReplies.end(), code) ==
                    harness.groupReplies.end())
                    return false;
            }
            return !slotState ||
                   std::any_of(harness.replies.begin(), harness.replies.end(),
                               [](const link::Telegram& t) { return t.command == 0x62; });
        });
    }
    // Hands the slot state the harness took back to the page, as the main
    // window's WM_DRIVE_REPLY would.
    void deliverSlotState() {
        for (auto& reply : harness.replies) {
            if (reply.command != 0x62) continue;
            page->driveReply(reply);
        }
        harness.replies.clear();
    }
    void reset() {
        harness.groupReplies.clear();
        harness.replies.clear();
        prompter.asked.clear();
    }
    void type(const char* panel, const char* field, const char* text) {
        auto* f = FindChild<SpinField>(FindChild<QWidget>(page.get(), panel), field);
        ASSERT_NE(f, nullptr);
        f->setFieldText(QString::fromLatin1(text));
        emit f->editingFinished();
    }

    e2e::DriveLinkHarness harness;
    testkit::ScriptedPrompter prompter;
    std::unique_ptr<CMotorPage> page;
};

// What a slot was given must come back from it, whatever the drive loaded
// in between; an empty slot must be reported.
TEST_F(MotorDriveTest, SavedSlotLoadsBackAndEmptySlotIsReported) {
    FindChild<QComboBox>(page.get(), "motorTypeList")->setCurrentIndex(1);
    emit FindChild<QComboBox>(page.get(), "motorTypeList")->activated(1);
    type("ratedValuePanel", "p91Field", "321");
    type("ratedValuePanel", "p94Field", "77");
    type("asmParaPanel", "p46Field", "12.5");
    reset();
    runAction(2, 4);                       // save to m5
    ASSERT_TRUE(harness.readGroup(0x55));  // the drive has handled everything before it

    runAction(4, -1);  // factory settings overwrite the motor data
    ASSERT_TRUE(awaitMotorGroups(false));
    page->refresh();
    EXPECT_NE(harness.data.Working(91), 321u);

    reset();
    runAction(1, 4);  // load m5
    ASSERT_TRUE(awaitMotorGroups(true));
    deliverSlotState();
    EXPECT_EQ(prompter.asked, (QStringList{"confirm:" + shell::T("overwritepopup")}));
    page->refresh();
    EXPECT_EQ(harness.data.Working(90), 1u);
    EXPECT_EQ(harness.data.Working(91), 321u);
    EXPECT_EQ(harness.data.Working(94), 77u);
    EXPECT_EQ(harness.data.Working(46), 125u);
    auto* rated = FindChild<QWidget>(page.get(), "ratedValuePanel");
    EXPECT_EQ(FindChild<SpinField>(rated, "p91Field")->fieldText(), "321");

    reset();
    runAction(3, 31);  // delete m32, then load it
    ASSERT_TRUE(harness.readGroup(0x55));
    reset();
    runAction(1, 31);
    ASSERT_TRUE(awaitMotorGroups(true));
    deliverSlotState();
    EXPECT_EQ(prompter.asked, (QStringList{"confirm:" + shell::T("overwritepopup"),
                                           "inform:" + shell::T("erasedpopup")}));
}

// The drive knows model 14 (the last list entry) and answers with its data:
// an asynchronous motor of 3500 Hz and 9.00 A rated, a rating no other model
// of the simulated drive has, so a wrong model byte loads other values.
TEST_F(MotorDriveTest, MakerSetOfTheLastModelLoads) {
    reset();
    runAction(0, 14);
    ASSERT_TRUE(awaitMotorGroups(false));
    page->refresh();
    EXPECT_EQ(harness.data.Working(91), 3500u);
    EXPECT_EQ(harness.data.Working(93), 900u);
    EXPECT_EQ(harness.data.Working(90), 1u);  // asynchronous
    EXPECT_EQ(FindChild<QComboBox>(page.get(), "motorTypeList")->currentIndex(), 1);
}

}  // namespace
}  // namespace velmora::pages::test
