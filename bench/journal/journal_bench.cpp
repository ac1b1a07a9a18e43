// The drive journal's cost on the caller's thread (the window's):
//   journal_bench [WRITES] [FOLDER]
// times each recordWrite() call (the queueing; SQLite runs on the writer
// thread) at the pace of a fast user, one write every 200 µs, then in a burst
// with no pause, and prints the median, 99th percentile and largest, and how
// long the writer took to make all of it durable.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "journal/journal.h"

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[at];
}

void Run(const char* name, journal::Journal& journal, int writes, std::chrono::microseconds pause) {
    std::vector<double> costs;
    costs.reserve(static_cast<std::size_t>(writes));
    const auto start = Clock::now();
    for (int i = 0; i < writes; ++i) {
        const auto before = Clock::now();
        journal.recordWrite(4711, "p" + std::to_string(i % 155 + 1), std::to_string(i),
                            std::to_string(i + 1), journal::outcome::kSent);
        costs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
        if (pause.count() > 0) std::this_thread::sleep_for(pause);
    }
    const auto queued = Clock::now();
    journal.flush();
    const auto written = Clock::now();
    std::printf(
        "%s: %d writes; caller's cost per write us: median %.2f  p99 %.2f  max %.1f; "
        "all written %.1f ms after the last was queued (%.0f ms in all)\n",
        name, writes, Percentile(costs, 0.5), Percentile(costs, 0.99),
        *std::max_element(costs.begin(), costs.end()),
        std::chrono::duration<double, std::milli>(written - queued).count(),
        std::chrono::duration<double, std::milli>(written - start).count());
}

}  // namespace

int main(int argc, char** argv) {
    const int writes = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    const std::filesystem::path folder =
        argc > 2 ? std::filesystem::path(argv[2])
                 : std::filesystem::temp_directory_path() / "velmora-journal-bench";
    std::filesystem::remove_all(folder);
    journal::Journal journal(journal::ThisOrigin("journal_bench"), folder / "journal.sqlite");
    journal.recordAction(4711, journal::EntryKind::Start, "warm-up", "sent");
    journal.flush();
    if (journal.failed()) {
        std::fprintf(stderr, "journal_bench: cannot write in %s\n", folder.c_str());
        return 1;
    }
    Run("paced", journal, writes, std::chrono::microseconds(200));
    Run("burst", journal, writes, std::chrono::microseconds(0));
    std::filesystem::remove_all(folder);
    return 0;
}
