// The journal's file: schema and migration, WAL, two writers at once, and a
// folder it cannot write.
#include "journal/journal.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <thread>

#include "journal/journalstore.h"
#include "journal/outbox.h"
#include "tests/support/tempfolder.h"
#include "tests/support/withoutpermission.h"

namespace velmora::journal {
namespace {

class JournalTest : public testkit::TempFolderTest {
  protected:
    JournalTest() : TempFolderTest("journal") {}
    std::filesystem::path file() const { return m_dir / "journal.sqlite"; }
    static void Exec(const std::filesystem::path& file, const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
};

TEST_F(JournalTest, VersionZeroIsMigratedInWalAndANewerSchemaIsLeftAlone) {
    // A file some older program left without a schema version.
    Exec(file(), "CREATE TABLE notes (text TEXT); PRAGMA user_version = 0;");
    {
        JournalStore store;
        ASSERT_TRUE(store.open(file())) << store.error();
        EXPECT_EQ(store.schemaVersion(), kSchemaVersion);
        EXPECT_EQ(store.journalMode(), "wal");
        Entry entry;
        entry.kind = EntryKind::Write;
        entry.token = 7;
        entry.serial = 4711;
        entry.parameter = "p42";
        entry.oldValue = "1500";
        entry.newValue = "1493";
        ASSERT_TRUE(store.begin() && store.insert(entry) && store.setOutcome(7, "confirmed") &&
                    store.commit());
        const auto read = store.list({4711, std::nullopt, std::nullopt});
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0].outcome, "confirmed");
        EXPECT_EQ(read[0].oldValue, "1500");
        EXPECT_TRUE(store.list({4712, std::nullopt, std::nullopt}).empty());
        EXPECT_EQ(store.find(read[0].id)->newValue, "1493");
    }
    Exec(file(), "PRAGMA user_version = 9;");
    JournalStore newer;
    EXPECT_FALSE(newer.open(file()));
    EXPECT_NE(newer.error().find("newer"), std::string::npos) << newer.error();
    EXPECT_FALSE(newer.openForReading(file()));
    JournalStore missing;
    EXPECT_FALSE(missing.openForReading(m_dir / "none.sqlite"));
    EXPECT_TRUE(missing.error().empty());  // no file: an empty history, no failure
}

// Two programs with their own connections write at once; every entry lands.
TEST_F(JournalTest, TwoWritersAtOnceLoseNothing) {
    constexpr int kEach = 400;
    auto writer = [&](const std::string& program) {
        Journal journal(Origin{"host", "user", program}, file());
        for (int i = 0; i < kEach; ++i) {
            journal.recordWrite(1, "p" + std::to_string(i % 155 + 1), "0", std::to_string(i),
                                outcome::kSent);
            if (i % 50 == 0) std::this_thread::yield();
        }
        journal.flush();
        EXPECT_FALSE(journal.failed());
    };
    std::thread window(writer, "velmora-tool 1.0.0");
    std::thread cli(writer, "velmora-cli 1.0.0");
    window.join();
    cli.join();
    JournalStore store;
    ASSERT_TRUE(store.openForReading(file()));
    const auto entries = store.list({});
    ASSERT_EQ(entries.size(), 2u * kEach);
    int fromCli = 0;
    for (const Entry& entry : entries) fromCli += entry.program == "velmora-cli 1.0.0";
    EXPECT_EQ(fromCli, kEach);
}

TEST_F(JournalTest, AFolderItCannotWriteIsSaidOnceAndTheToolGoesOn) {
    const auto folder = m_dir / "locked";
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0555);
    EXPECT_TRUE(testkit::AttemptWithoutPermission([&] {
        std::atomic<int> said{0};
        Journal journal(ThisOrigin("velmora-tool 1.0.0"), folder / "sub" / "journal.sqlite");
        journal.setFailureListener([&](const std::string&) { ++said; });
        for (int i = 0; i < 3; ++i) journal.recordAction(1, EntryKind::Start, "start", "sent");
        journal.flush();
        journal.recordAction(1, EntryKind::Stop, "stop", "sent");
        journal.flush();
        return said == 1 && journal.failed();
    }));
}

TEST_F(JournalTest, FirmwareFilesAreDescribedByNameSizeAndSha256) {
    const FirmwareFile file = DescribeFile(m_folder.write("update.bin", "abc"));
    EXPECT_EQ(file.name, "update.bin");
    EXPECT_EQ(file.size, 3u);
    EXPECT_EQ(file.sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(DescribeFile(m_dir / "missing.bin").sha256.empty());
}

TEST(JournalTime, SinceTakesDatesLocalTimesAndOffsets) {
    EXPECT_EQ(ParseSince("2026-12-08T10:00:00Z"), 1796724000000);
    EXPECT_EQ(ParseSince("2026-12-08T11:30+01:30"), 1796724000000);
    EXPECT_TRUE(ParseSince("2026-12-08").has_value());
    EXPECT_EQ(ParseSince("2026-12-08T10:00"), ParseSince("2026-12-08T10:00:00"));
    for (const char* bad : {"", "yesterday", "2026-13-01", "2026-12-08T25:00", "2026-12-8",
                            "2026-12-08T10:00+1", "2026-12-08junk"})
        EXPECT_FALSE(ParseSince(bad).has_value()) << bad;
    const std::string now = IsoTime(NowUnixMs());
    EXPECT_NEAR(static_cast<double>(ParseSince(now.substr(0, 19) + now.substr(23)).value()),
                static_cast<double>(NowUnixMs()), 2000.0)
        << now;
}

// A journal of the first schema keeps its entries: a new build reads them at
// once (before it has written anything) and adds the outbox beside them.
TEST_F(JournalTest, FirstSchemaFileIsReadAndGetsItsOutbox) {
    Exec(file(),
         "CREATE TABLE entries (id INTEGER PRIMARY KEY AUTOINCREMENT, token INTEGER UNIQUE,"
         " time TEXT NOT NULL, unix_ms INTEGER NOT NULL, kind TEXT NOT NULL, host TEXT, user TEXT,"
         " program TEXT, port TEXT, serial INTEGER, parameter TEXT, old TEXT, new TEXT,"
         " outcome TEXT, detail TEXT);"
         "INSERT INTO entries (token, time, unix_ms, kind, serial) VALUES (5, 't', 1, 'start', 9);"
         "PRAGMA user_version = 1;");
    JournalStore reader;
    ASSERT_TRUE(reader.openForReading(file()));
    EXPECT_EQ(reader.list({}).size(), 1u);
    JournalStore store;
    ASSERT_TRUE(store.open(file())) << store.error();
    EXPECT_EQ(store.schemaVersion(), 2);
    EXPECT_EQ(store.list({9, std::nullopt, std::nullopt}).size(), 1u);
    EXPECT_TRUE(Outbox(store).add({0, "S1", "velmora/S1/event", "{}", false}));
}

// The outbox keeps a station's messages in order across a restart (a new
// connection to the file), apart from other stations', until removed; the
// journal puts an entry and its mirrored message in together.
TEST_F(JournalTest, OutboxSurvivesARestartInOrderPerStation) {
    {
        Journal journal(Origin{"host", "user", "velmora-cli"}, file());
        journal.setOutboxMirror(
            {[](const Entry& entry) -> std::optional<OutboxMessage> {
                 if (entry.kind != EntryKind::FaultRaised) return std::nullopt;
                 return OutboxMessage{0, "S1", "velmora/S1/event", entry.parameter, false};
             },
             {}});
        journal.recordFault(9, true, 3, 7);
        journal.recordWrite(9, "p42", "1", "2", outcome::kSent);  // no message
        journal.post({0, "S2", "velmora/S2/certificate/9", "cert", true});
        journal.recordFault(9, true, 2, 1);
        journal.flush();
        ASSERT_FALSE(journal.failed());
    }
    JournalStore store;
    ASSERT_TRUE(store.open(file()));
    Outbox outbox(store);
    auto s1 = outbox.next("S1", 0, 10);
    ASSERT_EQ(s1.size(), 2u);
    EXPECT_EQ(s1[0].payload, "fault 3.7");
    EXPECT_EQ(s1[1].payload, "fault 2.1");
    EXPECT_LT(s1[0].id, s1[1].id);
    EXPECT_EQ(outbox.next("S1", s1[0].id, 10).size(), 1u);
    const auto s2 = outbox.next("S2", 0, 10);
    ASSERT_EQ(s2.size(), 1u);
    EXPECT_TRUE(s2[0].retain);
    EXPECT_TRUE(outbox.remove(s1[0].id));
    EXPECT_EQ(outbox.count("S1"), 1);
    EXPECT_EQ(outbox.next("S1", 0, 10)[0].payload, "fault 2.1");
}

}  // namespace
}  // namespace velmora::journal
