// velmora-cli line: every station of a production line in one live table,
// from the status and certificates the stations publish.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>

#include "commandkit.h"
#include "mqtt/lineview.h"
#include "mqtt/mqttclient.h"
#include "mqtt/mqttsettings.h"

namespace velmora::tools {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Messages from the client's thread to the command's.
class MessageQueue {
  public:
    void push(std::string topic, std::string payload) {
        {
            const std::lock_guard lock(m_mutex);
            m_messages.emplace_back(std::move(topic), std::move(payload));
        }
        m_ready.notify_one();
    }
    std::deque<std::pair<std::string, std::string>> take(std::chrono::milliseconds wait) {
        std::unique_lock lock(m_mutex);
        m_ready.wait_for(lock, wait, [&] { return !m_messages.empty(); });
        std::deque<std::pair<std::string, std::string>> taken;
        taken.swap(m_messages);
        return taken;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::pair<std::string, std::string>> m_messages;
};

int RunLine(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (!invocation.arguments.empty()) return UsageError(output, invocation, "takes no arguments");
    std::string error;
    const auto settings = mqtt::BrokerOf(invocation, mqtt::StationNeed::Unused, error);
    if (!settings)
        return UsageError(output, invocation,
                          error.empty() ? "needs a broker (--mqtt URL or url= in [mqtt] of "
                                          "config.ini)"
                                        : error);
    MessageQueue queue;
    mqtt::MqttClient client(*settings, "velmora-line-" + std::to_string(::getpid()), std::nullopt,
                            {"velmora/+/status", "velmora/+/certificate/+"},
                            [&queue](const std::string& topic, const std::string& payload) {
                                queue.push(topic, payload);
                            });
    if (!client.setupError().empty()) return output.fail(kExitFailure, client.setupError());
    const auto until =
        invocation.options.seconds
            ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(*invocation.options.seconds))
            : Clock::time_point::max();
    // Redrawn in place only where a person watches; a pipe gets each table whole.
    const bool terminal = !invocation.json && &context.out == &std::cout && ::isatty(1) == 1;
    mqtt::LineView view;
    std::string problem;
    bool everConnected = false;
    while (!context.interrupted && Clock::now() < until && context.out.good()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        bool changed = false;
        for (const auto& [topic, payload] :
             queue.take(std::min<std::chrono::milliseconds>(left, 200ms))) {
            const auto station = view.take(topic, payload);
            if (!station) continue;
            changed = true;
            if (invocation.json) {
                nlohmann::json row = view.rowJson(*station);
                row["event"] = "station";
                output.emit(row);
            }
        }
        if (changed && !invocation.json)
            context.out << (terminal ? "\x1b[H\x1b[2J" : "") << view.table()
                        << (terminal ? "" : "\n") << std::flush;
        everConnected = everConnected || client.connected();
        if (const std::string now = client.lastProblem(); now != problem) {
            problem = now;
            if (!problem.empty()) context.err << "velmora-cli: " << problem << '\n' << std::flush;
        }
    }
    if (!everConnected) return output.fail(kExitFailure, "the broker did not answer");
    output.emit({{"ok", true}, {"stations", view.size()}});
    return kExitOk;
}

}  // namespace

Command LineCommand() {
    return {"line",
            "line --mqtt URL [--json] [--seconds S] [--mqtt-ca FILE] [--mqtt-user NAME] "
            "[--mqtt-password-file FILE]",
            "  Subscribes to velmora/+/status and velmora/+/certificate/+ on the broker\n"
            "  and shows one row per station: station, serial, drive connected, motor\n"
            "  running, actual speed, fault, and the last certificate's result and time,\n"
            "  redrawn in place on a terminal. With --json one object a line per change\n"
            "  (\"event\": \"station\"). Runs until interrupted or --seconds S. Exit 0,\n"
            "  1 when the broker never answered, 2 bad arguments.\n",
            RunLine};
}

}  // namespace velmora::tools
