// velmora-cli runin PROGRAM: the run-in page's sequencer and rhythm, with the
// operating values sampled at every poll and a certificate at the end.
#include <cmath>
#include <fstream>

#include "backupfile.h"
#include "clijournal.h"
#include "commandkit.h"
#include "commands/dumpcommand.h"
#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "model/runinsequencer.h"
#include "mqtt/stationpublisher.h"
#include "platform/profile.h"
#include "platform/templatepath.h"
#include "runinreport.h"
#include "session.h"

namespace velmora::tools {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Status byte 0: the motor is switched on; the motor still turns (running down).
// How long the end of a run-in waits for the drive to report standstill.
constexpr auto kStopLimit = std::chrono::seconds(15);
// How long the end of a run-in waits for the broker to take its events.
constexpr auto kPublishLimit = std::chrono::seconds(5);

// A path, or a name in data_runin here, beside the program or in its share folder.
std::filesystem::path FindProgram(const std::string& name) {
    std::error_code code;
    if (std::filesystem::is_regular_file(name, code)) return name;
    const auto exe = platform::ExecutableFolder();
    for (const auto& folder : {std::filesystem::path("data_runin"), exe / "data_runin",
                               exe / ".." / "share" / "velmora-tool" / "data_runin"}) {
        for (const std::string& file : {name, name + ".run"}) {
            if (std::filesystem::is_regular_file(folder / file, code)) return folder / file;
        }
    }
    return {};
}

class RunIn {
  public:
    RunIn(DriveSession& session, Output& output, RunInRecord& record, milliseconds second)
        : m_session(session), m_output(output), m_record(record), m_second(second) {}

    void run(std::vector<model::RunInStep> steps) {
        m_started = Clock::now();
        auto& drive = m_session.data();
        for (std::size_t i = 0; i < steps.size() && i < model::kMaxRunInSteps; ++i) {
            StepRecord step;
            step.step = static_cast<std::uint32_t>(i + 1);
            step.programRpm = steps[i].rpm;
            step.commandedHz = steps[i].rpm / 60;  // whole Hz, as the sequencer sends it
            step.seconds = steps[i].minutes * 60;
            m_record.steps.push_back(step);
        }
        m_session.onStatus = [this](const DriveSession::Status& s) { onStatus(s); };
        m_session.onLinkState = [this](bool up) {
            if (!up) m_record.events.push_back({since(), "link_lost"});
        };
        // Only a reply that arrived since the last sample is a sample.
        drive.SetStoreObserver([this](int code) {
            if (code == m_liveGroup) ++m_replies;
        });
        m_sequencer.load(std::move(steps));
        m_sequencer.start();
        model::SendRunInCommands(drive, m_sequencer.takeCommands());
        while (!m_session.interrupted() && m_record.events.empty()) {
            const auto until = m_started + m_second * (m_sequencer.elapsedTotal() + 1);
            drive.RequestGroup(1, m_liveGroup);
            while (Clock::now() < until && !m_session.interrupted())
                m_session.pump(std::chrono::duration_cast<milliseconds>(until - Clock::now()));
            sample();
            if (m_sequencer.tick() == model::RunInSequencer::Tick::Finished) break;
            model::SendRunInCommands(drive, m_sequencer.takeCommands());
            m_output.emit({{"event", "progress"},
                           {"elapsed_s", m_sequencer.elapsedTotal()},
                           {"step", m_sequencer.currentStep()},
                           {"set_rpm", m_sequencer.shownSpeed()}});
        }
        drive.SetStoreObserver({});
        m_record.closePhase();
        m_record.interrupted = m_session.interrupted();
    }

    // Every ending (the program's end, a fault, a signal, a link loss) stops
    // the motor and puts the speed back, then waits, bounded, for status
    // replies sent after the stop that show the motor neither running nor
    // turning. Both orders go out again when the link comes back, since
    // they may have been lost with it. False when standstill was not
    // confirmed: the motor may still turn.
    bool stop(std::uint32_t savedSpeed) {
        m_sequencer.stop();
        (void)m_sequencer.takeCommands();  // the stop below is the same order
        std::uint64_t mark = 0;
        int statusesAfterStop = 0;
        bool standing = false;
        bool resend = true;
        m_session.onLinkState = [&](bool up) { resend = resend || up; };
        m_session.onStatus = [&](const DriveSession::Status& s) {
            if (m_session.link().lastSentMark() < mark) return;
            ++statusesAfterStop;
            // The drive allows operation only while the motor stands.
            standing = (s[1] & 0x01) != 0;
        };
        // A status already on its way when the stop went out proves nothing.
        const auto confirmed = [&] { return standing && statusesAfterStop >= 2; };
        const auto deadline = Clock::now() + kStopLimit;
        while (!confirmed() && Clock::now() < deadline) {
            if (resend) {
                resend = false;
                m_session.gate().send(model::BuildAction(model::code::StopMotor));
                model::RestoreRunInSpeed(m_session.data(), savedSpeed);
                mark = m_session.link().queueSentMark();
                statusesAfterStop = 0;
                standing = false;
            }
            m_session.waitThroughInterruption(
                [&] { return resend || confirmed(); },
                std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
        }
        m_session.onStatus = nullptr;
        m_session.onLinkState = nullptr;
        return confirmed();
    }

  private:
    [[nodiscard]] double since() const {
        return std::chrono::duration<double>(Clock::now() - m_started).count();
    }
    void onStatus(const DriveSession::Status& s) {
        if (s[2] != 0 && m_record.events.empty())
            m_record.events.push_back({since(), "fault", s[2], s[3]});
    }
    void sample() {
        if (m_replies == m_sampledReplies) return;  // no fresh operating values
        m_sampledReplies = m_replies;
        const auto n = m_sequencer.currentStep();
        const bool on = m_sequencer.motorOnPhase();
        if (on && (!m_wasOn || n != m_phaseStep)) ++m_phase;
        m_wasOn = on;
        m_phaseStep = n;
        const auto& d = m_session.data();
        m_record.addSample(
            n, on, m_phase,
            {since(), d.Working(model::param::kActualSpeed) * 60.0,
             d.GetReal(model::param::kOutputCurrent), d.GetReal(model::param::kOutputVoltage),
             d.GetReal(model::param::kSupplyVoltage)});
    }

    DriveSession& m_session;
    Output& m_output;
    RunInRecord& m_record;
    milliseconds m_second;
    model::RunInSequencer m_sequencer;
    Clock::time_point m_started;
    const int m_liveGroup = model::GroupOfParameter(model::param::kActualSpeed)->code;
    std::uint64_t m_replies = 0;
    std::uint64_t m_sampledReplies = 0;
    int m_phase = 0;
    bool m_wasOn = false;
    std::uint32_t m_phaseStep = 0;
};

void PrintTable(const RunInRecord& record, std::ostream& err) {
    char line[200];
    err << "step  program rpm  commanded rpm  actual rpm min/mean/max     current A mean\n";
    for (const auto& s : record.steps) {
        std::snprintf(line, sizeof line, "%4u %12u %14.0f  %8.0f %8.0f %8.0f  %8.2f\n", s.step,
                      s.programRpm, s.commandedRpm(), s.speed.count ? s.speed.min : 0,
                      s.speed.mean(), s.speed.count ? s.speed.max : 0, s.current.mean());
        err << line;
    }
    for (const auto& reason : record.failures()) err << "  " << reason << "\n";
    err << "result " << (record.passed() ? "PASS" : "FAIL") << "\n";
}

int RunProgram(DriveSession& session, const Invocation& invocation, CliContext& context,
               Output& output, const std::filesystem::path& program,
               std::vector<model::RunInStep> steps, mqtt::StationPublisher* publisher) {
    if (const int status = session.connect()) return status;
    model::DriveData& drive = session.data();
    std::vector<int> groups = IdentityGroups();
    groups.push_back(model::GroupOfParameter(model::param::kSetSpeed)->code);
    model::DriveData identity;
    if (!session.readGroups(groups, identity)) return kExitFailure;
    drive.SetWorking(model::param::kSetSpeed, identity.Working(model::param::kSetSpeed));
    for (const auto& group : model::AllGroups())
        for (const auto& field : group.fields)
            drive.SetWorking(field.parameter, identity.Working(field.parameter));
    const std::uint32_t savedSpeed = identity.GetChoice(model::param::kSetSpeed);

    RunInRecord record;
    record.program = model::RunInProgramName(program);
    record.programSha256 = FileSha256(program.string());
    record.station = invocation.station;
    record.operatorName = invocation.operatorName;
    record.tolerancePercent = invocation.tolerance;
    record.rampLimitSeconds = invocation.rampLimit;
    record.tickMs = invocation.tickMs;
    const DriveIdentity id = IdentityOf(identity);
    record.type = id.type;
    record.serial = id.serial;
    record.firmware = ParameterValue(identity, 37);
    record.start = IsoTimeNow();
    session.journal().runInStarted(record.program);
    RunIn runIn(session, output, record, milliseconds(invocation.tickMs));
    runIn.run(std::move(steps));
    const bool stopped = runIn.stop(savedSpeed);
    record.end = IsoTimeNow();

    const auto certificate = record.certificate(VELMORA_VERSION);
    const std::string text = certificate.dump(2) + "\n";
    PrintTable(record, context.err);
    if (!invocation.report.empty()) {
        std::string error;
        if (!platform::WriteFileAtomically(invocation.report, text, &error))
            return output.fail(kExitFailure, "cannot write " + invocation.report + ": " + error);
    }
    if (publisher != nullptr) publisher->certificate(record.serial, text);
    output.emit(certificate);
    if (!stopped)
        return output.fail(kExitFailure, "the drive did not report standstill within " +
                                             std::to_string(kStopLimit.count()) +
                                             " s after the stop: the motor may still turn");
    if (record.interrupted) return output.fail(kExitFailure, "interrupted; the motor stands");
    return record.passed() ? kExitOk : kExitDiffers;
}

int RunRunIn(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (invocation.arguments.size() != 1)
        return UsageError(output, invocation, "takes one PROGRAM");
    const auto program = FindProgram(invocation.arguments.front());
    if (program.empty())
        return output.fail(kExitFailure, "no run-in program " + invocation.arguments.front());
    auto steps = model::LoadRunInSteps(program);
    if (steps.empty()) return output.fail(kExitFailure, program.string() + " holds no step");
    std::string error;
    const auto broker = mqtt::BrokerOf(invocation, mqtt::StationNeed::Required, error);
    if (!broker && !error.empty()) return UsageError(output, invocation, error);
    DriveSession session(invocation, context, output, link::PollMode::RunIn);
    std::optional<mqtt::StationPublisher> publisher;
    if (broker) {
        publisher.emplace(*broker, session.journal(), mqtt::StationPublisher::Status::NotPublished);
        if (!publisher->setupError().empty())
            return output.fail(kExitFailure, publisher->setupError());
    }
    const int status = session.journal().runInEnded(
        invocation.report,
        session.finish(RunProgram(session, invocation, context, output, program, std::move(steps),
                                  publisher ? &*publisher : nullptr)));
    // Whatever the broker did not take in time waits in the outbox: the
    // run-in's result does not depend on it.
    if (publisher)
        if (const std::string left = publisher->finish(kPublishLimit); !left.empty())
            context.err << "velmora-cli: " << left << '\n' << std::flush;
    return status;
}

}  // namespace

Command RunInCommand() {
    return {"runin",
            "[LINK OPTIONS] runin PROGRAM [--report FILE] [--tolerance PCT] [--ramp-limit S] "
            "[--station NAME] [--operator NAME] [--mqtt URL]",
            "  Runs a run-in program (a path, or a name in data_runin such as runin_01)\n"
            "  with the run-in page's sequencer and one-second rhythm, samples actual\n"
            "  speed, output current, output and supply voltage from every fresh reply,\n"
            "  and writes a JSON certificate to FILE. A step is judged only on samples\n"
            "  taken while the motor is on and has come within PCT percent (default 2)\n"
            "  of the speed commanded (the whole Hz sent); an on-phase that does not get\n"
            "  there within --ramp-limit seconds (default 60) fails. Minimum, mean and\n"
            "  maximum must each lie within PCT percent; ramps and off phases are\n"
            "  counted, not judged. The certificate holds program name and SHA-256,\n"
            "  drive identity, --station and --operator, times with UTC offset, per step\n"
            "  program and commanded rpm, min/mean/max and the samples, the reasons of a\n"
            "  FAIL, and a SHA-256 digest of itself (check it with certificate show).\n"
            "  On every ending (PASS, FAIL, Ctrl+C, SIGTERM, SIGHUP, a lost link) the\n"
            "  stop is sent, again after a link loss, until the drive reports standstill\n"
            "  (15 s at most), and the speed is restored; without that report it fails\n"
            "  saying the motor may still turn. With --mqtt URL (and --station) its\n"
            "  events and the certificate go to the broker as serve sends them.\n"
            "  Exit 0 PASS, 3 FAIL, 1.\n",
            RunRunIn};
}

}  // namespace velmora::tools
