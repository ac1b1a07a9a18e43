#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <memory>

#include "pages/common/stepedit.h"
#include "pages/motor/asmparadlg.h"
#include "pages/motor/bldcparadlg.h"
#include "pages/motor/ctrlparadlg.h"
#include "pages/motor/paramrows.h"
#include "pages/motor/ratedvaluedlg.h"
#include "shell/textcatalog.h"
#include "tests/support/asyncmotor.h"
#include "tests/support/motorpagefixture.h"

namespace velmora::pages::test {
namespace {

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        LoadAsyncMotor(data);
        rated = std::make_unique<CRatedValueDlg>(nullptr, data);
        asmPanel = std::make_unique<CAsmParaDlg>(nullptr, data);
        bldc = std::make_unique<CBldcParaDlg>(nullptr, data);
        ctrl = std::make_unique<CCtrlParaDlg>(nullptr, data);
        for (MotorPanel* p : panels()) p->applyTexts();
    }
    std::vector<MotorPanel*> panels() {
        return {rated.get(), asmPanel.get(), bldc.get(), ctrl.get()};
    }

    static SpinField* field(QWidget* panel, const char* name) {
        auto* f = FindChild<SpinField>(panel, name);
        EXPECT_NE(f, nullptr) << name;
        return f;
    }
    static QComboBox* list(QWidget* panel, const char* name) {
        auto* l = FindChild<QComboBox>(panel, name);
        EXPECT_NE(l, nullptr) << name;
        return l;
    }
    static void type(QWidget* panel, const char* name, const char* text) {
        auto* f = field(panel, name);
        f->setFieldText(QString::fromLatin1(text));
        emit f->editingFinished();
    }
    static void pick(QWidget* panel, const char* name, int entry) {
        auto* l = list(panel, name);
        l->setCurrentIndex(entry);
        emit l->activated(entry);
    }
    static QString text(QWidget* panel, const char* name) {
        return field(panel, name)->fieldText();
    }

    model::DriveData data;
    std::unique_ptr<CRatedValueDlg> rated;
    std::unique_ptr<CAsmParaDlg> asmPanel;
    std::unique_ptr<CBldcParaDlg> bldc;
    std::unique_ptr<CCtrlParaDlg> ctrl;
};

// p42 must follow the rated frequency only while the user lets it.
TEST_F(PanelTest, MaximumFrequencyFollowsTheRatedFrequency) {
    data.SetMotorSel(0, 0);
    type(rated.get(), "p91Field", "200");
    EXPECT_EQ(data.Working(91), 200u);
    EXPECT_EQ(data.Working(42), 200u);
    // 50 Hz pulls p42 below its own range; the limits panel clamps it to 100.
    type(rated.get(), "p91Field", "50");
    EXPECT_EQ(data.Working(42), 50u);
    asmPanel->refresh();
    EXPECT_EQ(list(asmPanel.get(), "p42List")->currentIndex(), 0);
    EXPECT_FALSE(field(asmPanel.get(), "p42Field")->isEnabled());
    EXPECT_EQ(data.Working(42), 100u);

    pick(asmPanel.get(), "p42List", 1);  // choose: p42 is free from now on
    EXPECT_EQ(data.GetMotorSel(0), 1);
    EXPECT_TRUE(field(asmPanel.get(), "p42Field")->isEnabled());
    type(rated.get(), "p91Field", "300");
    EXPECT_EQ(data.Working(42), 100u);
    pick(asmPanel.get(), "p42List", 0);
    EXPECT_EQ(data.GetMotorSel(0), 0);
    EXPECT_EQ(data.Working(42), 300u);
    EXPECT_EQ(text(asmPanel.get(), "p42Field"), "300");

    // Undecided (after a load): a p42 unlike p91 shows `choose`.
    data.SetMotorSel(0, 2);
    SetImage(data, {{42, 500}, {91, 300}});
    asmPanel->refresh();
    EXPECT_EQ(list(asmPanel.get(), "p42List")->currentIndex(), 1);
    EXPECT_EQ(data.Working(42), 500u);
}

// The maximum current follows 1.5 x the rated current, limited by the inverter.
TEST_F(PanelTest, MaximumCurrentFollowsTheRatedCurrentWithinImax) {
    SetImage(data, {{36, 7301}});
    rated->refresh();
    type(rated.get(), "p93Field", "12");
    EXPECT_EQ(data.Working(93), 800u);  // 8 A on an inv01
    EXPECT_EQ(text(rated.get(), "p93Field"), "8.0");

    SetImage(data, {{36, 7302}});
    data.SetMotorSel(1, 0);
    rated->refresh();
    type(rated.get(), "p93Field", "12");
    EXPECT_EQ(data.Working(93), 1200u);
    EXPECT_EQ(data.Working(44), 1800u);  // 18 A before the limits panel sees it
    for (LimitsPanel* panel :
         {static_cast<LimitsPanel*>(asmPanel.get()), static_cast<LimitsPanel*>(bldc.get())}) {
        data.SetWorking(44, 1800);
        panel->refresh();
        EXPECT_EQ(list(panel, "p44List")->currentIndex(), 0);
        EXPECT_EQ(data.Working(44), 1600u) << panel->objectName().toStdString();
    }
    // A 16 A inverter's freely chosen 13 A survives the first refresh.
    data.SetMotorSel(1, 1);
    SetImage(data, {{36, 0}});
    asmPanel->refresh();  // an unknown inverter: the panel's limit is 8 A
    SetImage(data, {{36, 7302}, {44, 1300}, {93, 800}});
    data.SetMotorSel(1, 2);
    asmPanel->refresh();
    EXPECT_EQ(list(asmPanel.get(), "p44List")->currentIndex(), 1);
    EXPECT_EQ(data.Working(44), 1300u);
}

// The stop ramp's list encodes DC braking as 0.3 s and "fall time" as p47.
TEST_F(PanelTest, StopRampEntriesBothWays) {
    for (LimitsPanel* panel :
         {static_cast<LimitsPanel*>(asmPanel.get()), static_cast<LimitsPanel*>(bldc.get())}) {
        pick(panel, "p48List", 0);
        EXPECT_EQ(data.Working(48), 3u);
        EXPECT_EQ(text(panel, "p48Field"), "0.0");
        EXPECT_FALSE(field(panel, "p48Field")->isEnabled());
        pick(panel, "p48List", 1);
        EXPECT_EQ(data.Working(48), data.Working(47));
        pick(panel, "p48List", 2);
        EXPECT_EQ(data.Working(48), 5u);
        EXPECT_TRUE(field(panel, "p48Field")->isEnabled());

        SetImage(data, {{48, 0}});
        panel->refresh();
        EXPECT_EQ(list(panel, "p48List")->currentIndex(), 0);
        EXPECT_EQ(data.Working(48), 3u);
        SetImage(data, {{47, 60}, {48, 60}});
        panel->refresh();
        EXPECT_EQ(list(panel, "p48List")->currentIndex(), 1);
        SetImage(data, {{48, 20}});
        panel->refresh();
        EXPECT_EQ(list(panel, "p48List")->currentIndex(), 2);
        EXPECT_EQ(text(panel, "p48Field"), "2.0");
        EXPECT_EQ(data.Working(48), 20u);
    }
}

TEST_F(PanelTest, HoldTimeOffAndChoose) {
    pick(bldc.get(), "p51List", 0);
    EXPECT_EQ(data.Working(51), 4u);
    EXPECT_EQ(text(bldc.get(), "p51Field"), "0.0");
    pick(bldc.get(), "p51List", 1);
    EXPECT_EQ(data.Working(51), 5u);
    for (std::uint32_t raw : {0u, 4u}) {
        SetImage(data, {{51, raw}});
        bldc->refresh();
        EXPECT_EQ(list(bldc.get(), "p51List")->currentIndex(), 0) << raw;
        EXPECT_EQ(data.Working(51), 4u);
    }
    SetImage(data, {{51, 30}});
    bldc->refresh();
    EXPECT_EQ(list(bldc.get(), "p51List")->currentIndex(), 1);
    EXPECT_EQ(text(bldc.get(), "p51Field"), "3.0");
}

struct KeptValue {
    bool bldcPanel;
    int parameter;
    std::uint32_t raw;  // tenths of a second, as the drive sends them
    const char* shown;
};

class KeptChoiceTest : public PanelTest, public ::testing::WithParamInterface<KeptValue> {};

// A drive value outside the field's spin range that reads as "choose" is
// shown as it is and stays as it is: a refresh that clamped and stored it
// would send 0.5 s instead of the drive's 0.2 s on the next send.
TEST_P(KeptChoiceTest, RefreshKeepsStoredValue) {
    const KeptValue& c = GetParam();
    LimitsPanel* panel = c.bldcPanel ? static_cast<LimitsPanel*>(bldc.get())
                                     : static_cast<LimitsPanel*>(asmPanel.get());
    const std::string name = "p" + std::to_string(c.parameter);
    SetImage(data, {{c.parameter, c.raw}});
    panel->refresh();
    EXPECT_EQ(list(panel, (name + "List").c_str())->currentIndex(), c.parameter == 48 ? 2 : 1);
    EXPECT_EQ(text(panel, (name + "Field").c_str()), QString::fromLatin1(c.shown));
    EXPECT_EQ(data.Working(c.parameter), c.raw);
}

INSTANTIATE_TEST_SUITE_P(OutsideSpinRange, KeptChoiceTest,
                         ::testing::Values(KeptValue{true, 51, 2, "0.2"},
                                           KeptValue{true, 51, 1500, "150.0"},
                                           KeptValue{false, 48, 4500, "450.0"},
                                           KeptValue{true, 48, 4500, "450.0"}));

// "Off" is 0, below p57's own range: a refresh must not turn it into the
// smallest brake current.
TEST_F(PanelTest, OffRowsKeepOffAndChooseClamps) {
    pick(asmPanel.get(), "p55List", 0);
    EXPECT_EQ(data.Working(55), 0u);
    EXPECT_FALSE(field(asmPanel.get(), "p55Field")->isEnabled());
    pick(asmPanel.get(), "p57List", 0);
    EXPECT_EQ(data.Working(57), 0u);

    SetImage(data, {{55, 0}, {57, 0}});
    asmPanel->refresh();
    EXPECT_EQ(list(asmPanel.get(), "p55List")->currentIndex(), 0);
    EXPECT_EQ(list(asmPanel.get(), "p57List")->currentIndex(), 0);
    EXPECT_EQ(data.Working(57), 0u);
    EXPECT_EQ(text(asmPanel.get(), "p57Field"), "0.0");

    SetImage(data, {{55, 15}, {57, 5}});
    asmPanel->refresh();
    EXPECT_EQ(list(asmPanel.get(), "p55List")->currentIndex(), 1);
    EXPECT_EQ(list(asmPanel.get(), "p57List")->currentIndex(), 1);
    EXPECT_EQ(data.Working(57), 10u);  // 0.05 A clamped to 0.1 A
    EXPECT_TRUE(field(asmPanel.get(), "p57Field")->isEnabled());
}

TEST_F(PanelTest, ControlParameterSpecialEntries) {
    SetImage(data, {{78, 1000}, {80, 500}, {83, 0}, {71, 0}, {72, 50}});
    ctrl->refresh();
    EXPECT_EQ(list(ctrl.get(), "p78List")->currentIndex(), 0);
    EXPECT_FALSE(field(ctrl.get(), "p78Field")->isEnabled());
    EXPECT_EQ(text(ctrl.get(), "p78Field"), "1000");
    EXPECT_EQ(list(ctrl.get(), "p80List")->currentIndex(), 1);
    EXPECT_TRUE(field(ctrl.get(), "p80Field")->isEnabled());
    EXPECT_EQ(list(ctrl.get(), "p83List")->currentIndex(), 0);
    EXPECT_EQ(list(ctrl.get(), "p71List")->currentIndex(), 0);
    EXPECT_EQ(text(ctrl.get(), "p71Field"), "0.00");
    EXPECT_EQ(list(ctrl.get(), "p72List")->currentIndex(), 1);

    pick(ctrl.get(), "p80List", 0);
    EXPECT_EQ(data.Working(80), 1000u);
    pick(ctrl.get(), "p82List", 0);
    EXPECT_EQ(data.Working(82), 1000u);
    pick(ctrl.get(), "p83List", 1);
    EXPECT_TRUE(field(ctrl.get(), "p83Field")->isEnabled());
    type(ctrl.get(), "p83Field", "400");
    EXPECT_EQ(data.Working(83), 300u);
    pick(ctrl.get(), "p83List", 0);
    EXPECT_EQ(data.Working(83), 0u);
    pick(ctrl.get(), "p72List", 0);
    EXPECT_EQ(data.Working(72), 0u);
    type(ctrl.get(), "p71Field", "0.054");
    EXPECT_EQ(data.Working(71), 5u);
    EXPECT_EQ(text(ctrl.get(), "p71Field"), "0.05");
}

TEST_F(PanelTest, TypedAndSpinRangesDiffer) {
    type(asmPanel.get(), "p46Field", "0");
    EXPECT_EQ(data.Working(46), 0u);
    field(asmPanel.get(), "p46Field")->stepBy(1);
    EXPECT_EQ(data.Working(46), 5u);
    EXPECT_EQ(text(asmPanel.get(), "p46Field"), "0.5");
    field(asmPanel.get(), "p46Field")->stepBy(-1);
    EXPECT_EQ(data.Working(46), 5u);
    type(asmPanel.get(), "p47Field", "500");
    EXPECT_EQ(data.Working(47), 4000u);
}

// In rpm display every frequency is shown and typed in rpm but stored in Hz.
TEST_F(PanelTest, RpmDisplayOfFrequencies) {
    SetImage(data, {{8, 2}});
    rated->refresh();
    asmPanel->refresh();
    EXPECT_EQ(text(rated.get(), "p91Field"), "24000");
    EXPECT_EQ(FindChild<QLabel>(rated.get(), "p91Unit")->text(), shell::T("rpm"));
    type(rated.get(), "p91Field", "1900");
    EXPECT_EQ(data.Working(91), 31u);
    EXPECT_EQ(text(rated.get(), "p91Field"), "1860");
    field(rated.get(), "p91Field")->stepBy(1);
    EXPECT_EQ(data.Working(91), 32u);
    EXPECT_EQ(FindChild<QLabel>(asmPanel.get(), "p104Unit")->text(), shell::T("rpm"));

    // Fixed frequencies lie between p41 and p42, in rpm p41 x 60 .. p42 x 60.
    SetImage(data, {{41, 50}, {42, 200}});
    data.SetMotorSel(0, 1);
    asmPanel->refresh();
    type(asmPanel.get(), "p104Field", "60000");
    EXPECT_EQ(data.Working(104), 200u);
    EXPECT_EQ(text(asmPanel.get(), "p104Field"), "12000");
    type(asmPanel.get(), "p105Field", "60");
    EXPECT_EQ(data.Working(105), 50u);
    EXPECT_EQ(text(asmPanel.get(), "p105Field"), "3000");

    SetImage(data, {{8, 1}});
    rated->refresh();
    EXPECT_EQ(FindChild<QLabel>(rated.get(), "p91Unit")->text(), shell::T("hz"));
}

// Pole count and sensor are list indexes with their own coding.
TEST_F(PanelTest, PolesAndSensorLists) {
    pick(rated.get(), "p96List", 2);
    EXPECT_EQ(data.Working(96), 6u);
    pick(rated.get(), "p85List", 2);
    EXPECT_TRUE(field(rated.get(), "p86Field")->isEnabled());
    pick(rated.get(), "p85List", 1);
    EXPECT_FALSE(field(rated.get(), "p86Field")->isEnabled());
    // A list value that is no entry leaves the list empty and the value alone.
    SetImage(data, {{50, 7}, {96, 8}});
    asmPanel->refresh();
    rated->refresh();
    EXPECT_EQ(list(asmPanel.get(), "p50List")->currentIndex(), -1);
    EXPECT_EQ(data.Working(50), 7u);
    EXPECT_EQ(list(rated.get(), "p96List")->currentIndex(), 3);
}

}  // namespace
}  // namespace velmora::pages::test
