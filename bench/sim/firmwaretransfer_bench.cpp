// Times a firmware update of 64 KB through the project's own link threads
// against the simulated drive on a pseudo-terminal.
//
//   firmwaretransfer_bench            the protocol as fast as the link carries it
//   firmwaretransfer_bench --panel    with the firmware panel's cadence: poll
//                                     mode 15 asks for each block, mode 16
//                                     and a 100 ms wait before each answer
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <span>
#include <thread>
#include <vector>

#include "link/linkthreads.h"
#include "model/commands.h"
#include "tests/support/drivelinkharness.h"

namespace {

using namespace std::chrono_literals;
using velmora::e2e::DriveLinkHarness;
using Clock = std::chrono::steady_clock;
namespace code = velmora::model::code;
namespace link = velmora::link;
namespace model = velmora::model;

constexpr std::size_t kLoaderBytes = 4096;
constexpr std::size_t kFirmwareBytes = 64 * 1024;
constexpr std::size_t kLoaderBlock = 251;
constexpr std::size_t kFirmwareBlock = 248;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The next block request, asked for by the test (fast) or by the polling
// thread in mode 15 (panel).
std::optional<std::uint16_t> NextRequest(DriveLinkHarness& h, bool panel) {
    std::optional<link::Telegram> reply;
    if (panel) {
        h.replies.clear();
        h.link.setPollMode(15);
        h.pumpUntil(
            [&] {
                for (auto& r : h.replies)
                    if (r.command == code::BlockRequestReply) {
                        reply = std::move(r);
                        return true;
                    }
                return false;
            },
            5s);
        h.link.setPollMode(16);
    } else {
        reply = h.ask(model::BuildReadGroup(code::BlockRequestReply), code::BlockRequestReply);
    }
    std::uint16_t k = 0;
    if (!reply || model::ParseBlockRequest(*reply, k) != 0) return std::nullopt;
    return k;
}

}  // namespace

int main(int argc, char** argv) {
    const bool panel = argc > 1 && std::strcmp(argv[1], "--panel") == 0;
    std::mt19937 random(42);
    std::vector<std::uint8_t> loader(kLoaderBytes);
    std::vector<std::uint8_t> firmware(kFirmwareBytes);
    for (auto& b : loader) b = static_cast<std::uint8_t>(random());
    for (auto& b : firmware) b = static_cast<std::uint8_t>(random());

    DriveLinkHarness h({}, link::LinkTimings{});  // the link's own pauses
    if (!h.pumpUntil([&] { return h.linkState == 1; }, 5s)) {
        std::fprintf(stderr, "the simulated drive did not answer\n");
        return 1;
    }
    h.link.suspendSupervision();
    h.link.setPollMode(14);

    const auto start = Clock::now();
    std::uint16_t block = 0;
    for (std::size_t at = 0; at < loader.size(); at += kLoaderBlock, ++block) {
        const std::size_t n = std::min(kLoaderBlock, loader.size() - at);
        while (h.link.sendRequest(
                   model::BuildLoaderBlock(block, std::span(loader).subspan(at, n))) != 0)
            std::this_thread::sleep_for(5ms);  // the request queue is full
    }
    h.link.sendRequest(model::BuildAction(code::LoaderDone));
    const auto loaderSent = Clock::now();

    std::vector<double> roundTrips;
    bool lastSent = false;
    auto asked = Clock::now();
    for (;;) {
        const auto k = NextRequest(h, panel);
        if (!k) {
            std::fprintf(stderr, "no block request\n");
            return 1;
        }
        roundTrips.push_back(Ms(Clock::now() - asked));
        if (lastSent) {
            h.link.sendRequest(model::BuildAction(code::FirmwareDone));
            break;
        }
        const std::size_t offset = std::size_t{*k} * kFirmwareBlock;
        const std::size_t n = std::min(kFirmwareBlock, firmware.size() - offset);
        lastSent = offset + n >= firmware.size();
        if (panel) std::this_thread::sleep_for(100ms);
        h.link.sendRequest(model::BuildFirmwareBlock(*k, std::span(firmware).subspan(offset, n)));
        asked = Clock::now();
    }
    // Done once the drive runs its firmware again and answers a status request.
    h.status.reset();
    h.link.setPollMode(19);
    h.pumpUntil([&] { return h.status.has_value(); }, 5s);
    const auto end = Clock::now();
    h.link.resumeSupervision();

    const bool same =
        h.server.receivedFirmware() == firmware && h.server.receivedLoader() == loader;
    std::sort(roundTrips.begin(), roundTrips.end());
    std::printf("mode: %s\n", panel ? "firmware panel cadence" : "as fast as the link carries it");
    std::printf("loader %zu bytes queued in %.1f ms\n", loader.size(), Ms(loaderSent - start));
    std::printf("firmware %zu bytes in %zu blocks: %.0f ms total, %.1f KB/s\n", firmware.size(),
                roundTrips.size() - 1, Ms(end - start),
                firmware.size() / 1024.0 / (Ms(end - start) / 1000.0));
    std::printf("block request round trip: median %.1f ms, 99th percentile %.1f ms\n",
                roundTrips[roundTrips.size() / 2], roundTrips[roundTrips.size() * 99 / 100]);
    std::printf("images received byte for byte: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
