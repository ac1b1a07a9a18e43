// The window's drive journal and its history view: a connection with its
// snapshot and a page's write with old and new value, two snapshots compared,
// a snapshot written back through the gate after an undo snapshot, and the
// timeline exported.
#include <gtest/gtest.h>

#include <QScopeGuard>
#include <QTreeWidget>
#include <fstream>
#include <iterator>

#include "frame/history/drivehistoryview.h"
#include "journal/journalstore.h"
#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "shell/textcatalog.h"
#include "tests/support/drivestatus.h"
#include "tests/support/frametest.h"
#include "tests/support/waitfor.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

namespace param = model::param;

std::vector<journal::Entry> Entries(journal::Journal& journal) {
    journal.flush();
    journal::JournalStore store;
    EXPECT_TRUE(store.openForReading(journal.file()));
    return store.list({});
}

// The comparison's row of a parameter; nullptr when it shows none.
QTreeWidgetItem* Row(const QTreeWidget* tree, int parameter) {
    for (int g = 0; g < tree->topLevelItemCount(); ++g)
        for (int r = 0; r < tree->topLevelItem(g)->childCount(); ++r)
            if (tree->topLevelItem(g)->child(r)->data(0, Qt::UserRole).toInt() == parameter)
                return tree->topLevelItem(g)->child(r);
    return nullptr;
}

TEST_F(FrameTest, TheWindowJournalsTheConnectionAPageWriteAndAFault) {
    testkit::TempFolder folder("window-journal");
    journal::Journal journal({"host", "user", "velmora-tool 9"}, folder / "j.sqlite");
    m_journal = &journal;
    const auto dropFrame = qScopeGuard([this] { m_frame.reset(); });  // before the journal
    makeFrame();
    showConnected();
    CompleteFirstRead(*m_frame);
    DeliverStatus(*m_frame, 0x00, 0x01, 0, 0);
    model::DriveData& data = m_drive.data;
    data.TakeImage();  // as the page shows what was read
    data.SetWorking(param::kMaxSpeed, 1500);
    const auto refused = data.RequestGroup(0, model::WriteCommandOf(model::code::Group51));
    ASSERT_FALSE(refused) << refused->describe();
    DeliverStatus(*m_frame, 0x00, 0x01, 1, 3);
    { std::ofstream(folder / "update.bin") << "abc"; }
    m_frame->firmwareTransferred({QString::fromStdString((folder / "update.bin").string())}, true);

    std::vector<journal::Entry> entries = Entries(journal);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].kind, journal::EntryKind::Connection);
    EXPECT_EQ(entries[0].program, "velmora-tool 9");
    EXPECT_NE(entries[0].detail.find(R"("0x5A":{)"), std::string::npos) << entries[0].detail;
    EXPECT_EQ(entries[1].parameter, "p42");
    EXPECT_EQ(entries[1].oldValue, "0");
    EXPECT_EQ(entries[1].newValue, "1500");
    EXPECT_EQ(entries[2].kind, journal::EntryKind::FaultRaised);
    EXPECT_NE(entries[3].detail.find("ba7816bf8f01cfea414140de5dae2223b00361a3"),
              std::string::npos);  // SHA-256 of "abc"
    m_frame.reset();               // the gate outlives the window: nothing more is journalled
    (void)data.RequestGroup(0, model::WriteCommandOf(model::code::Group51));
    EXPECT_EQ(Entries(journal).size(), 4u);
}

// The folder of the journal is a file: said once in the status bar, the window goes on.
TEST_F(FrameTest, AJournalThatCannotBeWrittenIsSaidInTheStatusBar) {
    testkit::TempFolder folder("window-journal");
    { std::ofstream(folder / "file") << "x"; }
    journal::Journal journal({"host", "user", "velmora-tool 9"}, folder / "file" / "j.sqlite");
    m_journal = &journal;
    const auto dropFrame = qScopeGuard([this] { m_frame.reset(); });
    makeFrame();
    showConnected();
    CompleteFirstRead(*m_frame);
    VELMORA_TRY_VERIFY(NoticeShown(*m_frame).startsWith(T("historyjournalfailed").arg("")));
    EXPECT_TRUE(m_frame->allGroupsRead());
}

// A view over a journal holding two connections of one drive, on a drive
// image whose every group was read (all zero).
class HistoryViewTest : public ::testing::Test {
  protected:
    HistoryViewTest() {
        data.gate().setOutlet(outlet);
        for (const model::GroupLayout& group : model::AllGroups()) {
            std::vector<std::uint8_t> bytes(group.length);
            if (group.code == model::code::Group5A) model::WriteBigEndian(bytes, 9, 32, 4711);
            data.StoreReply({1, group.code, group.length, bytes});
        }
        for (const char* maxSpeed : {"1500", "1493"}) {
            journal::Journal::Connection connection;
            connection.serial = 4711;
            connection.snapshotJson = journal::SnapshotJson({{41, "30"}, {42, maxSpeed}});
            journal->recordConnection(connection);
        }
        recorder->watch(data.gate());
        view = std::make_unique<DriveHistoryView>(*recorder, data);
    }
    ~HistoryViewTest() override { recorder->unwatch(data.gate()); }
    // Selects the timeline's rows of these entry numbers.
    void select(std::initializer_list<int> ids) {
        view->timeline()->clearSelection();
        for (int id : ids)
            view->timeline()->findItems(QString::number(id), Qt::MatchExactly)[0]->setSelected(
                true);
    }

    testkit::TempFolder folder{"history-view"};
    testkit::ScriptedPrompter prompter;
    std::shared_ptr<journal::Journal> journal = std::make_shared<journal::Journal>(
        journal::Origin{"h", "u", "velmora-tool 9"}, folder / "j.sqlite");
    std::shared_ptr<journal::WriteRecorder> recorder =
        std::make_shared<journal::WriteRecorder>(journal);
    testkit::RecordingOutlet outlet;
    model::DriveData data;
    std::unique_ptr<DriveHistoryView> view;
};

TEST_F(HistoryViewTest, ComparesTwoSnapshotsAndHighlightsTheChangedParameter) {
    ASSERT_EQ(view->timeline()->topLevelItemCount(), 2);
    EXPECT_EQ(view->timeline()->topLevelItem(0)->text(0), "2");  // newest first
    select({1, 2});
    view->compareSelected();
    QTreeWidget* comparison = view->comparison();
    ASSERT_EQ(comparison->topLevelItemCount(), 1);  // only group 0x51 holds values
    QTreeWidgetItem* group = comparison->topLevelItem(0);
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_FALSE(group->child(0)->font(0).bold());  // p41 unchanged
    EXPECT_TRUE(group->child(1)->font(0).bold());
    EXPECT_EQ(group->child(1)->text(1), "1500");
    EXPECT_EQ(group->child(1)->text(2), "1493");

    select({2});  // against the drive now, which has every group
    view->compareSelected();
    ASSERT_TRUE(Row(comparison, param::kMaxSpeed) && Row(comparison, param::kSetSpeed));
    EXPECT_EQ(Row(comparison, param::kMaxSpeed)->text(2), "0");
    EXPECT_TRUE(Row(comparison, param::kSetSpeed)->font(0).bold());
    EXPECT_EQ(Row(comparison, param::kSetSpeed)->text(1), "");
}

TEST_F(HistoryViewTest, WritesASnapshotBackOnlyAtStandstillAfterKeepingAnUndo) {
    select({1});
    testkit::DriveTurns(data);
    view->restoreSelected();
    EXPECT_TRUE(outlet.sent.empty());
    EXPECT_EQ(prompter.informed.back(), T("gaterefusedrunning"));

    testkit::DriveStands(data);
    prompter.confirmAnswers = {false, true};
    select({1});
    view->restoreSelected();  // cancelled
    EXPECT_TRUE(outlet.sent.empty());
    select({1});
    view->restoreSelected();
    ASSERT_EQ(outlet.sent.size(), 2u);  // the write of 0x51, then its read
    EXPECT_EQ(outlet.sent[0].command, model::WriteCommandOf(model::code::Group51));
    model::DriveData written;
    written.StoreReply({1, model::code::Group51, outlet.sent[0].length, outlet.sent[0].data});
    EXPECT_EQ(written.Image(param::kMaxSpeed), 1500u);
    EXPECT_EQ(written.Image(param::kMinSpeed), 30u);

    const auto entries = Entries(*journal);
    const auto undo = std::find_if(entries.begin(), entries.end(), [](const auto& e) {
        return e.kind == journal::EntryKind::Snapshot;
    });
    ASSERT_NE(undo, entries.end());
    EXPECT_EQ(journal::SnapshotOf(*undo)->at(param::kMaxSpeed), "0");  // the drive before
    EXPECT_EQ(entries.back().kind, journal::EntryKind::Restore);
    EXPECT_EQ(entries.back().detail, R"({"file":"journal entry 1","undo_file":"journal entry )" +
                                         std::to_string(undo->id) + R"("})");
}

TEST_F(HistoryViewTest, ExportsTheTimelineAsCsvAndSaysAFileThatCannotBeWritten) {
    const std::filesystem::path csv = folder / "history.csv";
    prompter.fileAnswers = {QString::fromStdString(csv.string()),
                            QString::fromStdString((folder / "no" / "such.csv").string())};
    view->exportTimeline();
    std::ifstream in(csv, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(text.substr(0, 14), "id,time,kind,s");
    EXPECT_NE(text.find("\r\n2,"), std::string::npos);  // newest first
    view->exportTimeline();
    EXPECT_EQ(prompter.fileErrors.size(), 1u);
}

}  // namespace
}  // namespace velmora::frame::test
