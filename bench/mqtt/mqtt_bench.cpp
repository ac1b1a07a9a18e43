// What a station costs: runs velmora-cli serve against the simulated drive
// (its motor started and stopped every few seconds, so that the status
// changes about every second) and a mosquitto broker on this machine, and
// prints the station's CPU time and the bytes the broker received from it,
// both per hour from a short run:
//   mqtt_bench [SECONDS]   (default 30)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "mqtt/mqttclient.h"
#include "sim/driveserver.h"
#include "tests/support/mosquittobroker.h"

using namespace velmora;

namespace {

// Topic and payload bytes plus a PUBLISH header of QoS 1 (fixed header,
// topic length, packet id) and the broker's PUBACK back.
std::size_t WireBytes(const std::string& topic, const std::string& payload) {
    const std::size_t body = 2 + topic.size() + 2 + payload.size();
    return 1 + (body < 128 ? 1 : 2) + body + 4;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    if (!testkit::MosquittoBroker::available() || seconds <= 0) {
        std::fprintf(stderr, "mqtt_bench: needs mosquitto and a positive time\n");
        return 1;
    }
    testkit::MosquittoBroker broker;
    if (!broker.start()) return 1;
    const std::string journal =
        std::string("/tmp/velmora-mqtt-bench-") + std::to_string(::getpid()) + ".sqlite";
    ::setenv("VELMORA_JOURNAL", journal.c_str(), 1);
    sim::DriveServer drive;
    const std::string device = drive.startOnPty();

    std::atomic<std::size_t> bytes{0}, statusBytes{0}, statuses{0}, events{0};
    tools::mqtt::MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = std::stoi(broker.url().substr(broker.url().rfind(':') + 1));
    tools::mqtt::MqttClient counter(settings, "velmora-bench-counter", std::nullopt, {"velmora/#"},
                                    [&](const std::string& topic, const std::string& payload) {
                                        bytes += WireBytes(topic, payload);
                                        if (topic.ends_with("/status"))
                                            statusBytes += WireBytes(topic, payload);
                                        (topic.ends_with("/status") ? statuses : events) += 1;
                                    });

    const std::string length = std::to_string(seconds);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(VELMORA_CLI_PROGRAM, VELMORA_CLI_PROGRAM, "--device", device.c_str(), "--seconds",
                length.c_str(), "serve", "--mqtt", broker.url().c_str(), "--station", "bench",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::atomic<bool> done{false};
    std::thread motor([&] {
        for (int i = 0; !done; ++i) {
            drive.command(i % 2 == 0 ? "motor start" : "motor stop");
            for (int tenth = 0; tenth < 40 && !done; ++tenth)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    done = true;
    motor.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the last messages' way
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const double perHour = 3600.0 / seconds;
    const double perStatus =
        statuses > 0 ? static_cast<double>(statusBytes.load()) / static_cast<double>(statuses) : 0;
    std::printf(
        "station over %.0f s: CPU %.3f s (%.3f %% of one core, %.1f s per hour); %zu status "
        "and %zu event messages, %zu bytes in all; at one status a second: %.0f KB per hour "
        "(%.0f bytes a status)\n",
        seconds, cpu, 100.0 * cpu / seconds, cpu * perHour, statuses.load(), events.load(),
        bytes.load(), perStatus * 3600.0 / 1024.0, perStatus);
    std::remove(journal.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
