// The trend window fed with recorded replies and messages on the offscreen
// platform: what the series hold, the event markers and log, pause and zoom,
// the switches, recording and export through the prompter.
#include "trend/trendwindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "journal/journal.h"
#include "model/drivedata.h"
#include "shell/fileidentity.h"
#include "shell/textcatalog.h"
#include "tests/support/recordedreplies.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"
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
    m_host->feed().linkState(true);
    m_now = kStart + 200;
    m_host->feed().driveStatus(1, 3);
    m_now = kStart + 300;
    m_host->feed().linkState(false);
    TrendWindow& window = openWindow();  // opened late: the earlier events are there
    m_now = kStart + 400;
    m_host->feed().frameMessage(shell::RunInActive{true});
    m_now = kStart + 500;
    m_host->feed().frameMessage(shell::RunInActive{true, 2});
    m_now = kStart + 600;
    m_host->feed().frameMessage(shell::LinkSuspend{true});
    m_now = kStart + 1000;
    window.redraw();

    EXPECT_EQ(Xs(window.chart()->markers(0)), std::vector<double>{kStart + 200.});
    EXPECT_EQ(Xs(window.chart()->markers(1)), std::vector<double>{kStart + 300.});
    EXPECT_EQ(Xs(window.chart()->markers(2)), (std::vector<double>{kStart + 400., kStart + 500.}));
    const QStringList log = window.logText().split('\n');
    ASSERT_EQ(log.size(), 6) << window.logText().toStdString();
    EXPECT_TRUE(log[0].endsWith("Link to the drive established"));
    // Class 1 is a warning, whatever headline number 3 has elsewhere.
    EXPECT_TRUE(log[1].contains("Warning 3: Overcurrent")) << log[1].toStdString();
    EXPECT_TRUE(log[2].endsWith("Link to the drive lost"));
    EXPECT_TRUE(log[3].endsWith("Run-in program started"));
    EXPECT_TRUE(log[4].endsWith("Run-in step 2"));
    EXPECT_TRUE(log[5].endsWith("Firmware download started"));
    const QPointF at = window.chart()->chart()->mapToPosition(QPointF(kStart + 200., 799),
                                                              window.chart()->line(0));
    EXPECT_TRUE(window.chart()->valuesAt(at).contains("Overcurrent"));
    // Markers too close for two labels keep the first one's.
    EXPECT_EQ(window.chart()->markerLabels(), QStringList{"Warning 3"});
    window.setPaused(true);
    EXPECT_EQ(window.findChild<QPushButton*>("trendPause")->text(), "Resume");
    window.setPaused(false);
    m_now = kStart + 30'000;
    m_host->feed().driveStatus(2, 4);
    window.redraw();
    EXPECT_TRUE(window.chart()->markerLabels().contains("Fault 4"));
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

// Catches a line drawn across a stretch without samples, two series in one
// colour, a legend cut short or a window widened by the pointer's readout at
// 800 pixels, and a readout left standing when the pointer has gone.
TEST_F(TrendWindowTest, GapsColoursAndTheWindowAt800Pixels) {
    TrendWindow& window = openWindow();
    window.resize(800, 560);
    reply(kStart);
    reply(kStart + 750);
    reply(kStart + 40'000);  // a run-in page without samples in between
    window.redraw();
    const auto& pieces = window.chart()->pieces(0);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(Xs(pieces[0]), (std::vector<double>{kStart + 0., kStart + 750.}));
    EXPECT_EQ(Xs(pieces[1]), std::vector<double>{kStart + 40'000.});

    std::set<QRgb> colours;
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        colours.insert(window.chart()->line(s)->pen().color().rgb());
        for (QLineSeries* piece : window.chart()->pieces(s))
            EXPECT_EQ(piece->pen().color(), window.chart()->line(s)->pen().color());
    }
    EXPECT_EQ(colours.size(), kSeriesCount);

    auto* pointer = window.findChild<QLabel*>("trendPointer");
    emit window.chart()->pointerValues(
        QString("12:00:00.000  |  Actual speed 48000 rpm").repeated(8));
    QCoreApplication::processEvents();
    EXPECT_LE(window.minimumSizeHint().width(), 800);
    EXPECT_EQ(window.width(), 800);
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        const auto* entry = window.findChild<QCheckBox*>(QString("trendShow%1").arg(s));
        EXPECT_GE(entry->width(), entry->sizeHint().width()) << entry->text().toStdString();
        EXPECT_LE(entry->geometry().right(), 800);
    }
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(window.chart(), &leave);
    EXPECT_TRUE(pointer->text().isEmpty());
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
    m_data.StoreReply(test::IdentityReply(4711));
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
    std::vector<std::string> about;
    while (std::getline(in, header) && header.starts_with("# ")) about.push_back(header);
    EXPECT_EQ(about.size(), 5u);
    EXPECT_EQ(about.at(0), "# serial: 4711");
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
    const QImage image(QString::fromStdString(png.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.text("Serial"), "4711");
    EXPECT_EQ(image.text("Firmware"), "1.23");
    EXPECT_EQ(image.text("Software"), shell::ToolVersion());
    const QRegularExpression iso(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$)");
    EXPECT_TRUE(iso.match(image.text("Creation Time")).hasMatch())
        << image.text("Creation Time").toStdString();
}

}  // namespace
}  // namespace velmora::trend

namespace velmora::trend {
namespace {

// Catches warnings called errors, starts, stops, direction changes and
// cleared faults missing from the log, entries of another drive, and a log
// that is lost with the program or the language.
TEST_F(TrendWindowTest, TheEventLogListsTheDrivesJournal) {
    using journal::EntryKind;
    namespace outcome = journal::outcome;
    const auto file = m_work.path() / "journal.sqlite";
    {  // an earlier run of the program
        journal::Journal earlier(journal::Origin{"host", "user", "velmora-tool 0.9"}, file);
        earlier.recordFault(4711, true, 1, 3);
        earlier.recordAction(4711, EntryKind::Start, "start", outcome::kAnswered);
        earlier.recordWrite(4711, "p146", "0", "1", outcome::kAnswered, EntryKind::Direction);
        earlier.recordFault(4711, false, 1, 3);
        earlier.recordRunInStart(4711, "bearing.ini");
        earlier.recordAction(4711, EntryKind::Stop, "stop", outcome::kRefused);
        earlier.recordAction(4712, EntryKind::Reset, "reset", outcome::kAnswered);
        earlier.flush();
    }
    journal::Journal journal(journal::Origin{}, file);
    auto* host = new TrendHost(&m_frame, m_frame.menuBar(), m_data, &journal);
    host->feed().setClock([this] { return m_now; });
    m_now = QDateTime::currentMSecsSinceEpoch();
    m_data.StoreReply(test::IdentityReply(4711));
    host->showWindow();
    TrendWindow& window = *host->window();
    VELMORA_TRY_VERIFY(window.logText().contains("Motor stopped (refused)"));
    QStringList log = window.logText().split('\n');
    for (QString& line : log) line = line.mid(25);  // after the time
    EXPECT_EQ(log, (QStringList{"Warning 3: Overcurrent: the output current exceeded the limit. "
                                "Check the motor cable and the motor.",
                                "Motor started",
                                "Direction of rotation set from Clockwise to Counter-clockwise",
                                "Warning 3 cleared", "Run-in program bearing.ini started",
                                "Motor stopped (refused)"}));

    // A language switch restarts the program with the other catalogue.
    window.hide();
    shell::TextCatalog::instance().resetForTest();
    shell::TextCatalog::instance().load(2);
    window.show();
    VELMORA_TRY_VERIFY(window.logText().contains("Motor gestartet"));
    EXPECT_FALSE(window.logText().contains("Motor started"));
}

}  // namespace
}  // namespace velmora::trend
