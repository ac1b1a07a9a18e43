#include "trendload.h"

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "frame/mainframe.h"
#include "soakprobe.h"
#include "timedapplication.h"
#include "trend/trendfeed.h"
#include "trend/trendhost.h"
#include "trend/trendwindow.h"

namespace velmora::bench {

namespace {

constexpr int kConnectMs = 10'000;
constexpr int kSettleMs = 3'000;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A full ring spread over the last 30 minutes: a spindle ramping up and down
// every minute, the densest history the window ever draws.
void FillHistory(trend::TrendFeed& feed) {
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    const auto count = static_cast<std::int64_t>(trend::kRingCapacity);
    const std::int64_t span = 30 * 60'000;
    for (std::int64_t i = 0; i < count; ++i) {
        trend::TrendSample s;
        s.timeMs = now - span + i * span / count;
        const double phase = std::sin(static_cast<double>(s.timeMs % 60'000) / 60'000.0 * 6.2832);
        s.values = {
            static_cast<float>(400 + 380 * phase), 800, static_cast<float>(6 + 3 * phase),
            static_cast<float>(200 + 40 * phase),  325, static_cast<float>(900 + 500 * phase)};
        feed.core().addSample(s);
    }
}

}  // namespace

int RunTrendLoad(TimedApplication& app, frame::CMainFrame& frame, SoakProbe& probe, bool withTrend,
                 const char* csvPath, int seconds) {
    auto* host = frame.findChild<trend::TrendHost*>();
    if (host == nullptr) return 2;
    long rssBefore = 0;
    long rssOpen = 0;
    double cpuStart = 0;
    QElapsedTimer wall;
    QTimer::singleShot(kConnectMs, [&] {
        rssBefore = ResidentKb();
        if (!withTrend) return;
        FillHistory(host->feed());
        host->showWindow();
        host->window()->resize(1200, 700);
        host->window()->setRangeMinutes(30);
        host->feed().startRecording(QString::fromLocal8Bit(csvPath));
    });
    QTimer::singleShot(kConnectMs + kSettleMs, [&] {
        rssOpen = ResidentKb();
        probe.resetLateness();
        app.resetSlowest();
        cpuStart = CpuSeconds();
        wall.start();
    });
    QTimer::singleShot(kConnectMs + kSettleMs + seconds * 1000, &app, &QApplication::quit);
    app.exec();
    const double cpu = 100.0 * (CpuSeconds() - cpuStart) / (wall.elapsed() / 1000.0);
    const auto& l = probe.lateness();
    std::printf("%s, %d s measured\n",
                withTrend ? "trend open on 30 minutes (full ring), recording on"
                          : "baseline: the same live polling without the trend",
                seconds);
    std::printf(
        "window-thread timer lateness over %llu beats: median %.2f ms, p99 %.2f ms, "
        "worst %.2f ms\n",
        static_cast<unsigned long long>(l.count()), l.percentile(50), l.percentile(99), l.worst());
    const auto& slowest = app.slowest();
    std::printf("slowest event handled: %.2f ms (type %d to %s)\n", slowest.ms, slowest.type,
                qPrintable(slowest.receiver));
    std::printf("process CPU: %.2f %% of one core (link threads and simulated drive included)\n",
                cpu);
    const long rssEnd = ResidentKb();
    std::printf(
        "resident memory: %ld KB before opening, %ld KB once open, %ld KB at the end "
        "(growth while open %ld KB)\n",
        rssBefore, rssOpen, rssEnd, rssEnd - rssOpen);
    if (withTrend) {
        // What one redraw of the 30-minute view costs the window thread in
        // CPU time, painting included: unlike the lateness, free of the
        // time the scheduler gives to other processes (an upper bound: the
        // events that come in meanwhile are counted too).
        constexpr int kRedraws = 20;
        double worst = 0;
        const double start = ThreadCpuMs();
        for (int i = 0; i < kRedraws; ++i) {
            const double before = ThreadCpuMs();
            host->window()->redraw();
            // The scene lays out its changes in a queued call, then paints.
            QCoreApplication::processEvents();
            host->window()->chart()->viewport()->repaint();
            worst = std::max(worst, ThreadCpuMs() - before);
        }
        std::printf(
            "redraw of the 30-minute view, painting included: %.2f ms CPU on average, "
            "%.2f ms at worst (%d redraws)\n",
            (ThreadCpuMs() - start) / kRedraws, worst, kRedraws);
        std::printf("samples in the ring: %zu, lines recorded: %llu\n",
                    host->feed().core().samples().size(),
                    static_cast<unsigned long long>(host->feed().core().recorder().lines()));
    }
    return 0;
}

}  // namespace velmora::bench
