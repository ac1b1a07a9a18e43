#pragma once
// A motor page on an asynchronous motor's data, shown and refreshed, with
// the queues empty: where the page tests start.
#include <gtest/gtest.h>

#include <memory>

#include "model/drivedata.h"
#include "motordata.h"
#include "motortestsupport.h"
#include "pages/motor/motorpage.h"

namespace velmora::pages::test {

class MotorPageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        ClearQueues();
        LoadAsyncMotor(data);
        page = std::make_unique<CMotorPage>(data);
        page->setFrame(&frame);
        page->applyTexts();
        page->show();
        page->refresh();
        ClearQueues();
    }
    void TearDown() override {
        page.reset();
        ClearQueues();
    }

    model::DriveData data;
    FrameLog frame;
    ScriptedPrompter prompter;
    std::unique_ptr<CMotorPage> page;
};

}  // namespace velmora::pages::test
