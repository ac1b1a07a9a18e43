// velmora-cli serve: keeps the link to one drive open and publishes what it
// says to an MQTT broker. Read-only: it subscribes to nothing and sends the
// drive nothing but reads.
#include <chrono>

#include "commandkit.h"
#include "link/seriallink.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "mqtt/mqttsettings.h"
#include "mqtt/stationmessages.h"
#include "mqtt/stationpublisher.h"
#include "openfailurewatch.h"
#include "session.h"

namespace velmora::tools {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Groups not yet read are asked for again, and the set speed (not polled) read, this often.
constexpr auto kReadAgain = 2s;
constexpr auto kGoneLimit = 2000ms;

// The station's state from what the session holds.
mqtt::StationStatus Observe(DriveSession& session, const std::string& station,
                            const mqtt::FaultTexts& faults) {
    mqtt::StationStatus s;
    s.station = station;
    s.connected = session.linked();
    const model::DriveData& data = session.data();
    const auto has = [&](int parameter) {
        const auto* group = model::GroupOfParameter(parameter);
        return group != nullptr && data.GroupReceived(group->code);
    };
    if (has(model::param::kSerialNumber)) {
        const DriveIdentity id = IdentityOf(data);
        s.serial = id.serial;
        s.inverterType = id.type;
        s.firmware = id.firmware;
    }
    if (!s.connected) return s;
    if (has(model::param::kSetSpeed)) s.setHz = data.Working(model::param::kSetSpeed);
    if (has(model::param::kActualSpeed)) {
        s.actualHz = data.Working(model::param::kActualSpeed);
        s.outputCurrentA = data.GetReal(model::param::kOutputCurrent);
    }
    if (const auto& status = session.status()) {
        s.running = ((*status)[0] & 0x01) != 0;
        s.faultClass = (*status)[2];
        s.faultNumber = (*status)[3];
        if (s.faultClass != 0) s.faultText = faults.text(s.faultNumber);
    }
    return s;
}

int Serve(DriveSession& session, const Invocation& invocation, CliContext& context, Output& output,
          const mqtt::MqttSettings& settings) {
    mqtt::StationPublisher publisher(settings, session.journal(),
                                     mqtt::StationPublisher::Status::Published);
    if (!publisher.setupError().empty()) return output.fail(kExitFailure, publisher.setupError());
    const auto start = Clock::now();
    const auto until = invocation.options.seconds
                           ? start + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(*invocation.options.seconds))
                           : Clock::time_point::max();
    model::DriveData& data = session.data();
    bool linked = false;
    bool everLinked = false;
    auto lastRead = Clock::time_point{};
    std::string problem;
    while (!session.interrupted() && Clock::now() < until) {
        session.pump(100ms);
        if (session.linked() != linked) {
            linked = session.linked();
            everLinked = everLinked || linked;
            if (linked) {
                // Perhaps another drive on the cable: everything is read afresh.
                data.Reset();
                session.journal().connected(session.link().serial());
                lastRead = Clock::time_point{};
            }
            output.note(std::string("drive ") + (linked ? "answers" : "silent"));
        }
        if (linked && Clock::now() - lastRead >= kReadAgain) {
            lastRead = Clock::now();
            data.RequestMissingGroups();
            data.RequestGroup(1, model::GroupOfParameter(model::param::kSetSpeed)->code);
        }
        const auto status = Observe(session, settings.station, publisher.faults());
        publisher.offerStatus(mqtt::StatusBody(status));
        if (const std::string now = publisher.client().lastProblem(); now != problem) {
            problem = now;
            if (!problem.empty()) context.err << "velmora-cli: " << problem << '\n' << std::flush;
        }
    }
    publisher.sayGone(mqtt::StatusBody(Observe(session, settings.station, publisher.faults())),
                      kGoneLimit);
    if (const std::string left = publisher.finish(kGoneLimit); !left.empty())
        context.err << "velmora-cli: " << left << '\n' << std::flush;
    // As for monitor: a run that never saw the drive is a failure.
    if (!everLinked) {
        if (!OpenFailureWatch(session.link().serial()).failing())
            return output.fail(kExitFailure, "the drive did not answer");
        return output.fail(
            kExitNoPort, "the drive did not answer (" +
                             link::DescribeOpenFailure(session.link().serial().LastOpenFailure()) +
                             ")");
    }
    output.emit({{"ok", true}, {"station", settings.station}});
    return kExitOk;
}

int RunServe(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (!invocation.arguments.empty()) return UsageError(output, invocation, "takes no arguments");
    std::string error;
    const auto settings = mqtt::BrokerOf(invocation, mqtt::StationNeed::Required, error);
    if (!settings)
        return UsageError(output, invocation,
                          error.empty() ? "needs a broker (--mqtt URL or url= in [mqtt] of "
                                          "config.ini)"
                                        : error);
    DriveSession session(invocation, context, output);
    return session.finish(Serve(session, invocation, context, output, *settings));
}

}  // namespace

Command ServeCommand() {
    return {"serve",
            "[LINK OPTIONS] serve --mqtt URL --station NAME [--mqtt-ca FILE] [--mqtt-user NAME] "
            "[--mqtt-password-file FILE]",
            "  Keeps the link to the drive open, as monitor does, and publishes under\n"
            "  velmora/NAME/ on the broker at URL (mqtt://host[:port], mqtts://...):\n"
            "    status                retained JSON when it changes, at most once a second:\n"
            "                          time, station, serial, inverter_type, firmware,\n"
            "                          connected, running, set_speed_hz, actual_speed_hz,\n"
            "                          output_current_a, fault {class, number, text} or null;\n"
            "                          the broker's last will says connected false\n"
            "    event                 QoS 1, one JSON object per journal entry, with an id\n"
            "    certificate/SERIAL    QoS 1, retained, the run-in certificate (runin --mqtt)\n"
            "  Events and certificates wait in the journal's outbox while the broker is\n"
            "  away and go out in order when it is back, after a restart too. Read-only:\n"
            "  subscribes to nothing, and no message changes the drive. Broker and NAME\n"
            "  also come from section [mqtt] of config.ini (url, station, ca, user,\n"
            "  password_file); the password from that file or $VELMORA_MQTT_PASSWORD.\n"
            "  Runs until interrupted or --seconds S. Exit 0, 1 when the drive never\n"
            "  answered, 2 bad arguments, 4 when the port cannot be opened.\n",
            RunServe};
}

}  // namespace velmora::tools
