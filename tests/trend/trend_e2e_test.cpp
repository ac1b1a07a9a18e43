// The real window in demo mode against the simulated drive: the trend opened
// with Ctrl+T records the live operating values, also while its window is
// closed, and the CSV file reads back as written.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineSeries>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "model/commands.h"
#include "model/linkeddrive.h"
#include "shell/textcatalog.h"
#include "sim/driveserver.h"
#include "tests/support/demoframe.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"
#include "trend/trendfeed.h"
#include "trend/trendhost.h"
#include "trend/trendwindow.h"

namespace velmora::trend {
namespace {

std::vector<QStringList> ReadCsv(const std::filesystem::path& path) {
    std::vector<QStringList> rows;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with('#'))  // the drive's identity, before the columns
            rows.push_back(QString::fromStdString(line).split(','));
    }
    return rows;
}

TEST(TrendWithDrive, RecordsTheLiveValuesWhileTheWindowIsClosed) {
    testkit::WorkFolder work("trend-e2e");
    std::filesystem::create_directory_symlink(
        std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
        work.path() / "data_language");
    shell::TextCatalog::instance().resetForTest();
    testkit::ScriptedPrompter prompter;
    const auto csv = work.path() / "spindle.csv";
    {
        testkit::DemoFrame demo;
        ASSERT_TRUE(demo.started);
        frame::CMainFrame& frame = *demo.frame;
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(frame.allGroupsRead(), 10000);

        QTest::keyClick(&frame, Qt::Key_T, Qt::ControlModifier);
        auto* window = frame.findChild<TrendWindow*>("trendWindow");
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        prompter.fileAnswers = {QString::fromStdString(csv.string())};
        window->findChild<QPushButton*>("trendRecord")->click();
        ASSERT_TRUE(std::filesystem::exists(csv));
        ASSERT_EQ(demo.drive.link.sendRequest(model::BuildAction(model::code::StartMotor)), 0);

        // Lines reach the file while it is open: at most a second behind.
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(ReadCsv(csv).size() >= 4, 10000);
        window->close();
        const std::size_t atClose = ReadCsv(csv).size();
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(ReadCsv(csv).size() >= atClose + 4, 10000);
        EXPECT_FALSE(window->isVisible());

        auto* menuEntry = frame.findChild<QAction*>("trendShowAction");
        ASSERT_NE(menuEntry, nullptr);
        menuEntry->trigger();
        EXPECT_TRUE(window->isVisible());
        EXPECT_GT(window->chart()->line(0)->count(), 0);
        window->findChild<QPushButton*>("trendRecord")->click();
    }
    shell::TextCatalog::instance().resetForTest();

    const auto rows = ReadCsv(csv);
    ASSERT_GE(rows.size(), 8u);
    EXPECT_EQ(rows[0].size(), 7);
    EXPECT_EQ(rows[0][0], "Time");
    const QRegularExpression iso(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)");
    QString previous;
    double fastest = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 7) << i;
        EXPECT_TRUE(iso.match(rows[i][0]).hasMatch()) << rows[i][0].toStdString();
        EXPECT_GE(rows[i][0], previous);  // same offset: text order is time order
        previous = rows[i][0];
        for (int column = 1; column < 7; ++column) {
            bool ok = false;
            rows[i][column].toDouble(&ok);
            EXPECT_TRUE(ok) << rows[i][column].toStdString();
        }
        fastest = std::max(fastest, rows[i][1].toDouble());
    }
    EXPECT_GT(fastest, 0) << "the spindle was started";
    EXPECT_TRUE(prompter.fileErrors.isEmpty());
}

// Catches a trend without samples while a page that polls only the status
// (here the motor page) is in front.
TEST(TrendWithDrive, SamplesOnAPageThatDoesNotShowTheValues) {
    testkit::WorkFolder work("trend-e2e-pages");
    std::filesystem::create_directory_symlink(
        std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
        work.path() / "data_language");
    shell::TextCatalog::instance().resetForTest();
    testkit::ScriptedPrompter prompter;
    {
        testkit::DemoFrame demo;
        ASSERT_TRUE(demo.started);
        frame::CMainFrame& frame = *demo.frame;
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(frame.allGroupsRead(), 10000);
        frame.sheet()->setCurrentIndex(3);  // the motor page
        ASSERT_EQ(frame.sheet()->currentIndex(), 3);
        QTest::keyClick(&frame, Qt::Key_T, Qt::ControlModifier);
        const auto& samples = frame.findChild<TrendHost*>()->feed().core().samples();
        const std::size_t before = samples.size();
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(samples.size() >= before + 3, 10000);
        EXPECT_EQ(frame.sheet()->currentIndex(), 3);
    }
    shell::TextCatalog::instance().resetForTest();
}

}  // namespace
}  // namespace velmora::trend
