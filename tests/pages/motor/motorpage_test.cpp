#include "pages/motor/motorpage.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <memory>

#include "model/commands.h"
#include "pages/common/stepedit.h"
#include "pages/motor/ctrlparadlg.h"
#include "pages/motor/paramrows.h"
#include "pages/motor/vhztabledlg.h"
#include "shell/textcatalog.h"
#include "tests/support/asyncmotor.h"
#include "tests/support/motorpagefixture.h"

namespace velmora::pages::test {
namespace {

using link::Telegram;

class MotorPageTest : public MotorPageFixture {
  protected:
    template <typename W>
    W* find(const char* name) {
        return FindChild<W>(page.get(), name);
    }
    template <typename W>
    W* findIn(const char* panel, const char* name) {
        return FindChild<W>(find<QWidget>(panel), name);
    }
    void type(const char* panel, const char* field, const QString& text) {
        auto* f = findIn<SpinField>(panel, field);
        f->setFieldText(text);
        emit f->editingFinished();
    }
    bool shown(const char* name) { return find<QWidget>(name)->isVisibleTo(page.get()); }

    std::array<std::uint32_t, 156> working() const {
        std::array<std::uint32_t, 156> w{};
        for (int p = 1; p <= 155; ++p) w[static_cast<std::size_t>(p)] = data.Working(p);
        return w;
    }
};

std::vector<std::string> ExpectedSend(const std::array<std::uint32_t, 156>& w) {
    std::vector<Telegram> t;
    for (int group : {0x51, 0x54, 0x56, 0x52, 0x53, 0x55}) {
        t.push_back(model::BuildWriteGroup(group, w));
    }
    for (int group : {0x51, 0x55, 0x54, 0x56, 0x52, 0x53})
        t.push_back(model::BuildReadGroup(group));
    return Describe(t);
}

// A lost, reordered or stale group write leaves the drive with a mix of old
// and new motor data.
TEST_F(MotorPageTest, SendButtonQueuesSixWritesThenSixReadsWithTheWorkingCopy) {
    type("ratedValuePanel", "p92Field", "41.5");
    ASSERT_EQ(data.Working(92), 4150u);
    const auto before = working();
    find<QPushButton>("sendButton")->click();
    const auto sent = TakeRequests();
    EXPECT_EQ(Describe(sent), ExpectedSend(before));
    ASSERT_EQ(sent.size(), 12u);
    // p92 travels at offset 3 of group 0x55 (write 0x15), big-endian.
    EXPECT_EQ(sent[5].command, 0x15);
    EXPECT_EQ(sent[5].data[3], 0x10);
    EXPECT_EQ(sent[5].data[4], 0x36);
    EXPECT_EQ(data.Image(92), 4150u);  // what was sent is the image now

    // Nothing changed: the same twelve requests go out again.
    find<QPushButton>("sendButton")->click();
    EXPECT_EQ(Describe(TakeRequests()), ExpectedSend(working()));
}

// A panel's send button emits sendRequested, which reaches the page queued:
// nothing goes out while the click is handled, the six groups go out once the
// page's queued call runs, and the window hears nothing of it. Its help button
// opens the page's viewer on the panel's own help.
TEST_F(MotorPageTest, PanelSendAndHelpButtonsReachThePage) {
    auto* vhz = page->findChild<CVHzTableDlg*>();
    auto* ctrl = page->findChild<CCtrlParaDlg*>();
    ASSERT_NE(vhz, nullptr);
    ASSERT_NE(ctrl, nullptr);
    int requested = 0;
    QObject::connect(vhz, &CVHzTableDlg::sendRequested, [&] { ++requested; });
    QObject::connect(ctrl, &CCtrlParaDlg::sendRequested, [&] { ++requested; });
    const auto messages = frame.messages().size();
    int clicks = 0;
    for (const char* button : {"vhzTableButton", "ctrlParaButton"}) {
        find<QPushButton>(button)->click();
        const char* send =
            std::string(button) == "vhzTableButton" ? "vhzSendButton" : "ctrlParaSendButton";
        const auto before = working();
        find<QPushButton>(send)->click();
        EXPECT_EQ(requested, ++clicks) << button;
        EXPECT_TRUE(TakeRequests().empty()) << "sent while the click was handled";
        QCoreApplication::sendPostedEvents(page.get());
        EXPECT_EQ(Describe(TakeRequests()), ExpectedSend(before)) << button;
        const bool vhzPanel = std::string(button) == "vhzTableButton";
        find<QPushButton>(vhzPanel ? "vhzHelpButton" : "ctrlParaHelpButton")->click();
        EXPECT_EQ(find<QLabel>("pageTitle")->text(), shell::T(vhzPanel ? "vhztable" : "ctrlpara"));
        find<QPushButton>("backButton")->click();
    }
    EXPECT_EQ(frame.messages().size(), messages);
}

// An edit that was never sent must not survive leaving the page.
TEST_F(MotorPageTest, LeavingThePageDropsUnsentEdits) {
    type("ratedValuePanel", "p91Field", "300");
    EXPECT_EQ(data.Working(91), 300u);
    page->hide();
    EXPECT_EQ(data.Working(91), 400u);
    page->show();
    EXPECT_EQ(findIn<SpinField>("ratedValuePanel", "p91Field")->fieldText(), "400");
    const auto polls = TakePollModes();
    ASSERT_FALSE(polls.empty());
    EXPECT_EQ(polls.back(), 3);
    // Becoming visible reads the six motor groups.
    const auto reads = TakeRequests();
    ASSERT_EQ(reads.size(), 6u);
    EXPECT_EQ(Describe(reads.front()), "CF:51");
}

struct TypeCase {
    std::uint32_t p90;
    bool rated, asm_, bldc, vhzButton, ctrlButton;
    MotorView view;
};

class MotorTypeTest : public MotorPageTest, public ::testing::WithParamInterface<TypeCase> {};

// The wrong panel for a motor type lets the user edit values the drive ignores
// for that motor, or hides ones it needs.
TEST_P(MotorTypeTest, ShowsThePanelsAndButtonsOfTheMotorType) {
    const TypeCase c = GetParam();
    // Start from a BLDC motor, which hides the asynchronous control rows.
    SetImage(data, {{90, 2}});
    page->refresh();
    SetImage(data, {{90, c.p90}});
    page->refresh();
    EXPECT_EQ(find<QComboBox>("motorTypeList")->currentIndex(), static_cast<int>(c.p90));
    EXPECT_EQ(shown("ratedValuePanel"), c.rated);
    EXPECT_EQ(shown("asmParaPanel"), c.asm_);
    EXPECT_EQ(shown("bldcParaPanel"), c.bldc);
    EXPECT_EQ(shown("vhzTableButton"), c.vhzButton);
    EXPECT_EQ(shown("ctrlParaButton"), c.ctrlButton);
    EXPECT_EQ(page->view(), c.view);
    // Rows p70..p73 exist for the asynchronous motor only; types 0 and 4
    // leave them as the BLDC motor set them.
    const bool asyncRows = c.p90 == 1;
    auto* ctrl = find<QWidget>("ctrlParaPanel");
    EXPECT_EQ(findIn<QWidget>("ctrlParaPanel", "p70List")->isVisibleTo(ctrl), asyncRows);
    EXPECT_EQ(findIn<QWidget>("ctrlParaPanel", "p73Field")->isVisibleTo(ctrl), asyncRows);
    EXPECT_TRUE(findIn<QWidget>("ctrlParaPanel", "p77Field")->isVisibleTo(ctrl));
}

INSTANTIATE_TEST_SUITE_P(
    Types, MotorTypeTest,
    ::testing::Values(TypeCase{0, false, false, false, false, false, MotorView::NoMotor},
                      TypeCase{1, true, true, false, true, true, MotorView::Asynchronous},
                      TypeCase{2, true, false, true, false, true, MotorView::Bldc},
                      TypeCase{3, true, false, true, false, true, MotorView::BldcWithSensor},
                      TypeCase{4, false, false, false, false, false, MotorView::TestOperation}));

// A damaged file or drive reporting type 5 or 99 must not crash or pick a
// motor type on its own.
TEST_F(MotorPageTest, UnknownMotorTypeShowsNoSelectionAndKeepsThePanels) {
    for (std::uint32_t type : {5u, 99u, 255u}) {
        SetImage(data, {{90, type}});
        page->refresh();
        EXPECT_EQ(find<QComboBox>("motorTypeList")->currentIndex(), -1);
        EXPECT_TRUE(shown("ratedValuePanel"));
        EXPECT_TRUE(shown("asmParaPanel"));
        EXPECT_EQ(page->view(), MotorView::Asynchronous);
        EXPECT_EQ(data.Working(90), type);
    }
}

// Picking a type in the list stores it and switches the panels at once.
TEST_F(MotorPageTest, PickingAMotorTypeStoresItAndSwitchesPanels) {
    auto* list = find<QComboBox>("motorTypeList");
    list->setCurrentIndex(2);
    emit list->activated(2);
    EXPECT_EQ(data.Working(90), 2u);
    EXPECT_TRUE(shown("bldcParaPanel"));
    EXPECT_FALSE(shown("asmParaPanel"));
    EXPECT_FALSE(shown("vhzTableButton"));
}

// The sub-views must hide every main-view control, and the way back must
// restore exactly what the motor type wants.
TEST_F(MotorPageTest, SubViewsAndBackButton) {
    const char* mainControls[] = {"vhzTableButton", "sendButton",     "motorTypeLabel",
                                  "motorTypeList",  "motorModelList", "motorTitle",
                                  "selectionFrame", "memorySlotList", "actionList",
                                  "helpButton",     "executeButton",  "ctrlParaButton"};
    EXPECT_FALSE(shown("backButton"));
    find<QPushButton>("vhzTableButton")->click();
    EXPECT_EQ(page->view(), MotorView::Characteristic);
    for (const char* name : mainControls) EXPECT_FALSE(shown(name)) << name;
    EXPECT_TRUE(shown("vhzTablePanel"));
    EXPECT_FALSE(shown("ratedValuePanel"));
    EXPECT_FALSE(shown("asmParaPanel"));
    EXPECT_TRUE(shown("backButton"));

    // A group reply in the characteristic view refreshes only that panel.
    SetImage(data, {{61, 77}});
    page->refresh();
    EXPECT_EQ(findIn<SpinField>("vhzTablePanel", "p61Field")->fieldText(), "77");
    EXPECT_FALSE(shown("asmParaPanel"));

    find<QPushButton>("backButton")->click();
    EXPECT_EQ(page->view(), MotorView::Asynchronous);
    for (const char* name : mainControls) EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(shown("vhzTablePanel"));
    EXPECT_FALSE(shown("backButton"));

    find<QPushButton>("ctrlParaButton")->click();
    EXPECT_EQ(page->view(), MotorView::ControlParameters);
    EXPECT_TRUE(shown("ctrlParaPanel"));
    find<QPushButton>("backButton")->click();
    EXPECT_FALSE(shown("ctrlParaPanel"));

    // Back on a BLDC motor: the characteristic button stays hidden.
    SetImage(data, {{90, 2}});
    page->refresh();
    find<QPushButton>("ctrlParaButton")->click();
    find<QPushButton>("backButton")->click();
    EXPECT_FALSE(shown("vhzTableButton"));
    EXPECT_TRUE(shown("bldcParaPanel"));
}

// The drive refuses a model number its firmware does not know.
TEST_F(MotorPageTest, OldFirmwareLosesTheLastMotorModel) {
    auto* models = find<QComboBox>("motorModelList");
    EXPECT_EQ(models->count(), 15);
    EXPECT_EQ(models->itemText(14), shell::T("typem08ac"));
    page->hide();
    SetImage(data, {{37, 308}});
    page->show();
    EXPECT_EQ(models->count(), 15);
    page->hide();
    models->setCurrentIndex(14);
    SetImage(data, {{37, 307}});
    page->show();
    EXPECT_EQ(models->count(), 14);
    EXPECT_EQ(models->currentIndex(), -1);  // the removed model is not replaced by another
    page->hide();
    page->show();
    EXPECT_EQ(models->count(), 14);
}

TEST_F(MotorPageTest, ActionListEnablesTheListItUses) {
    auto* actions = find<QComboBox>("actionList");
    auto* models = find<QComboBox>("motorModelList");
    auto* slotList = find<QComboBox>("memorySlotList");
    EXPECT_EQ(actions->currentIndex(), 0);
    EXPECT_TRUE(models->isEnabled());
    EXPECT_FALSE(slotList->isEnabled());
    const std::pair<bool, bool> expected[] = {{true, false}, {false, true},  {false, true},
                                              {false, true}, {false, false}, {false, false},
                                              {false, false}};
    for (int entry = 0; entry < 7; ++entry) {
        actions->setCurrentIndex(entry);
        emit actions->activated(entry);
        EXPECT_EQ(models->isEnabled(), expected[entry].first) << entry;
        EXPECT_EQ(slotList->isEnabled(), expected[entry].second) << entry;
    }
}

// While the drive forbids changes the user must not change the motor type,
// run an action or edit the values the drive locks.
TEST_F(MotorPageTest, OperationNotAllowedLocksTheListedControls) {
    struct Control {
        const char* panel;
        const char* name;
    };
    const Control locked[] = {
        {"motorPage", "motorTypeList"},  {"motorPage", "executeButton"},
        {"ratedValuePanel", "p91Field"}, {"ratedValuePanel", "p92Field"},
        {"ratedValuePanel", "p93Field"}, {"ratedValuePanel", "p94Field"},
        {"asmParaPanel", "p41Field"},    {"asmParaPanel", "p42List"},
        {"bldcParaPanel", "p42List"},    {"bldcParaPanel", "p53Field"},
        {"bldcParaPanel", "p54Field"},
    };
    const auto widget = [&](const Control& c) {
        QWidget* root = std::string(c.panel) == "motorPage" ? page.get() : find<QWidget>(c.panel);
        return FindChild<QWidget>(root, c.name);
    };
    page->operationNotAllowed();
    for (const Control& c : locked) EXPECT_FALSE(widget(c)->isEnabled()) << c.panel << c.name;
    EXPECT_TRUE(findIn<QWidget>("ratedValuePanel", "p96List")->isEnabled());
    EXPECT_TRUE(findIn<QWidget>("asmParaPanel", "p46Field")->isEnabled());
    page->operationAllowed();
    for (const Control& c : locked) EXPECT_TRUE(widget(c)->isEnabled()) << c.panel << c.name;
}

}  // namespace
}  // namespace velmora::pages::test
