// velmora-cli flash: the two-phase firmware update with the window's
// protocol and pacing (model::LoaderPhase, AnswerBlockRequest, FirmwareTimings).
#include <unistd.h>

#include <deque>
#include <fstream>
#include <iterator>

#include "clijournal.h"
#include "commandkit.h"
#include "link/linkpolicy.h"
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
        m_output.emit({{"event", "progress"}, {"phase", phase}, {"done", done}, {"total", total}});
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

// The drive's status, asked for directly (the download polls nothing). Its
// firmware answers; its boot loader, waiting for firmware blocks, does not.
std::optional<DriveSession::Status> ReadStatus(DriveSession& session) {
    for (int attempt = 0; attempt < 2 && !session.status(); ++attempt) {
        session.link().sendRequest(link::BuildReadRequest(model::code::StatusReply));
        session.waitFor([&] { return session.status().has_value(); }, 1000ms);
    }
    return session.status();
}

// Status byte 0: motor switched on, motor turning; byte 1: operation allowed.
constexpr std::uint8_t kRunningBits = 0x05;
constexpr std::uint8_t kOperationAllowed = 0x01;

// A drive whose loader download was cut waits for the block after the last
// one it took: it skips a new download's first blocks, appends the rest to
// what it had and runs that mixed loader. It shows as a standing motor
// without operation allowed.
bool HoldsCutLoader(const DriveSession::Status& s) {
    return (s[0] & kRunningBits) == 0 && (s[1] & kOperationAllowed) == 0;
}

std::string WholeUpdate(const Invocation& invocation) {
    return "velmora-cli flash --loader L.bin --update " + invocation.update;
}

std::string CutLoaderAdvice(const Invocation& invocation) {
    return "the drive holds a loader download cut before its end and would take no new one "
           "from its start: switch the drive off and on, then run the whole update: " +
           WholeUpdate(invocation);
}

// Refuses at once what cannot work: resuming a drive that runs its firmware,
// or a whole update of a drive in its boot loader, turning, or holding a cut
// loader download. Empty when the transfer may begin.
std::string Refusal(DriveSession& session, const Invocation& invocation) {
    const auto status = ReadStatus(session);
    if (invocation.resume) {
        if (!status) return {};
        const std::string why =
            "the drive answers as its firmware does, not as its boot loader waiting for "
            "firmware blocks: there is nothing to resume; ";
        return why + (HoldsCutLoader(*status) ? CutLoaderAdvice(invocation)
                                              : "run the whole update: " + WholeUpdate(invocation));
    }
    if (!status)
        return "the drive answers no status, as its boot loader waiting for firmware blocks "
               "does: velmora-cli flash --resume --update " +
               invocation.update;
    if (((*status)[0] & kRunningBits) != 0) return "the motor turns; stop it before an update";
    if (HoldsCutLoader(*status)) return CutLoaderAdvice(invocation);
    return {};
}

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
    // The session lives on and drains after this returns: a late block
    // request must not reach `requests` then.
    struct Detach {
        DriveSession& session;
        ~Detach() { session.onReply = nullptr; }
    } detach{session};
    const auto pause = [&](int ms) { session.pump(milliseconds(ms)); };
    const std::string resume =
        "; the drive is still in its boot loader: velmora-cli flash "
        "--resume --update " +
        invocation.update;

    if (const int status = session.connect()) return status;
    if (const std::string why = Refusal(session, invocation); !why.empty())
        return output.fail(kExitFailure, why);
    session.link().suspendSupervision();
    if (!invocation.resume) {
        session.link().flushOutgoing();
        model::LoaderPhase phase;
        phase.begin(std::move(loader));
        pause(timings.loaderTick);
        while (auto block = phase.nextBlock()) {
            if (session.interrupted())
                return output.fail(kExitFailure, "interrupted in the loader phase; " +
                                                     CutLoaderAdvice(invocation));
            session.link().sendRequest(std::move(*block));
            progress.show("loader", phase.sent(), phase.total());
            pause(timings.afterLoaderBlock + timings.loaderTick);
        }
        session.link().sendRequest(model::BuildAction(model::code::LoaderDone));
        pause(timings.afterLoaderDone);
    }
    session.setPollMode(link::PollMode::FirmwareBlockRequest);
    bool lastBlockSent = false;
    for (;;) {
        if (!session.waitFor([&] { return !requests.empty(); }, kNoRequestLimit)) {
            return output.fail(kExitFailure,
                               (session.interrupted() ? std::string("interrupted")
                                                      : std::string("no block request for 30 s")) +
                                   resume);
        }
        const std::uint16_t block = requests.front();
        requests.pop_front();
        session.setPollMode(link::PollMode::FirmwarePreparing);
        if (lastBlockSent) break;
        const model::FirmwareAnswer answer = model::AnswerBlockRequest(update, block);
        if (!answer.block) {
            // The window's rule: no end-of-download for an image whose end was
            // never sent, or the drive would take the partial image as whole.
            return output.fail(
                kExitFailure,
                "the drive asks for block " + std::to_string(block) + ", past the end of " +
                    invocation.update + " (" + std::to_string(update.size()) +
                    " bytes), before its last block was sent: the file does not fit this "
                    "drive; no end of download was sent" +
                    resume);
        }
        pause(timings.beforeFirmwareBlock);
        session.link().sendRequest(*answer.block);
        progress.show("firmware", answer.progress, answer.progressMaximum);
        lastBlockSent = answer.lastBlock;
        session.setPollMode(link::PollMode::FirmwareBlockRequest);
    }
    pause(timings.beforeFirmwareDone);
    session.link().sendRequest(model::BuildAction(model::code::FirmwareDone));
    session.link().resumeSupervision();
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
    return session.journal().flashed(
        invocation.loader, invocation.update,
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
            "  Refused at once: empty files; --resume on a drive that runs its firmware;\n"
            "  a whole update of a drive in its boot loader, with its motor turning, or\n"
            "  holding a loader download cut midway (it needs switching off and on). A\n"
            "  block request past the end of U.bin before its last block was sent ends\n"
            "  it without the end-of-download command. Exit 0 done, 1 failed.\n",
            RunFlash};
}

}  // namespace velmora::tools
