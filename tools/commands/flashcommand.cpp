// velmora-cli flash: the two-phase firmware update with the window's
// protocol and pacing (model::LoaderPhase, AnswerBlockRequest, FirmwareTimings).
#include <unistd.h>

#include <deque>
#include <fstream>
#include <iterator>

#include "clijournal.h"
#include "commandkit.h"
#include "link/linkapi.h"
#include "model/commands.h"
#include "model/firmwaretransfer.h"
#include "session.h"

namespace velmora::tools {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

// A drive that asks for nothing this long is given up (it stays in its loader).
constexpr auto kNoRequestLimit = 30s;

bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + " cannot be read";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (bytes.empty()) {
        error = path + " is empty";
        return false;
    }
    return true;
}

class Progress {
  public:
    Progress(Output& output, CliContext& context)
        : m_output(output), m_err(context.err), m_bar(!output.json() && ::isatty(STDERR_FILENO)) {}
    void show(const char* phase, int done, int total) {
        const int percent = total > 0 ? std::min(100, done * 100 / total) : 100;
        m_output.emit({{"phase", phase}, {"done", done}, {"total", total}});
        if (m_output.json() || (percent == m_lastPercent && phase == m_lastPhase)) return;
        m_lastPercent = percent;
        m_lastPhase = phase;
        if (m_bar) {
            const int filled = percent * 40 / 100;
            m_err << '\r' << phase << " [" << std::string(filled, '#')
                  << std::string(40 - filled, ' ') << "] " << percent << "%" << std::flush;
            if (percent == 100) m_err << '\n';
        } else if (percent % 10 == 0) {
            m_err << phase << ' ' << percent << "%\n" << std::flush;
        }
    }

  private:
    Output& m_output;
    std::ostream& m_err;
    bool m_bar;
    int m_lastPercent = -1;
    std::string m_lastPhase;
};

int Transfer(DriveSession& session, const Invocation& invocation, CliContext& context,
             Output& output, std::vector<std::uint8_t> loader,
             const std::vector<std::uint8_t>& update) {
    const model::FirmwareTimings timings;
    Progress progress(output, context);
    std::deque<std::uint16_t> requests;
    session.onReply = [&](link::Telegram& reply) {
        std::uint16_t block = 0;
        if (model::ParseBlockRequest(reply, block) == 0) requests.push_back(block);
    };
    const auto pause = [&](int ms) { session.pump(milliseconds(ms)); };

    if (const int status = session.connect()) return status;
    if (!invocation.resume) {
        link::SuspendSupervision();
        link::FlushOutgoing();
        model::LoaderPhase phase;
        phase.begin(std::move(loader));
        pause(timings.loaderTick);
        while (auto block = phase.nextBlock()) {
            if (session.interrupted()) return output.fail(kExitFailure, "interrupted");
            link::SendRequest(std::move(*block));
            progress.show("loader", phase.sent(), phase.total());
            pause(timings.afterLoaderBlock + timings.loaderTick);
        }
        link::SendRequest(model::BuildAction(model::code::LoaderDone));
        pause(timings.afterLoaderDone);
    } else {
        link::SuspendSupervision();
    }
    session.setPollMode(link::PollMode::FirmwareBlockRequest);
    bool lastBlockSent = false;
    for (;;) {
        if (!session.waitFor([&] { return !requests.empty(); }, kNoRequestLimit)) {
            return output.fail(kExitFailure,
                               session.interrupted()
                                   ? "interrupted; the drive is still in its boot loader: "
                                     "velmora-cli flash --resume --update " + invocation.update
                                   : "no block request for 30 s; the drive is still in its boot "
                                     "loader: velmora-cli flash --resume --update " +
                                         invocation.update);
        }
        const std::uint16_t block = requests.front();
        requests.pop_front();
        session.setPollMode(link::PollMode::FirmwarePreparing);
        const model::FirmwareAnswer answer = model::AnswerBlockRequest(update, block);
        if (lastBlockSent || !answer.block) break;
        pause(timings.beforeFirmwareBlock);
        link::SendRequest(*answer.block);
        progress.show("firmware", answer.progress, answer.progressMaximum);
        lastBlockSent = answer.lastBlock;
        session.setPollMode(link::PollMode::FirmwareBlockRequest);
    }
    pause(timings.beforeFirmwareDone);
    link::SendRequest(model::BuildAction(model::code::FirmwareDone));
    link::ResumeSupervision();
    output.emit({{"ok", true}, {"update", invocation.update}, {"bytes", update.size()}});
    output.note("firmware download finished");
    return kExitOk;
}

int RunFlash(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (!invocation.arguments.empty() || invocation.update.empty() ||
        (invocation.resume == !invocation.loader.empty()))
        return UsageError(output, invocation,
                          "wants --loader L.bin --update U.bin, or --resume --update U.bin");
    std::vector<std::uint8_t> loader;
    std::vector<std::uint8_t> update;
    std::string error;
    if (!invocation.resume && !ReadWhole(invocation.loader, loader, error))
        return output.fail(kExitFailure, error);
    if (!ReadWhole(invocation.update, update, error)) return output.fail(kExitFailure, error);
    DriveSession session(invocation, context, output, link::PollMode::FirmwareQuiet);
    // The drive leaves its boot loader after the last telegram and answers no
    // read behind it: the end waits until that telegram is on the line.
    session.setDrain(DriveSession::Drain::Written);
    return session.journal().flashed(invocation.loader, invocation.update,
        session.finish(Transfer(session, invocation, context, output, std::move(loader), update)));
}

}  // namespace

Command FlashCommand() {
    return {"flash", "[LINK OPTIONS] flash --loader L.bin --update U.bin | --resume --update U.bin",
            "  The two-phase firmware update with the window's protocol and pacing: the\n"
            "  boot loader L.bin in blocks, then the blocks of U.bin the drive asks for.\n"
            "  --resume skips the first phase and answers a drive already in its boot\n"
            "  loader (a download cut by a crash or a pulled cable). A progress bar on a\n"
            "  terminal, progress lines otherwise (--json: one object a line). When no\n"
            "  block request comes for 30 s the command fails and says how to resume.\n"
            "  Empty files are refused. Exit 0 done, 1 failed.\n",
            RunFlash};
}

}  // namespace velmora::tools
