#pragma once
// A motor page on an asynchronous motor's data, shown and refreshed, with
// the queues empty: where the page tests start. The motor tests without a
// page share its English texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "model/drivedata.h"
#include "pages/motor/motorpage.h"
#include "shell/textcatalog.h"
#include "tests/support/asyncmotor.h"
#include "tests/support/drivestatus.h"
#include "tests/support/findchild.h"
#include "tests/support/owndrive.h"
#include "tests/support/testkit.h"

namespace velmora::pages::test {

using testkit::Describe;
using testkit::FindChild;
using testkit::TakePollModes;
using testkit::TakeRequests;

inline std::filesystem::path SourceDir() {
    return VELMORA_SOURCE_DIR;
}

// Loads language 1 from the data folder once, which stays the working
// directory.
inline void EnsureApp() {
    static bool done = false;
    if (done) return;
    done = true;
    std::filesystem::current_path(SourceDir() / "data");
    shell::TextCatalog::instance().load(1);
}

class MotorPageFixture : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        EnsureApp();
        LoadAsyncMotor(data);
        testkit::DriveStands(data);
        page = std::make_unique<CMotorPage>(data);
        page->setFrame(&frame);
        page->applyTexts();
        page->show();
        page->refresh();
        m_drive.link.flushAllQueues();
    }
    void TearDown() override { page.reset(); }

    model::DriveData& data = m_drive.data;
    testkit::FrameRecorder frame;
    testkit::ScriptedPrompter prompter;
    std::unique_ptr<CMotorPage> page;
};

}  // namespace velmora::pages::test
