// The real window in demo mode against the simulated drive under line noise,
// lost bytes, unplugged cables, injected faults and motor starts and
// stops. Prints what happened and fails (exit 1) on a missed recovery or
// memory growth over 2 MB.
//
//   velmora-soak [--minutes M] [--unplug-every S] [--verbose]
//   velmora-soak --probe [--seconds S]   window-thread latency while a
//                                       firmware transfer, a run-in program
//                                       and the live polling run
//   velmora-soak --trend [--seconds S] [--no-trend]
//                                       latency and CPU with the trend open on
//                                       30 minutes of history and recording
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "link/drivelink.h"
#include "model/commands.h"
#include "model/linkeddrive.h"
#include "pages/runin/runinpage.h"
#include "pages/specificprog/firmwareupdatedialog.h"
#include "pages/specificprog/specificprogpage.h"
#include "shell/faultpopup.h"
#include "shell/prompter.h"
#include "sim/driveserver.h"
#include "soakprobe.h"
#include "timedapplication.h"
#include "trendload.h"

namespace {

using namespace velmora;

// Answers every question at once: nothing modal may stop a soak.
class QuietPrompter : public shell::Prompter {
  public:
    void inform(QWidget*, const QString& text) override {
        ++informs;
        if (!informTexts.contains(text)) informTexts << text;
    }
    bool confirm(QWidget*, const QString&, shell::EnterAnswer) override { return true; }
    int choose(QWidget*, const QString&, const QStringList&, int enterAnswer, int) override {
        return enterAnswer;
    }
    QString chooseOpenFile(QWidget*, const shell::FileChoice&) override {
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString chooseSaveFile(QWidget*, const shell::FileChoice&) override { return {}; }
    void fileError(QWidget*, const QString&, const QString&) override { ++fileErrors; }
    void restartProgram(const QString&, const QStringList&) override {}
    int informs = 0;
    QStringList informTexts;
    int fileErrors = 0;
    QStringList files;
};

struct Options {
    double minutes = 30;
    int unplugEvery = 180;
    bool probe = false;
    bool trend = false;
    bool withTrend = true;
    bool verbose = false;
    int probeSeconds = 60;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&] { return i + 1 < argc ? std::strtod(argv[++i], nullptr) : 0.0; };
        if (a == "--minutes")
            o.minutes = std::max(0.1, next());
        else if (a == "--unplug-every")
            o.unplugEvery = std::max(2, static_cast<int>(next()));
        else if (a == "--probe")
            o.probe = true;
        else if (a == "--trend")
            o.trend = true;
        else if (a == "--no-trend")
            o.withTrend = false;
        else if (a == "--seconds")
            o.probeSeconds = std::max(10, static_cast<int>(next()));
        else if (a == "--verbose")
            o.verbose = true;
    }
    return o;
}

// A working folder holding the shipped languages and run-in programs; the
// caller removes it (remove_all takes the links, not what they point to).
std::filesystem::path enterDataFolder() {
    const auto dir =
        std::filesystem::temp_directory_path() / ("velmora-soak-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path data = VELMORA_SOURCE_DIR "/data";
    for (const char* name : {"data_language", "data_runin"}) {
        std::error_code ignored;
        std::filesystem::create_directory_symlink(data / name, dir / name, ignored);
    }
    std::filesystem::current_path(dir);
    return dir;
}

QString writeImage(const char* name, int size) {
    QFile file(QDir::current().filePath(name));
    file.open(QIODevice::WriteOnly);
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char(i * 7 + 3);
    file.write(bytes);
    return file.fileName();
}

void printLatency(const bench::TimedApplication& app, const bench::SoakProbe& probe,
                  const char* what) {
    const auto& l = probe.lateness();
    std::printf(
        "%s: window-thread timer lateness over %llu beats: median %.2f ms, p99 %.2f ms, worst %.2f "
        "ms\n",
        what, static_cast<unsigned long long>(l.count()), l.percentile(50), l.percentile(99),
        l.worst());
    std::printf("the latest beat came %.1f s after the start\n", probe.worstBeatAt() / 1000.0);
    const auto& slowest = app.slowest();
    std::printf("slowest event handled: %.2f ms (type %d to %s) %.1f s after the start\n",
                slowest.ms, slowest.type, qPrintable(slowest.receiver), slowest.atMs / 1000.0);
}

int runProbe(bench::TimedApplication& app, frame::CMainFrame& frame, bench::SoakProbe& probe,
             QuietPrompter& prompter, const Options& options) {
    auto* runIn = frame.findChild<pages::CRunInPage*>();
    auto* specific = frame.findChild<pages::CSpecificProgPage*>();
    QTimer::singleShot(8000, [&] {
        // Live polling of the control page is running; add a run-in program and a
        // 64 KB firmware transfer.
        if (runIn) runIn->startPressed();
        if (specific) {
            prompter.files = {writeImage("loader.bin", 2000), writeImage("update.bin", 65536)};
            auto* firmware = specific->firmwarePanel();
            firmware->chooseLoader();
            firmware->chooseUpdate();
            firmware->startDownload();
        }
    });
    QTimer::singleShot(options.probeSeconds * 1000, &app, &QApplication::quit);
    app.exec();
    printLatency(app, probe, "under load (live polling + run-in + firmware transfer)");
    std::printf("messages handled: %ld, firmware popups: %d\n", probe.messagesHandled(),
                prompter.informs);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::TimedApplication app(argc, argv);
    const Options options = parse(argc, argv);
    const auto workFolder = enterDataFolder();
    QuietPrompter prompter;
    shell::setPrompter(&prompter);

    app::DemoDrive demo;
    if (!demo.start()) {
        std::fprintf(stderr, "no pseudo-terminal for the simulated drive\n");
        return 2;
    }
    model::LinkedDrive linked;
    linked.link.serial().UseFixedDevice(demo.devicePath());
    frame::FrameOptions frameOptions;
    frameOptions.fixedDevice = true;
    auto* frame = new frame::CMainFrame(linked.link, linked.data, frameOptions);
    bench::SoakProbe probe(frame);
    probe.setVerbose(options.verbose);
    for (auto* popup : frame->findChildren<shell::FaultPopup*>()) probe.watchPopup(popup);
    frame->show();
    QTimer::singleShot(2000, [&app] { app.resetSlowest(); });  // as the probe's warm-up

    int status = 0;
    if (options.trend) {
        const std::string csv = (workFolder / "trend.csv").string();
        status = bench::RunTrendLoad(app, *frame, probe, options.withTrend, csv.c_str(),
                                     options.probeSeconds);
    } else if (options.probe) {
        status = runProbe(app, *frame, probe, prompter, options);
    } else {
        auto& drive = demo.server();
        drive.command("noise 0.0005");
        drive.command("drop 0.02");
        const long rssStart = bench::ResidentKb();
        long rssAfterWarmUp = -1;
        int unplugs = 0, noticed = 0, recovered = 0, second = 0;
        qint64 worstNotice = 0, worstRecovery = 0, unplugAt = -1, noticedAt = -1;
        bool wasConnected = true;
        int lossesAtUnplug = 0, recoveriesAtUnplug = 0;
        const int unplugSeconds = 10;
        const int faults[][2] = {{1, 3}, {2, 45}, {1, 11}, {3, 52}, {2, 20}, {1, 5}};
        QTimer clock;
        QObject::connect(&clock, &QTimer::timeout, [&] {
            ++second;
            if (second == 60) rssAfterWarmUp = bench::ResidentKb();
            if (second % options.unplugEvery == options.unplugEvery / 2) {
                drive.command("unplug " + std::to_string(unplugSeconds));
                unplugAt = probe.now();
                noticedAt = -1;
                wasConnected = probe.connected();
                lossesAtUnplug = probe.losses();
                recoveriesAtUnplug = probe.recoveries();
                ++unplugs;
                if (options.verbose)
                    std::printf("%8.1f s  unplugged for %d s\n", unplugAt / 1000.0, unplugSeconds);
            }
            // A loss reported before the unplug (the line faults can cause one)
            // counts as noticed at once; recovery is the first answer after it.
            if (unplugAt >= 0 && noticedAt < 0) {
                if (!wasConnected)
                    noticedAt = unplugAt;
                else if (probe.losses() > lossesAtUnplug)
                    noticedAt = probe.lastLossAt();
            }
            if (unplugAt >= 0 && noticedAt >= 0 && probe.recoveries() > recoveriesAtUnplug) {
                ++noticed;
                ++recovered;
                worstNotice = std::max(worstNotice, noticedAt - unplugAt);
                worstRecovery = std::max(worstRecovery,
                                         probe.lastRecoveryAt() - unplugAt - unplugSeconds * 1000);
                unplugAt = -1;
            }
            if (second % 20 == 0) {
                const auto& f = faults[(second / 20) % 6];
                drive.command("fault " + std::to_string(f[0]) + " " + std::to_string(f[1]));
            }
            if (second % 20 == 6) drive.command("clear");
            if (second % 15 == 0)
                linked.link.sendRequest(model::BuildAction(
                    (second / 15) % 2 ? model::code::StartMotor : model::code::StopMotor));
            if (second >= options.minutes * 60) QApplication::quit();
        });
        clock.start(1000);
        app.exec();
        const long rssEnd = bench::ResidentKb();
        const long base = rssAfterWarmUp > 0 ? rssAfterWarmUp : rssStart;
        std::printf("soak of %.1f minutes\n", options.minutes);
        std::printf("messages handled: %ld (status %ld, group replies %ld, link state %ld)\n",
                    probe.messagesHandled(), probe.messagesOf(link::WM_DRIVE_STATUS),
                    probe.messagesOf(link::WM_DRIVE_GROUP_REPLY),
                    probe.messagesOf(link::WM_DRIVE_LINK_STATE));
        std::printf("unplugs: %d, noticed and recovered: %d, losses: %d, reconnections: %d\n",
                    unplugs, recovered, probe.losses(), probe.recoveries());
        std::printf(
            "worst time to notice an unplug: %lld ms; worst recovery after replug: %lld ms\n",
            static_cast<long long>(worstNotice), static_cast<long long>(worstRecovery));
        std::printf("fault popups shown: %d, other notices: %d\n", probe.faultPopupsShown(),
                    prompter.informs);
        for (const QString& text : prompter.informTexts)
            std::printf("  notice: %s\n", qPrintable(text.simplified().left(100)));
        std::printf(
            "resident memory: start %ld KB, after one minute %ld KB, end %ld KB, growth %ld KB\n",
            rssStart, rssAfterWarmUp, rssEnd, rssEnd - base);
        std::printf("crashes: 0\n");
        printLatency(app, probe, "during the soak");
        // The link notices a silent drive after two checks (about 9 s) and finds
        // it again within about 5 s of its return.
        const bool unplugsOk =
            recovered >= unplugs - 1 && worstNotice <= 12000 && worstRecovery <= 6000;
        if (!unplugsOk || rssEnd - base > 2048) status = 1;
    }
    delete frame;
    shell::setPrompter(nullptr);
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(workFolder, ignored);
    return status;
}
