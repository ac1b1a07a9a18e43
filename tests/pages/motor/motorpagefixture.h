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

namespace velmora::pages::test {

class MotorPageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        link::FlushAllQueues();
        LoadAsyncMotor(data);
        testkit::DriveStands(data);
        page = std::make_unique<CMotorPage>(data);
        page->setFrame(&frame);
        page->applyTexts();
        page->show();
        page->refresh();
        link::FlushAllQueues();
    }
    void TearDown() override {
        page.reset();
        link::FlushAllQueues();
    }

    model::DriveData data;
    testkit::MessageRecorder frame;
    testkit::ScriptedPrompter prompter;
    std::unique_ptr<CMotorPage> page;
};

}  // namespace velmora::pages::test
