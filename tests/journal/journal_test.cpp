// The journal's file: schema and migration, WAL, two writers at once, and a
// folder it cannot write.
#include "journal/journal.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <thread>

#include "journal/journalstore.h"
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

}  // namespace
}  // namespace velmora::journal
