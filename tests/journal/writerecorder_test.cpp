// What passes a DriveGate becomes journal entries: a group write one entry
// per changed parameter with its old and new value, actions and refusals
// their own, the connection first with its snapshot.
#include "journal/writerecorder.h"

#include <gtest/gtest.h>

#include "journal/journalstore.h"
#include "model/commands.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "tests/support/drivestatus.h"
#include "tests/support/tempfolder.h"

namespace velmora::journal {
namespace {

namespace param = model::param;

// The drive's reply for a group as the recorder would see it from the link.
link::Telegram Reply(const model::DriveData& data, int code) {
    const model::GroupLayout* group = model::FindGroup(code);
    link::Telegram reply{1, code, group->length, std::vector<std::uint8_t>(group->length)};
    for (const auto& field : group->fields)
        model::WriteBigEndian(reply.data, field.offset, field.bits, data.Image(field.parameter));
    return reply;
}

TEST(WriteRecorder, AGroupWriteBecomesOneEntryPerChangedParameter) {
    testkit::TempFolder folder("recorder");
    auto journal = std::make_shared<Journal>(Origin{"h", "u", "test"}, folder / "j.sqlite");
    auto recorder = std::make_shared<WriteRecorder>(journal);
    testkit::RecordingOutlet outlet;
    model::DriveData data;
    data.gate().setOutlet(outlet);
    recorder->watch(data.gate());
    recorder->connected("port 5");

    const int limits = model::GroupOfParameter(param::kMaxSpeed)->code;
    const int direction = model::GroupOfParameter(param::kRotationDirection)->code;
    for (int p = 1; p <= model::kParameterCount; ++p) data.SetImage(p, 0);
    data.SetImage(param::kMinSpeed, 30);
    data.SetImage(param::kMaxSpeed, 1500);
    data.SetImage(param::kInverterType, 7301);
    data.SetImage(param::kRotationDirection, 1);
    data.SetImage(param::kSerialNumber, 4711);
    data.TakeImage();
    for (const auto& group : model::AllGroups())
        if (group.code != model::code::Group5F) recorder->observeReply(Reply(data, group.code));

    testkit::DriveStands(data);
    data.SetWorking(param::kMaxSpeed, 1493);
    data.SetWorking(param::kMinSpeed, 40);
    ASSERT_FALSE(data.RequestGroup(0, model::WriteCommandOf(limits)));
    data.SetWorking(param::kRotationDirection, 2);
    ASSERT_FALSE(data.RequestGroup(0, model::WriteCommandOf(direction)));
    ASSERT_FALSE(data.gate().send(model::BuildAction(model::code::StartMotor)));
    // The limits are read back as sent; the direction is not before the link ends.
    recorder->observeReply(Reply(data, limits));
    recorder->settle(false);
    testkit::DriveTurns(data);
    data.SetWorking(param::kMaxSpeed, 1400);
    EXPECT_TRUE(data.RequestGroup(0, model::WriteCommandOf(limits)));
    journal->flush();

    JournalStore store;
    ASSERT_TRUE(store.openForReading(journal->file()));
    const auto entries = store.list({});
    struct Row {
        EntryKind kind;
        const char* parameter;
        const char* oldValue;
        const char* newValue;
        const char* outcome;
    };
    const Row expected[] = {
        {EntryKind::Connection, "", "", "", ""},
        {EntryKind::Write, "p41", "30", "40", "confirmed"},
        {EntryKind::Write, "p42", "1500", "1493", "confirmed"},
        {EntryKind::Direction, "p146", "1", "2", "lost"},
        {EntryKind::Start, "start motor", "", "", "sent"},
        {EntryKind::Write, "write group 0x51", "", "", "refused"},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].kind, expected[i].kind);
        EXPECT_EQ(entries[i].parameter, expected[i].parameter);
        EXPECT_EQ(entries[i].oldValue, expected[i].oldValue);
        EXPECT_EQ(entries[i].newValue, expected[i].newValue);
        EXPECT_EQ(entries[i].outcome, expected[i].outcome);
        EXPECT_EQ(entries[i].serial, 4711u);
    }
    EXPECT_EQ(entries[0].port, "port 5");
    EXPECT_NE(entries[0].detail.find("\"p42\":\"1500\""), std::string::npos) << entries[0].detail;
}

}  // namespace
}  // namespace velmora::journal
