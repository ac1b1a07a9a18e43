// velmora-cli against the simulated drive paced at a real line rate:
//   cli_bench backup [BAUD]       time of `backup` against the wire time of its telegrams
//   cli_bench flash [BAUD] [KB]   time of `flash` (4 KB loader, KB update, default 64)
//                                 against the tool's pauses plus the wire time
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "link/codec.h"
#include "model/commands.h"
#include "model/firmwaretransfer.h"
#include "model/grouplayout.h"
#include "sim/driveserver.h"

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

std::size_t FrameBytes(link::Telegram telegram) {
    link::WireFrame frame;
    link::EncodeTelegram(telegram, frame);
    return frame.bytes.size();
}

std::size_t ReplyBytes(int code, std::size_t length) {
    link::Telegram reply;
    reply.address = 1;
    reply.command = code;
    reply.length = static_cast<std::uint8_t>(length);
    reply.data.assign(length, 0);
    return FrameBytes(std::move(reply));
}

double WireSeconds(std::size_t bytes, int baud) {
    return static_cast<double>(bytes) * 10.0 / baud;
}

double RunCliTimed(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    std::atomic<bool> never{false};
    tools::CliContext context{out, err, never};
    const auto start = Clock::now();
    const int status = tools::RunCli(args, context);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status != 0)
        std::fprintf(stderr, "velmora-cli failed (%d): %s\n", status, err.str().c_str());
    return seconds;
}

void WriteFile(const std::filesystem::path& path, std::size_t size) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 31 + 7);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "backup";
    const int baud = argc > 2 ? std::atoi(argv[2]) : 38400;
    sim::ServerOptions options;
    options.lineRate = baud;
    sim::DriveServer drive(options);
    const std::string device = drive.startOnPty();
    const auto folder = std::filesystem::temp_directory_path() / "velmora-cli-bench";
    std::filesystem::create_directories(folder);

    if (what == "backup") {
        std::size_t bytes = FrameBytes(model::BuildAction(model::code::LinkCheck)) +
                            ReplyBytes(model::code::LinkCheckReply, 0);
        int groups = 0;
        for (const auto& group : model::AllGroups()) {
            if (group.code == 0x5F) continue;
            bytes += FrameBytes(model::BuildReadGroup(group.code)) +
                     ReplyBytes(group.code, group.length);
            ++groups;
        }
        const double seconds =
            RunCliTimed({"--device", device, "backup", (folder / "bench.ini").string()});
        std::printf(
            "backup at %d baud: %.3f s; wire time of the link check and %d group "
            "reads: %zu bytes = %.3f s\n",
            baud, seconds, groups, bytes, WireSeconds(bytes, baud));
        return 0;
    }
    const std::size_t loaderSize = 4096;
    const std::size_t updateSize = (argc > 3 ? std::atoi(argv[3]) : 64) * 1024;
    WriteFile(folder / "loader.bin", loaderSize);
    WriteFile(folder / "update.bin", updateSize);
    const model::FirmwareTimings t;
    const std::size_t loaderBlocks =
        (loaderSize + model::kLoaderBlockBytes - 1) / model::kLoaderBlockBytes;
    const std::size_t updateBlocks =
        (updateSize + model::kFirmwareBlockBytes - 1) / model::kFirmwareBlockBytes;
    const double pauses = (t.loaderTick + (loaderBlocks - 1) * (t.loaderTick + t.afterLoaderBlock) +
                           t.afterLoaderBlock + t.afterLoaderDone +
                           updateBlocks * t.beforeFirmwareBlock + t.beforeFirmwareDone) /
                          1000.0;
    const std::vector<std::uint8_t> loaderChunk(model::kLoaderBlockBytes);
    const std::vector<std::uint8_t> updateChunk(model::kFirmwareBlockBytes);
    const std::size_t bytes =
        loaderBlocks * FrameBytes(model::BuildLoaderBlock(0, loaderChunk)) +
        updateBlocks * (FrameBytes(model::BuildFirmwareBlock(0, updateChunk)) +
                        FrameBytes(model::BuildReadGroup(model::code::BlockRequestReply)) +
                        ReplyBytes(model::code::BlockRequestReply, 2)) +
        2 * FrameBytes(model::BuildAction(model::code::LoaderDone));
    const double seconds =
        RunCliTimed({"--device", device, "flash", "--loader", (folder / "loader.bin").string(),
                     "--update", (folder / "update.bin").string()});
    std::printf(
        "flash of a %zu-byte loader and a %zu-byte update at %d baud: %.1f s; "
        "pauses %.1f s + wire time %.1f s (%zu bytes) = %.1f s\n",
        loaderSize, updateSize, baud, seconds, pauses, WireSeconds(bytes, baud), bytes,
        pauses + WireSeconds(bytes, baud));
    return 0;
}
