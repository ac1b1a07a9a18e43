#pragma once
// The drive as the frame server and the console see it: the drive state,
// its request handler, the line faults and the state file behind one lock.
// Thread-safe.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/telegram.h"
#include "sim/drivestate.h"
#include "sim/linefaults.h"
#include "sim/requesthandler.h"

namespace velmora::sim {

struct DriveOptions {
    double timeScale = 1.0;
    int latencyMs = 0;
    std::filesystem::path stateFile;  // empty: nothing is kept
    std::uint32_t seed = std::random_device{}();
};

class SimulatedDrive {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SimulatedDrive(DriveOptions options = {});
    ~SimulatedDrive();  // saves the state file one last time
    SimulatedDrive(const SimulatedDrive&) = delete;
    SimulatedDrive& operator=(const SimulatedDrive&) = delete;

    // A byte as the line delivers it to the drive (lost, garbled, or as sent).
    [[nodiscard]] std::optional<std::uint8_t> lineIn(std::uint8_t byte);
    // The bytes the drive puts on the line in answer to one decoded request;
    // empty when it does not answer.
    [[nodiscard]] std::vector<std::uint8_t> exchange(const link::Telegram& request,
                                                     Clock::time_point now = Clock::now());
    [[nodiscard]] int latencyMs() const;

    // One console line ("fault 1 3", "state", ...) and its one-line answer.
    [[nodiscard]] std::string command(const std::string& line,
                                      Clock::time_point now = Clock::now());

    // Writes the state file when something kept changed (at most once a
    // second) or the operating time moved on by a minute.
    void saveIfDue(Clock::time_point now = Clock::now());

    [[nodiscard]] std::vector<std::uint8_t> firmwareImage() const;
    [[nodiscard]] std::vector<std::uint8_t> loaderImage() const;
    [[nodiscard]] DriveMemory memorySnapshot() const;

  private:
    void saveLocked(Clock::time_point now);

    mutable std::mutex m_mutex;
    DriveOptions m_options;
    DriveState m_drive;
    RequestHandler m_handler{m_drive};
    LineFaults m_faults;
    std::uint64_t m_savedRevision = 0;
    std::uint64_t m_savedRuntimeMs = 0;
    Clock::time_point m_lastSave{};
};

}  // namespace velmora::sim
