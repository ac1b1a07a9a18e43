#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <algorithm>
#include <memory>

#include "pages/common/stepedit.h"
#include "pages/motor/paramrows.h"
#include "pages/motor/vhzgeometry.h"
#include "pages/motor/vhztabledlg.h"
#include "shell/textcatalog.h"
#include "tests/support/asyncmotor.h"
#include "tests/support/motorpagefixture.h"
#include "tests/support/shippedcatalog.h"

namespace velmora::pages::test {
namespace {

class VHzTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        LoadAsyncMotor(data);
        panel = std::make_unique<CVHzTableDlg>(nullptr, data);
        panel->applyTexts();
        panel->show();  // refreshes itself
    }
    SpinField* field(int parameter) {
        const std::string name = "p" + std::to_string(parameter) + "Field";
        auto* f = FindChild<SpinField>(panel.get(), name.c_str());
        EXPECT_NE(f, nullptr) << parameter;
        return f;
    }
    void type(int parameter, const char* text) {
        field(parameter)->setFieldText(QString::fromLatin1(text));
        emit field(parameter)->editingFinished();
    }
    QString text(int parameter) { return field(parameter)->fieldText(); }
    QImage grab() { return panel->grab().toImage(); }

    model::DriveData data;
    std::unique_ptr<CVHzTableDlg> panel;
};

// Each frequency is stored in Hz and clamped to 30..4000 Hz whatever unit is shown.
TEST_F(VHzTableTest, FrequencyCommitAndSpinInHzAndRpm) {
    type(61, "5000");
    EXPECT_EQ(data.Working(61), 4000u);
    EXPECT_EQ(text(61), "4000");
    type(61, "30");
    field(61)->stepBy(-1);
    EXPECT_EQ(data.Working(61), 30u);
    type(61, "0");
    field(61)->stepBy(-1);
    EXPECT_EQ(data.Working(61), 30u);
    type(61, "4000");
    field(61)->stepBy(1);
    EXPECT_EQ(data.Working(61), 4000u);

    SetImage(data, {{8, 2}});
    panel->refresh();
    EXPECT_EQ(FindChild<QLabel>(panel.get(), "p61Unit")->text(), shell::T("rpm"));
    type(61, "300000");
    EXPECT_EQ(data.Working(61), 4000u);
    EXPECT_EQ(text(61), QString::number(4000 * 60));
    type(63, "1900");
    EXPECT_EQ(data.Working(63), 31u);
    EXPECT_EQ(text(63), "1860");
    field(63)->stepBy(1);
    EXPECT_EQ(data.Working(63), 32u);
    EXPECT_EQ(text(63), "1920");
}

TEST_F(VHzTableTest, VoltageKeepsTwoDecimalsAndShowsOne) {
    type(60, "12.34");
    EXPECT_EQ(data.Working(60), 1234u);
    EXPECT_EQ(text(60), "12.3");
    type(62, "77");
    EXPECT_EQ(data.Working(62), 5000u);
    type(64, "0");
    field(64)->stepBy(-1);
    EXPECT_EQ(data.Working(64), 0u);
    field(64)->stepBy(1);
    EXPECT_EQ(data.Working(64), 10u);
}

// "xyz" leaves the voltage (it stored 0.0 V); German takes the comma too.
TEST_F(VHzTableTest, VoltageTextsThatAreNotNumbersAreRefused) {
    type(62, "12.5");
    type(62, "xyz");
    EXPECT_TRUE(data.Working(62) == 1250u && text(62) == "12.5");
    {
        testkit::ShippedCatalog german(2);
        type(62, "2,5");
        EXPECT_EQ(data.Working(62), 250u);
    }
    shell::TextCatalog::instance().load(1);  // what the other tests read
}

// Refresh clamps out-of-range values from the drive or a file and stores them back.
TEST_F(VHzTableTest, RefreshClampsStoredValues) {
    SetImage(data, {{61, 5}, {66, 9000}});
    panel->refresh();
    EXPECT_EQ(data.Working(61), 30u);
    EXPECT_EQ(data.Working(66), 5000u);
}

TEST(VHzGeometryTest, PixelsOfTheCurveTicksAndLabels) {
    const VHzGeometry g = ComputeVHzGeometry({{10, 20, 40, 40}, {100, 200, 400}});
    EXPECT_EQ(g.curve[0], (GraphPoint{260, 287}));  // 360 - 290 * 10 / 40 = 287.5
    EXPECT_EQ(g.curve[1], (GraphPoint{355, 215}));
    EXPECT_EQ(g.curve[2], (GraphPoint{450, 70}));
    EXPECT_EQ(g.curve[3], (GraphPoint{640, 70}));
    EXPECT_EQ(g.frequencyTicks, (std::array<int, 4>{260, 355, 450, 640}));
    EXPECT_EQ(g.voltageTicks, (std::array<int, 5>{360, 287, 215, 70, 70}));
    EXPECT_EQ(g.frequencyLabels[1], (GraphPoint{343, 365}));
    EXPECT_EQ(g.voltageLabels[2], (GraphPoint{225, 207}));

    // All zero: the curve lies on the axes, no division by zero.
    const VHzGeometry zero = ComputeVHzGeometry({{0, 0, 0, 0}, {0, 0, 0}});
    for (const GraphPoint& p : zero.curve) EXPECT_EQ(p.y, 360);
    EXPECT_EQ(zero.curve[1].x, 260);

    std::array<std::uint32_t, 3> f{300, 200, 100};
    EXPECT_TRUE(MakeNonDecreasing(f));
    EXPECT_EQ(f, (std::array<std::uint32_t, 3>{300, 300, 300}));
    EXPECT_FALSE(MakeNonDecreasing(f));
}

// Uncommitted texts may hold any finite number (negative, huge, frequencies
// out of order, which the panel puts in order first): the curve still runs
// from the origin column to the right edge with its points left to right,
// a higher voltage never lies lower, and voltages from 0 to the highest stay
// between the axis and the top.
class VHzGeometryGarbageTest : public ::testing::TestWithParam<VHzValues> {};

TEST_P(VHzGeometryGarbageTest, PointsKeepTheirOrderInsideTheGraph) {
    VHzValues values = GetParam();
    MakeNonDecreasing(values.frequencies);
    const VHzGeometry g = ComputeVHzGeometry(values);
    EXPECT_EQ(g.curve[0].x, vhz::kOriginX);
    EXPECT_EQ(g.curve[3].x, vhz::kRightX);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_LE(g.curve[i - 1].x, g.curve[i].x) << i;
    const double highest = *std::max_element(values.voltages.begin(), values.voltages.end());
    for (std::size_t i = 0; i < 4; ++i) {
        const double u = values.voltages[i];
        if (u >= 0) {
            EXPECT_LE(g.curve[i].y, vhz::kOriginY) << i;
            EXPECT_GE(g.curve[i].y, vhz::kTopY) << i;
        }
        if (u == highest && u > 0) {
            EXPECT_EQ(g.curve[i].y, vhz::kTopY) << i;
        }
        for (std::size_t j = 0; j < 4; ++j) {
            if (u < values.voltages[j]) {
                EXPECT_GE(g.curve[i].y, g.curve[j].y) << i << " " << j;
            }
        }
    }
}
INSTANTIATE_TEST_SUITE_P(
    Tables, VHzGeometryGarbageTest,
    ::testing::Values(VHzValues{{-1e30, 1, 0, 0}, {0, 0, 4000000000u}},
                      VHzValues{{1e300, 0, 1, 1e-300}, {4000000000u, 4000000000u, 4000000000u}},
                      VHzValues{{-5, -1e300, 1e300, 7}, {300, 200, 100}},
                      VHzValues{{-1.7e308, 6e305, 1.7e308, 1}, {0, 1, 2}},
                      VHzValues{{0.5, 0.25, 0, 0}, {1, 0xFFFFFFFFu, 0xFFFFFFFFu}},
                      VHzValues{{400, 400, 400, 400}, {0, 1, 2}}));

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 96;
}

bool DarkNear(const QImage& image, int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (Dark(image, x + dx, y + dy)) return true;
    return false;
}

// The graph must show the table: axes, curve points, ticks and markers at
// their computed pixels, with the markers drawn over the lines.
TEST_F(VHzTableTest, GraphIsDrawnAtTheComputedPixels) {
    ASSERT_EQ(panel->logicalDpiX(), 96);
    SetImage(data,
             {{60, 1000}, {61, 100}, {62, 2000}, {63, 200}, {64, 4000}, {65, 400}, {66, 4000}});
    panel->refresh();
    const QImage image = grab();
    const VHzGeometry g = ComputeVHzGeometry({{10, 20, 40, 40}, {100, 200, 400}});
    EXPECT_TRUE(Dark(image, 260, 200));       // voltage axis
    EXPECT_TRUE(Dark(image, 500, 360));       // frequency axis
    EXPECT_FALSE(DarkNear(image, 500, 300));  // empty graph area
    for (int x : {g.frequencyTicks[1], g.frequencyTicks[2]}) {
        EXPECT_TRUE(Dark(image, x, 362)) << "tick at " << x;
        EXPECT_TRUE(Dark(image, x, 358)) << "tick at " << x;
    }
    // U0's tick lies under its marker; U1's stands free on the axis.
    EXPECT_TRUE(Dark(image, 258, g.voltageTicks[2]));
    EXPECT_TRUE(Dark(image, 262, g.voltageTicks[2]));
    EXPECT_FALSE(Dark(image, 266, g.voltageTicks[2]));
    for (const GraphPoint& p : g.curve) {
        EXPECT_TRUE(Dark(image, p.x - 4, p.y)) << p.x << "," << p.y;  // marker's left edge
        EXPECT_TRUE(Dark(image, p.x, p.y - 4)) << p.x << "," << p.y;  // top edge
        EXPECT_EQ(image.pixel(p.x, p.y), qRgb(255, 255, 255)) << "marker covers the line";
    }
    // Midway between the second and third point the curve passes.
    EXPECT_TRUE(
        DarkNear(image, (g.curve[1].x + g.curve[2].x) / 2, (g.curve[1].y + g.curve[2].y) / 2));
}

// f2 typed below f1 shows as f1 in the table and the graph after the next paint.
TEST_F(VHzTableTest, FrequenciesAreMadeNonDecreasing) {
    SetImage(data, {{61, 300}, {63, 200}, {65, 400}});
    panel->refresh();
    (void)grab();
    EXPECT_EQ(text(63), "300");
    EXPECT_EQ(data.Working(63), 200u);  // stored when the field is next committed
    emit field(63)->editingFinished();
    EXPECT_EQ(data.Working(63), 300u);

    // All voltages 0 and the frequencies at their lowest: drawn on the axis.
    SetImage(data, {{60, 0}, {62, 0}, {64, 0}, {66, 0}});
    panel->refresh();
    const QImage image = grab();
    EXPECT_EQ(image.pixel(640, 360), qRgb(255, 255, 255));  // the last marker's inside
    EXPECT_TRUE(Dark(image, 636, 360));
}

}  // namespace
}  // namespace velmora::pages::test
