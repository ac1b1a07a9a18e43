#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile.h"
#include "tests/support/tempfolder.h"
#include "tests/support/withoutpermission.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public testkit::TempFolderTest {
  protected:
    AtomicFile() : TempFolderTest("atomic") {}
    [[nodiscard]] std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator{}));
    }
};

// A failed write must keep the old file whole and leave no temporary behind.
TEST_F(AtomicFile, FailureInAnUnwritableFolderKeepsTheOldFile) {
    const auto file = m_dir / "settings.ini";
    ASSERT_TRUE(WriteFileAtomically(file, "old contents\n"));
    fs::permissions(file, fs::perms::all);  // only the folder stands in the way
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                               fs::perms::others_exec);
    EXPECT_FALSE(testkit::AttemptWithoutPermission([&] {
        std::string error;
        const bool written = WriteFileAtomically(file, "new contents\n", &error);
        return written || error.find("settings.ini") == std::string::npos;
    }));
    EXPECT_FALSE(testkit::AttemptWithoutPermission(
        [&] { return ProfileFile::parse("[a]\nx=1\n").save(file); }));
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ(Slurp(file), "old contents\n");
    EXPECT_EQ(Entries(), 1u);
}

// Replacing a file must not silently change who may read or write it, and
// must not turn a symbolic link into a plain file.
TEST_F(AtomicFile, KeepsModeAndSymbolicLinks) {
    const auto file = m_dir / "data.txt";
    ASSERT_TRUE(WriteFileAtomically(file, "1"));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileAtomically(file, "22"));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const auto link = m_dir / "link.txt";
    fs::create_symlink("data.txt", link);
    ASSERT_TRUE(WriteFileAtomically(link, "333"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(Slurp(file), "333");
    EXPECT_EQ(Entries(), 2u);
}

// A read-only file is replaced only when the caller says the user agreed,
// and the saved file is then writable again (else the next save of the same
// file fails, and the user's own file stays locked against edits).
TEST_F(AtomicFile, ReadOnlyTargetNeedsConsent) {
    const auto file = m_dir / "locked.vpm";
    ASSERT_TRUE(WriteFileAtomically(file, "keep"));
    fs::permissions(file, fs::perms::owner_read);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(file, "lose", &error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(Slurp(file), "keep");
    ASSERT_TRUE(WriteFileAtomically(file, "replaced", ReadOnlyTarget::Replace));
    EXPECT_EQ(Slurp(file), "replaced");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// Targets that are no regular file, or have no name, fail without side effects.
TEST_F(AtomicFile, RejectsFoldersAndEmptyNames) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(m_dir, "x", &error));
    EXPECT_FALSE(WriteFileAtomically("", "x", &error));
    EXPECT_FALSE(WriteFileAtomically(m_dir / "missing-folder" / "f.txt", "x", &error));
    EXPECT_EQ(Entries(), 0u);
}

// Bytes go out exactly, NULs and all, and a new file gets the usual umask mode.
TEST_F(AtomicFile, WritesExactBytes) {
    const auto file = m_dir / "blob.bin";
    const std::string bytes("a\0b\r\n\xff", 6);
    ASSERT_TRUE(WriteFileAtomically(file, bytes));
    EXPECT_EQ(Slurp(file), bytes);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

// Writers racing on one file (two windows saving the same settings) must
// never leave a mixture, and a reader must only ever see a whole version.
TEST_F(AtomicFile, ConcurrentWritersLeaveOneWholeVersion) {
    const auto file = m_dir / "shared.ini";
    std::vector<std::string> versions;
    for (char c = 'a'; c < 'e'; ++c) versions.push_back(std::string(64 * 1024, c));
    ASSERT_TRUE(WriteFileAtomically(file, versions[0]));
    std::atomic<bool> writing{true};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (writing) {
            const std::string seen = Slurp(file);
            if (std::find(versions.begin(), versions.end(), seen) == versions.end()) ++torn;
        }
    });
    std::vector<std::thread> writers;
    std::atomic<int> failures{0};
    for (const auto& version : versions) {
        writers.emplace_back([&, version] {
            for (int i = 0; i < 20; ++i) {
                if (!WriteFileAtomically(file, version)) ++failures;
            }
        });
    }
    for (auto& writer : writers) writer.join();
    writing = false;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(Entries(), 1u) << "temporary files left behind";
}

}  // namespace
}  // namespace velmora::platform
