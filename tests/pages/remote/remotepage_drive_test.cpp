// The remote-control page in the real window, sending its group to the
// simulated drive and reading it back.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "pages/remote/remotepage.h"
#include "tests/support/demoframe.h"
#include "tests/support/pagetestsupport.h"

namespace velmora::pages {
namespace {

using namespace pagetest;

// Fault prevented: Send not reaching the drive, or the read-back not
// replacing the page's values with what the drive now holds.
TEST(RemotePageOnTheDrive, SendWritesTheGroupAndReadsItBack) {
    testkit::WorkFolder folder("drive-window");
    LoadKeyNameCatalog();
    testkit::ScriptedPrompter prompter;
    testkit::DemoFrame window;
    ASSERT_TRUE(window.started);
    ASSERT_TRUE(window.ready());
    auto* page = window.page<CRemotePage>();
    ASSERT_NE(page, nullptr);
    window.activate(page);
    ASSERT_EQ(window.frame->sheet()->currentWidget(), page);
    model::DriveData& data = window.drive.data;
    ASSERT_TRUE(WaitFor([&] { return data.Image(model::param::kMaxSpeed) > 100; }, 5000));
    // A group reply replaces edits not yet sent, so the read the page made
    // when shown must be answered before the test edits: a read of our own
    // after it, answered, says so.
    data.SetImage(model::param::kRelayCurrent, 0xFFFF);
    data.RequestGroup(1, 0x57);
    ASSERT_TRUE(WaitFor([&] { return data.Image(model::param::kRelayCurrent) != 0xFFFF; }, 5000));

    auto* relay = page->findChild<QComboBox*>(QStringLiteral("p121List"));
    const int newRelay = (relay->currentIndex() + 3) % 10;
    relay->setCurrentIndex(newRelay);
    emit relay->activated(newRelay);
    auto* current = page->findChild<StepEdit*>(QStringLiteral("p125Edit"));
    current->setFieldText(QStringLiteral("3.21"));
    emit current->editingFinished();
    page->findChild<QPushButton*>(QStringLiteral("sendButton"))->click();
    // Sending copies the working values into the image; clearing it here
    // leaves only the drive's read-back reply to bring the values back.
    data.SetImage(model::param::kRelayCurrent, 0);
    data.SetImage(121, 0);

    ASSERT_TRUE(WaitFor([&] { return data.Image(model::param::kRelayCurrent) == 321; }, 5000));
    EXPECT_EQ(data.Image(121), static_cast<std::uint32_t>(newRelay));
    ASSERT_TRUE(WaitFor([&] { return current->fieldText() == QStringLiteral("3.21"); }, 5000))
        << current->fieldText().toStdString();
    EXPECT_EQ(relay->currentIndex(), newRelay);

    // An edit that was not sent is replaced by the drive's value on the next
    // group reply.
    current->setFieldText(QStringLiteral("5.00"));
    emit current->editingFinished();
    EXPECT_EQ(data.Working(model::param::kRelayCurrent), 500u);
    data.RequestGroup(1, 0x57);
    ASSERT_TRUE(WaitFor([&] { return current->fieldText() == QStringLiteral("3.21"); }, 5000))
        << current->fieldText().toStdString();
}

}  // namespace
}  // namespace velmora::pages
