#pragma once
// A motor page on an asynchronous motor's data, shown and refreshed, with
// the queues empty: where the page tests start.
#include <gtest/gtest.h>

#include <memory>

#include "model/drivedata.h"
#include "motordata.h"
#include "motortestsupport.h"
#include "pages/motor/motorpage.h"
#include "tests/support/drivestatus.h"
#include "tests/support/owndrive.h"

namespace velmora::pages::test {

class MotorPageFixture : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        EnsureApp();
        m_drive.link.flushAllQueues();
        LoadAsyncMotor(data);
        testkit::DriveStands(data);
        page = std::make_unique<CMotorPage>(data);
        page->setFrame(&frame);
        page->applyTexts();
        page->show();
        page->refresh();
        m_drive.link.flushAllQueues();
    }
    void TearDown() override {
        page.reset();
        m_drive.link.flushAllQueues();
    }

    model::DriveData& data = m_drive.data;
    testkit::FrameRecorder frame;
    testkit::ScriptedPrompter prompter;
    std::unique_ptr<CMotorPage> page;
};

}  // namespace velmora::pages::test
