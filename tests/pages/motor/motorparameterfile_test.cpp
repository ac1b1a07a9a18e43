#include "model/motorparameterfile.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "pages/motor/motorpage.h"
#include "platform/profile.h"
#include "shell/textcatalog.h"
#include "tests/support/asyncmotor.h"
#include "tests/support/motorpagefixture.h"
#include "tests/support/owndrive.h"

namespace velmora::pages::test {
using namespace velmora::model;
namespace {

namespace fs = std::filesystem;

using testkit::Slurp;
using testkit::WriteFile;

class MotorFileTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        EnsureApp();
        fs::create_directories(dir / "program");
        templateFile = dir / "program" / std::string(kMotorTemplateName);
        fs::copy_file(SourceDir() / "data" / "templates" / std::string(kMotorTemplateName),
                      templateFile);
        LoadAsyncMotor(data);
    }
    void TearDown() override { page.reset(); }
    void makePage() {
        page = std::make_unique<CMotorPage>(data);
        page->setProgramFolder(dir / "program");
        page->applyTexts();
        page->show();
        page->refresh();
        m_drive.link.flushAllQueues();
    }
    void runAction(int action) {
        auto* actions = FindChild<QComboBox>(page.get(), "actionList");
        actions->setCurrentIndex(action);
        emit actions->activated(action);
        FindChild<QPushButton>(page.get(), "executeButton")->click();
    }
    std::string key(const fs::path& file, const char* name) {
        return platform::ProfileFile::load(file).getString("Velmora Motor", name, "<missing>");
    }

    testkit::TempFolder m_folder{"motorfile"};
    const fs::path dir = m_folder.path();
    fs::path templateFile;
    model::DriveData& data = m_drive.data;
    testkit::ScriptedPrompter prompter;
    std::unique_ptr<CMotorPage> page;
};

// Frequencies in Hz, reals with the file's decimals, every key of the six blocks.
TEST_F(MotorFileTest, SavedFileHoldsHzAndTheSpecifiedDecimals) {
    SetImage(data, {{8, 2}, {44, 125}, {71, 5}, {92, 1234}, {96, 6}});
    const fs::path file = dir / "motor.vpm";
    ASSERT_TRUE(SaveMotorFile(templateFile, file, data));
    EXPECT_EQ(key(file, "p91"), "400");
    EXPECT_EQ(key(file, "p104"), "100");
    EXPECT_EQ(key(file, "p44"), "1.3");
    EXPECT_EQ(key(file, "p71"), "0.05");
    EXPECT_EQ(key(file, "p92"), "12.3");
    EXPECT_EQ(key(file, "p96"), "2");  // the list index of 6 poles
    EXPECT_EQ(key(file, "p48"), "7.0");
    EXPECT_EQ(MotorFileKeys().size(), 45u);
    for (const MotorFileKey& k : MotorFileKeys()) {
        EXPECT_NE(key(file, ("p" + std::to_string(k.parameter)).c_str()), "<missing>");
    }
    // The template's comments stay; no key was appended twice.
    const std::string text = Slurp(file);
    EXPECT_NE(text.find("; Velmora motor parameter file."), std::string::npos);
    EXPECT_EQ(text.find("p91="), text.rfind("p91="));

    model::DriveData loaded;
    LoadMotorFile(file, loaded);
    EXPECT_EQ(loaded.Working(91), 400u);
    EXPECT_EQ(loaded.Working(44), 130u);  // 1.25 went through the file as 1.3
    EXPECT_EQ(loaded.Working(71), 5u);
    EXPECT_EQ(loaded.Working(96), 6u);
    for (const MotorFileKey& k : MotorFileKeys()) {
        if (k.format == MotorFileFormat::Integer) {
            EXPECT_EQ(loaded.Working(k.parameter), data.Working(k.parameter)) << k.parameter;
        }
    }
}

// Foreign or damaged files load with the defaults and never crash.
TEST_F(MotorFileTest, DamagedFilesLoadWithDefaults) {
    const fs::path file = dir / "odd.vpm";
    WriteFile(file,
              "[Velmora Motor]\np96=2\np90=-4\np91=abc\np93=1e30\np44=-7\np60=nan\n"
              "p61=99999999999\n");
    LoadMotorFile(file, data);
    EXPECT_EQ(data.Working(96), 6u);   // "2" is six poles
    EXPECT_EQ(data.Working(92), 0u);   // missing real
    EXPECT_EQ(data.Working(94), 99u);  // missing integer
    EXPECT_EQ(data.Working(90), 0u);   // no wrap from a negative number
    EXPECT_EQ(data.Working(91), 0u);   // no digits
    EXPECT_EQ(data.Working(44), 0u);
    EXPECT_EQ(data.Working(60), 0u);
    EXPECT_EQ(data.Working(61), 0xFFFFFFFFu);
    EXPECT_EQ(data.Working(93), 100000000u);

    LoadMotorFile(dir / "missing.vpm", data);
    EXPECT_EQ(data.Working(90), 99u);
    EXPECT_EQ(data.Working(66), 0u);
    WriteFile(file, std::string("\0\xff\xfe[garbage", 12));
    LoadMotorFile(file, data);
    EXPECT_EQ(data.Working(41), 99u);
}

// A save that fails must leave the file that was there.
TEST_F(MotorFileTest, FailedSaveKeepsTheOldFile) {
    const fs::path file = dir / "keep.vpm";
    WriteFile(file, "old contents\n");
    fs::remove(templateFile);
    fs::create_directory(templateFile);  // unreadable as a file
    std::string error;
    EXPECT_FALSE(SaveMotorFile(templateFile, file, data, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(file), "old contents\n");
    EXPECT_FALSE(SaveMotorFile(dir / "none.vpm", file, data));
    EXPECT_EQ(Slurp(file), "old contents\n");
}

// The user confirmed overwriting: a write-protected file is replaced and
// made writable, as its read-only attribute was cleared.
TEST_F(MotorFileTest, ReadOnlyTargetIsReplaced) {
    const fs::path file = dir / "ro.vpm";
    WriteFile(file, "old\n");
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_TRUE(SaveMotorFile(templateFile, file, data));
    EXPECT_EQ(key(file, "p91"), "400");
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none)
        << "the saved file is writable again";
}

// Through the page: the dialogs, rpm display, the refresh after a load and
// the selectors.
TEST_F(MotorFileTest, PageSavesAndLoadsThroughTheDialogs) {
    SetImage(data, {{8, 2}});
    makePage();
    const fs::path file = dir / "page.vpm";
    prompter.fileAnswers = {QString::fromStdString(file.string())};
    runAction(5);
    ASSERT_EQ(prompter.saveChoices.size(), 1u);
    EXPECT_EQ(prompter.saveChoices[0].title, shell::T("saveas"));
    EXPECT_EQ(prompter.saveChoices[0].proposedName, "velmora_mp");
    EXPECT_EQ(prompter.saveChoices[0].defaultSuffix, "vpm");
    EXPECT_EQ(prompter.saveChoices[0].filter, "vpm files (*.vpm)");
    EXPECT_EQ(key(file, "p91"), "400");

    // Edit the file: a BLDC motor with 8 poles and no rated voltage.
    auto profile = platform::ProfileFile::load(file);
    profile.setString("Velmora Motor", "p90", "2");
    profile.setString("Velmora Motor", "p96", "3");
    profile.setString("Velmora Motor", "p91", "250");
    ASSERT_TRUE(profile.save(file));
    std::string text = Slurp(file);
    text.erase(text.find("p92="), text.find('\n', text.find("p92=")) - text.find("p92=") + 1);
    WriteFile(file, text);

    data.SetMotorSel(0, 1);
    prompter.fileAnswers = {QString::fromStdString(file.string())};
    runAction(6);
    ASSERT_EQ(prompter.openChoices.size(), 1u);
    EXPECT_EQ(prompter.openChoices.back().title, shell::T("loadfrom"));
    EXPECT_EQ(data.Working(90), 2u);
    EXPECT_EQ(data.Working(96), 8u);
    EXPECT_EQ(data.Working(92), 0u);
    EXPECT_EQ(page->view(), MotorView::Bldc);
    EXPECT_EQ(FindChild<QComboBox>(page.get(), "motorTypeList")->currentIndex(), 2);
    EXPECT_EQ(data.GetMotorSel(0), 2);
    EXPECT_EQ(data.GetMotorSel(1), 2);
    EXPECT_TRUE(TakeRequests().empty());  // loading sends nothing

    // Leaving the page drops the loaded values.
    page->hide();
    EXPECT_EQ(data.Working(90), 1u);
}

TEST_F(MotorFileTest, CancelledDialogsAndMissingTemplate) {
    makePage();
    const std::string before = Slurp(templateFile);
    runAction(5);  // cancelled: no path scripted
    EXPECT_EQ(prompter.saveChoices.size(), 1u);
    data.SetMotorSel(0, 0);
    runAction(6);  // cancelled load still resets the selectors
    EXPECT_EQ(data.GetMotorSel(0), 2);
    EXPECT_EQ(data.Working(91), 400u);

    fs::remove(templateFile);
    prompter.fileAnswers = {QString::fromStdString((dir / "x.vpm").string())};
    runAction(5);
    EXPECT_EQ(prompter.saveChoices.size(), 1u);  // no dialog without a template
    EXPECT_FALSE(fs::exists(dir / "x.vpm"));

    // A failed save is reported, not passed over.
    WriteFile(templateFile, before);
    const QString gone = QString::fromStdString((dir / "gone" / "x.vpm").string());
    prompter.fileAnswers = {gone};
    runAction(5);
    ASSERT_FALSE(prompter.asked.empty());
    EXPECT_EQ(prompter.asked.back(), "fileError:" + gone);
}

}  // namespace
}  // namespace velmora::pages::test
