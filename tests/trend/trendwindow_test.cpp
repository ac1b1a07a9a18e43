// The trend window fed with recorded replies and messages on the offscreen
// platform: what the series hold, the event markers and log, pause and zoom,
// the switches, recording and export through the prompter.
#include "trend/trendwindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineSeries>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "link/messages.h"
#include "model/drivedata.h"
#include "shell/textcatalog.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"
#include "tests/trend/recordedreplies.h"
#include "trend/trendfeed.h"
#include "trend/trendhost.h"

namespace velmora::trend {
namespace {

constexpr std::int64_t kStart = 1'700'000'000'000;

class TrendWindowTest : public ::testing::Test {
  protected:
    TrendWindowTest() : m_work("trend-window") {
        std::filesystem::create_directory_symlink(
            std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
            m_work.path() / "data_language");
        shell::TextCatalog::instance().resetForTest();
        shell::TextCatalog::instance().load(1);
        m_host = new TrendHost(&m_frame, m_frame.menuBar(), m_data);
        m_host->feed().setClock([this] { return m_now; });
        m_data.StoreReply(test::BasicGroupReply(1));  // speeds in Hz
    }
    // Opened as the menu entry opens it.
    TrendWindow& openWindow() {
        m_host->showAction()->trigger();
        return *m_host->window();
    }
    ~TrendWindowTest() override { shell::TextCatalog::instance().resetForTest(); }

    void reply(std::int64_t at, std::uint8_t actualLow = 0x1F) {
        m_now = at;
        m_data.StoreReply(test::OperatingValuesReply(actualLow));
    }
    static std::vector<double> Ys(const QLineSeries* line) {
        std::vector<double> ys;
        for (const QPointF& p : line->points()) ys.push_back(p.y());
        return ys;
    }
    static std::vector<double> Xs(const QXYSeries* series) {
        std::vector<double> xs;
        for (const QPointF& p : series->points()) xs.push_back(p.x());
        return xs;
    }

    testkit::WorkFolder m_work;
    testkit::ScriptedPrompter m_prompter;
    model::DriveData m_data;
    QMainWindow m_frame;
    TrendHost* m_host = nullptr;  // owned by the frame
    std::int64_t m_now = kStart;
};

// Catches values taken from the wrong field or scaled wrongly, samples lost
// between replies, and a window that does not end at the present.
TEST_F(TrendWindowTest, SeriesHoldTheRepliesValuesAtTheirTimes) {
    TrendWindow& window = openWindow();
    reply(kStart + 1000, 0x1F);
    reply(kStart + 1500, 0x20);
    reply(kStart + 2000, 0x21);
    m_now = kStart + 2500;
    window.redraw();
    TrendChart* chart = window.chart();
    EXPECT_EQ(Ys(chart->line(0)), (std::vector<double>{799, 800, 801}));
    EXPECT_EQ(Xs(chart->line(0)),
              (std::vector<double>{kStart + 1000., kStart + 1500., kStart + 2000.}));
    EXPECT_EQ(Ys(chart->line(1)), (std::vector<double>{800, 800, 800}));
    EXPECT_NEAR(chart->line(2)->points().at(0).y(), 12.34, 1e-4);
    EXPECT_NEAR(chart->line(3)->points().at(0).y(), 240.0, 1e-4);
    EXPECT_NEAR(chart->line(4)->points().at(0).y(), 241.0, 1e-4);
    EXPECT_NEAR(chart->line(5)->points().at(0).y(), 777.7, 1e-3);
    EXPECT_EQ(window.timeWindow().endMs, kStart + 2500);
    EXPECT_EQ(window.timeWindow().spanMs, 60'000);
    EXPECT_TRUE(chart->line(0)->name().endsWith("[Hz]")) << chart->line(0)->name().toStdString();

    // rpm display: the same samples shown times 60, the unit in the legend.
    m_data.StoreReply(test::BasicGroupReply(2));
    reply(kStart + 2600);
    window.redraw();
    EXPECT_EQ(Ys(chart->line(0)).front(), 799 * 60.0);
    EXPECT_TRUE(chart->line(0)->name().endsWith("[rpm]"));

    // The values under the pointer: the nearest sample, in its units.
    const QPointF at =
        chart->chart()->mapToPosition(QPointF(kStart + 1480., 800 * 60.), chart->line(0));
    const QString shown = chart->valuesAt(at);
    EXPECT_TRUE(shown.contains("Actual speed 48000 rpm")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Output current 12.34 A AC")) << shown.toStdString();
}

// Catches events that never reach the plot or the log, markers of events
// that are only listed, and log lines without their texts.
TEST_F(TrendWindowTest, FaultsLinkLossesAndRunInStepsAreMarkedAndLogged) {
    reply(kStart);
    m_now = kStart + 100;
    m_host->feed().frameMessage(link::WM_DRIVE_LINK_STATE, 1);
    m_now = kStart + 200;
    m_host->feed().driveStatus(1, 3);
    m_now = kStart + 300;
    m_host->feed().frameMessage(link::WM_DRIVE_LINK_STATE, 0);
    TrendWindow& window = openWindow();  // opened late: the earlier events are there
    m_now = kStart + 400;
    m_host->feed().frameMessage(link::WM_RUNIN_ACTIVE, 1);
    m_now = kStart + 500;
    m_host->feed().frameMessage(link::WM_RUNIN_ACTIVE, link::RunInStepMessage(2));
    m_now = kStart + 600;
    m_host->feed().frameMessage(link::WM_LINK_SUSPEND, 1);
    m_now = kStart + 1000;
    window.redraw();

    EXPECT_EQ(Xs(window.chart()->markers(0)), std::vector<double>{kStart + 200.});
    EXPECT_EQ(Xs(window.chart()->markers(1)), std::vector<double>{kStart + 300.});
    EXPECT_EQ(Xs(window.chart()->markers(2)), (std::vector<double>{kStart + 400., kStart + 500.}));
    const QStringList log = window.logText().split('\n');
    ASSERT_EQ(log.size(), 6) << window.logText().toStdString();
    EXPECT_TRUE(log[0].endsWith("Link to the drive established"));
    EXPECT_TRUE(log[1].contains("Error 3 (class 1): Overcurrent")) << log[1].toStdString();
    EXPECT_TRUE(log[2].endsWith("Link to the drive lost"));
    EXPECT_TRUE(log[3].endsWith("Run-in program started"));
    EXPECT_TRUE(log[4].endsWith("Run-in step 2"));
    EXPECT_TRUE(log[5].endsWith("Firmware download started"));
    const QPointF at = window.chart()->chart()->mapToPosition(QPointF(kStart + 200., 799),
                                                              window.chart()->line(0));
    EXPECT_TRUE(window.chart()->valuesAt(at).contains("Overcurrent"));
}

// Catches a paused view that keeps scrolling, a zoom that loses the time
// under the pointer, a switch that leaves its axis behind, and a 30-minute
// ring drawn point by point or without its spike.
TEST_F(TrendWindowTest, PauseZoomSwitchesAndAFullRing) {
    TrendWindow& window = openWindow();
    reply(kStart);
    window.setPaused(true);
    window.redraw();
    reply(kStart + 5000);
    window.redraw();
    EXPECT_EQ(window.timeWindow().endMs, kStart);
    window.zoomTo(30'000, kStart - 30'000);  // the pointer in the middle stays there
    EXPECT_EQ(window.timeWindow().spanMs, 30'000);
    EXPECT_EQ(window.timeWindow().endMs, kStart - 15'000);
    window.zoomTo(10 * 60'000, kStart);  // never wider than the span chosen
    EXPECT_EQ(window.timeWindow().spanMs, 60'000);
    EXPECT_EQ(window.timeWindow().endMs, kStart);
    window.setPaused(false);
    EXPECT_EQ(window.timeWindow().endMs, kStart + 5000);

    window.findChild<QCheckBox*>("trendShow5")->setChecked(false);
    EXPECT_FALSE(window.chart()->line(5)->isVisible());
    auto* powerAxis = qobject_cast<QValueAxis*>(window.chart()->line(5)->attachedAxes().at(1));
    EXPECT_FALSE(powerAxis->isVisible());

    window.setRangeMinutes(30);
    for (int i = 0; i < 17'000; ++i) reply(kStart + 10'000 + i * 110, i == 9000 ? 0xFF : 0x1F);
    window.redraw();
    const auto ys = Ys(window.chart()->line(0));
    EXPECT_LT(ys.size(), 4000u);
    EXPECT_EQ(*std::max_element(ys.begin(), ys.end()), 0x3FF);
    EXPECT_EQ(m_host->feed().core().samples().size(), kRingCapacity);
}

// Catches a recording that cannot start without a word, a trend that stops
// with it, and an export that writes no image.
TEST_F(TrendWindowTest, RecordingAndExportGoThroughThePrompter) {
    TrendWindow& window = openWindow();
    auto* record = window.findChild<QPushButton*>("trendRecord");
    m_prompter.fileAnswers = {QString::fromStdString((m_work.path() / "no" / "t.csv").string())};
    record->click();
    EXPECT_FALSE(m_host->feed().recording());
    EXPECT_EQ(record->text(), "Record");
    VELMORA_TRY_VERIFY(m_prompter.fileErrors.size() == 1);
    EXPECT_TRUE(m_prompter.fileErrors[0].endsWith("t.csv: No such file or directory"))
        << m_prompter.fileErrors[0].toStdString();
    reply(kStart + 100);
    EXPECT_EQ(m_host->feed().core().samples().size(), 1u);

    const auto csv = m_work.path() / "t.csv";
    m_prompter.fileAnswers = {QString::fromStdString(csv.string())};
    record->click();
    ASSERT_TRUE(m_host->feed().recording());
    EXPECT_EQ(record->text(), "Stop recording");
    reply(kStart + 2000);
    reply(kStart + 2500);
    record->click();
    EXPECT_FALSE(m_host->feed().recording());
    std::ifstream in(csv);
    std::string header, line;
    std::getline(in, header);
    EXPECT_EQ(header,
              "Time,Actual speed [Hz],Speed set-point [Hz],Output current [A AC],"
              "Output voltage [V AC],Supply voltage [V AC],Output power [W]");
    int lines = 0;
    while (std::getline(in, line)) ++lines;
    EXPECT_EQ(lines, 2);

    const auto png = m_work.path() / "trend.png";
    m_prompter.fileAnswers = {QString::fromStdString(png.string())};
    window.resize(800, 500);
    window.findChild<QPushButton*>("trendExport")->click();
    std::ifstream image(png, std::ios::binary);
    char magic[4] = {};
    image.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

}  // namespace
}  // namespace velmora::trend
