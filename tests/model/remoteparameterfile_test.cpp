#include "model/remoteparameterfile.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/tempfolder.h"

namespace velmora::model {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using model::DriveData;
using testkit::Slurp;
using testkit::TempFolder;
using testkit::WriteFile;

constexpr char kTemplate[] =
    "; Velmora remote-control parameter set\r\n"
    "[Velmora Fernbedienung]\r\n"
    "; digital inputs\r\n"
    "p110=0\r\n"
    "p102=0\r\n"
    "\r\n"
    "[Maker]\r\n"
    "p110=keep me\r\n";

void FillRemoteSet(DriveData& data) {
    data.SetChoice(102, 1);
    data.SetChoice(110, 2);
    data.SetChoice(111, 4);
    data.SetChoice(112, 3);
    data.SetChoice(113, 1);
    data.SetChoice(114, 4);
    data.SetChoice(115, 3);
    data.SetChoice(120, 9);
    data.SetChoice(121, 5);
    data.SetReal(125, 2.5f);
    data.SetChoice(129, 1);
    data.SetChoice(135, 999);
    data.SetChoice(136, 1000);
    data.SetChoice(137, 30);
    data.SetChoice(142, 1);
}

// Fault prevented: a saved file losing the template's comments, foreign
// sections or line ends, keys in the wrong format, values that do not come
// back as they were saved, or a confirmed save over a read-only file failing
// or leaving it read-only.
TEST(RemoteParameterFile, SaveAndLoadRoundTripKeepsTheTemplate) {
    TempFolder folder;
    const fs::path templatePath = folder.path() / "RemoteMasterfile.vpr";
    const fs::path target = folder.path() / "set.vpr";
    WriteFile(templatePath, kTemplate);
    fs::permissions(templatePath, fs::perms::owner_read | fs::perms::group_read);
    WriteFile(target, "an older set the user locked\n");
    fs::permissions(target, fs::perms::owner_read);

    DriveData saved;
    FillRemoteSet(saved);
    ASSERT_EQ(RemoteParameterFile::save(templatePath, target, saved),
              RemoteParameterFile::SaveResult::Saved);
    EXPECT_EQ(Slurp(templatePath), kTemplate) << "the template itself is never written";

    const std::string text = Slurp(target);
    EXPECT_EQ(text.rfind("; Velmora remote-control parameter set\r\n[Velmora Fernbedienung]\r\n"
                         "; digital inputs\r\np110=2\r\np102=1\r\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\r\n[Maker]\r\np110=keep me\r\n"), std::string::npos) << text;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    std::size_t last = 0;
    for (const char* line : {"p111=4\r\n", "p112=3\r\n", "p113=1\r\n", "p114=4\r\n", "p115=3\r\n",
                             "p120=9\r\n", "p121=5\r\n", "p125=2.50\r\n", "p129=1\r\n",
                             "p135=999\r\n", "p136=1000\r\n", "p137=30\r\n", "p142=1\r\n"}) {
        const std::size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << line << " missing in\n" << text;
        EXPECT_GT(at, last) << line << " out of order";
        EXPECT_LT(at, text.find("[Maker]")) << line << " outside its section";
        last = at;
    }
    EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none)
        << "a file saved over a read-only one, from a read-only template, must be writable";

    DriveData loaded;
    RemoteParameterFile::load(target, loaded);
    for (const RemoteFileKey& key : RemoteFileKeys())
        EXPECT_EQ(loaded.Working(key.parameter), saved.Working(key.parameter)) << key.key;
}

// Fault prevented: a file without the section loading anything but the
// defaults (99 for the lists, 0 for current and speeds).
TEST(RemoteParameterFile, FileWithoutTheSectionGivesNinetyNinesAndZeros) {
    TempFolder folder;
    const fs::path file = folder.path() / "other.vpr";
    WriteFile(file, "[Velmora Motor]\np110=3\np125=4.00\n");
    DriveData data;
    RemoteParameterFile::load(file, data);
    for (int parameter : {110, 111, 112, 113, 114, 115, 120, 121, 142})
        EXPECT_EQ(data.Working(parameter), 99u) << parameter;
    EXPECT_EQ(data.Working(102), 32u) << "99 handed to the coding of parameter 102";
    EXPECT_EQ(data.Working(129), 100u) << "99 handed to the +1 coding of parameter 129";
    for (int parameter : {125, 135, 136, 137}) EXPECT_EQ(data.Working(parameter), 0u) << parameter;
}

// Fault prevented: crashes, hangs or out-of-range values from files that are
// not parameter files, or from values no drive field can hold.
TEST(RemoteParameterFile, DamagedOrForeignFilesGiveDefaultsOrBoundedValues) {
    TempFolder folder;
    std::mt19937 random(7);
    std::string binary(4096, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    const std::string longLine(300000, 'p');
    std::string hugeFile(2 << 20, '\n');
    hugeFile += "[Velmora Fernbedienung]\np110=1\n";
    const std::pair<const char*, std::string> files[] = {
        {"empty.vpr", ""},
        {"binary.vpr", binary},
        {"longline.vpr", "[Velmora Fernbedienung]\np110=" + longLine},
        {"huge.vpr", hugeFile},
        {"nul.vpr",
         "[Velmora Fernbedienung]\np1\0"
         "10=1\n"s},
    };
    for (const auto& [name, bytes] : files) {
        WriteFile(folder.path() / name, bytes);
        DriveData data;
        RemoteParameterFile::load(folder.path() / name, data);
        EXPECT_LE(data.Working(135), 0xFFFFu) << name;
        EXPECT_LE(data.Working(125), 0xFFFFu) << name;
        EXPECT_EQ(data.Working(111), 99u) << name;
    }
    DriveData huge;
    RemoteParameterFile::load(folder.path() / "huge.vpr", huge);
    EXPECT_EQ(huge.Working(110), 99u) << "a file far larger than any parameter file is not one";
    DriveData data;
    RemoteParameterFile::load(folder.path() / "missing.vpr", data);
    EXPECT_EQ(data.Working(110), 99u);
    RemoteParameterFile::load(folder.path(), data);
    EXPECT_EQ(data.Working(110), 99u);

    WriteFile(folder.path() / "odd.vpr", "[velmora fernbedienung]\np125=1000" +
                                             std::string(250, ' ') + "A" +
                                             "\np135=70000\np136=-3\np137=12abc\np110=-1\n");
    RemoteParameterFile::load(folder.path() / "odd.vpr", data);
    EXPECT_EQ(data.Working(125), 65535u) << "an enormous current is bounded to the field";
    EXPECT_EQ(data.Working(135), 0xFFFFu);
    EXPECT_EQ(data.Working(136), 0u);
    EXPECT_EQ(data.Working(137), 12u);
    EXPECT_EQ(data.Working(110), 0xFFFFFFFFu) << "read like the platform's integer reader";
}

// Fault prevented: a failed save destroying or half-writing the file the user
// chose, or writing anything without a template.
TEST(RemoteParameterFile, FailedSaveLeavesTheOldFile) {
    TempFolder folder;
    const fs::path templatePath = folder.path() / "RemoteMasterfile.vpr";
    WriteFile(templatePath, kTemplate);
    DriveData data;
    FillRemoteSet(data);

    const fs::path folderTarget = folder.path() / "taken.vpr";
    fs::create_directories(folderTarget / "inside");
    std::string reason;
    EXPECT_EQ(RemoteParameterFile::save(templatePath, folderTarget, data, &reason),
              RemoteParameterFile::SaveResult::Failed);
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(fs::is_directory(folderTarget / "inside"));

    const fs::path target = folder.path() / "new.vpr";
    EXPECT_EQ(RemoteParameterFile::save(folder.path() / "nothing.vpr", target, data),
              RemoteParameterFile::SaveResult::NoTemplate);
    EXPECT_EQ(RemoteParameterFile::save({}, target, data),
              RemoteParameterFile::SaveResult::NoTemplate);
    EXPECT_FALSE(fs::exists(target));
    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
}

}  // namespace
}  // namespace velmora::model
