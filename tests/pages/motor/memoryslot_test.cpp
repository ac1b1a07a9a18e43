#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <memory>

#include "link/queues.h"
#include "model/commands.h"
#include "pages/motor/motorpage.h"
#include "shell/textcatalog.h"
#include "tests/support/asyncmotor.h"
#include "tests/support/motorpagefixture.h"

namespace velmora::pages::test {
namespace {

const std::vector<std::string> kReads = {"CF:51", "CF:55", "CF:54", "CF:56", "CF:52", "CF:53"};

std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class MemorySlotTest : public MotorPageFixture {
  protected:
    // Runs action `action` with the model list or the slot list on `entry`.
    std::vector<std::string> run(int action, int entry) {
        auto* actions = FindChild<QComboBox>(page.get(), "actionList");
        actions->setCurrentIndex(action);
        emit actions->activated(action);
        auto* models = FindChild<QComboBox>(page.get(), "motorModelList");
        auto* slotList = FindChild<QComboBox>(page.get(), "memorySlotList");
        models->setCurrentIndex(action == 0 ? entry : -1);
        slotList->setCurrentIndex(action == 0 ? -1 : entry);
        data.SetMotorSel(0, 1);
        data.SetMotorSel(1, 0);
        FindChild<QPushButton>(page.get(), "executeButton")->click();
        return Describe(TakeRequests());
    }
    QString shown(const char* kind, const char* key) {
        return QString::fromLatin1(kind) + ":" + shell::T(key);
    }
    void expectSelectorsReset() {
        EXPECT_EQ(data.GetMotorSel(0), 2);
        EXPECT_EQ(data.GetMotorSel(1), 2);
    }
};

// The model number the drive loads is the list entry; the last entry (14)
// is the model that stands out of key order.
TEST_F(MemorySlotTest, LoadMakerSetSendsTheModelEntryAndReadsBack) {
    EXPECT_EQ(run(0, 14), Join({"A7:0E"}, kReads));
    EXPECT_EQ(prompter.asked, (QStringList{shown("confirm", "overwritepopup"),
                                           shown("inform", "divergencypopup")}));
    ASSERT_EQ(frame.messages().size(), 1u);
    EXPECT_EQ(frame.messages()[0], shell::FrameMessage{shell::MotorModelChosen{14}});
    expectSelectorsReset();
    EXPECT_EQ(run(0, 0), Join({"A7:00"}, kReads));
}

TEST_F(MemorySlotTest, LoadSlotSendsSlotNumberAndAsksForItsState) {
    EXPECT_EQ(run(1, 31), Join({"A3:20", "CF:62 20"}, kReads));
    EXPECT_EQ(frame.messages().back(), shell::FrameMessage{shell::MemorySlotChosen{31}});
    expectSelectorsReset();
    EXPECT_EQ(run(1, 0), Join({"A3:01", "CF:62 01"}, kReads));
}

// The slot must receive what the page shows, so the writes go first.
TEST_F(MemorySlotTest, SaveSlotWritesTheMotorGroupsFirstAndReadsNothing) {
    const auto sent = run(2, 4);
    ASSERT_EQ(sent.size(), 7u);
    const char* writes[] = {"11:", "14:", "16:", "12:", "13:", "15:"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(sent[i].substr(0, 3), writes[i]) << sent[i];
    EXPECT_EQ(sent[6], "A5:05");
    EXPECT_EQ(prompter.asked, (QStringList{shown("confirm", "savepopup")}));
    EXPECT_EQ(data.GetMotorSel(0), 1);  // saving decides nothing anew
}

TEST_F(MemorySlotTest, DeleteAndFactorySettings) {
    EXPECT_EQ(run(3, 31), (std::vector<std::string>{"A4:20"}));
    EXPECT_EQ(prompter.asked.back(), shown("confirm", "deletepopup"));
    EXPECT_EQ(run(4, -1), Join({"A6:"}, kReads));
    EXPECT_EQ(prompter.asked.back(), shown("confirm", "overwritepopup"));
    expectSelectorsReset();
    EXPECT_TRUE(frame.messages().empty());
}

// A declined question must leave the drive untouched.
TEST_F(MemorySlotTest, DeclinedConfirmationsSendNothing) {
    for (int action : {0, 1, 2, 3, 4}) {
        prompter.confirmAnswers = {false};
        EXPECT_TRUE(run(action, 3).empty()) << action;
    }
    // The maker-data warning closed with Esc or its close box, after the
    // overwrite question was answered with OK.
    prompter.acknowledgeAnswers = {false};
    EXPECT_TRUE(run(0, 3).empty());
    EXPECT_EQ(prompter.asked.back(), shown("inform", "divergencypopup"));
    EXPECT_TRUE(frame.messages().empty());
    EXPECT_EQ(data.GetMotorSel(0), 1);
}

TEST_F(MemorySlotTest, WithoutAChoiceOnlyAsks) {
    EXPECT_TRUE(run(0, -1).empty());
    EXPECT_EQ(prompter.asked.back(), shown("inform", "choosemotortypepopup"));
    EXPECT_TRUE(run(1, -1).empty());
    EXPECT_EQ(prompter.asked.back(), shown("inform", "choosemotorparapopup"));
    for (int action : {2, 3}) {
        prompter.confirmAnswers = {true};
        EXPECT_TRUE(run(action, -1).empty());
        EXPECT_EQ(prompter.asked.back(), shown("confirm", "choosemotorparapopup"));
    }
    EXPECT_TRUE(frame.messages().empty());
}

// Only exactly one byte holding 1 means the slot held data.
TEST_F(MemorySlotTest, SlotStateReplies) {
    struct Case {
        int command;
        std::vector<std::uint8_t> data;
        bool erased;
    };
    const Case cases[] = {{0x62, {1}, false}, {0x62, {0}, true}, {0x62, {1, 1}, true},
                          {0x62, {}, true},   {0x62, {2}, true}, {0x5F, {1}, false},
                          {0x51, {0}, false}};
    for (const Case& c : cases) {
        prompter.asked.clear();
        link::Telegram reply;
        reply.command = c.command;
        reply.length = static_cast<std::uint8_t>(c.data.size());
        reply.data = c.data;
        ASSERT_EQ(m_drive.link.telegrams().Post(link::kReplySlot, reply), 0);
        DeliverReply(*page);
        const QStringList expected =
            c.erased ? QStringList{shown("inform", "erasedpopup")} : QStringList{};
        EXPECT_EQ(prompter.asked, expected) << Describe(reply);
        EXPECT_EQ(m_drive.link.telegrams().size(link::kReplySlot), 0u);
    }
}

}  // namespace
}  // namespace velmora::pages::test
