#include "sim/simulateddrive.h"

#include "link/codec.h"
#include "sim/consolecommand.h"
#include "sim/statefile.h"

namespace velmora::sim {
namespace {

constexpr auto kSaveSpacing = std::chrono::seconds(1);
constexpr std::uint64_t kRuntimeSaveStepMs = 60000;

DriveMemory InitialMemory(const DriveOptions& options) {
    if (options.stateFile.empty()) return DriveMemory{};
    return LoadStateFile(options.stateFile);
}

}  // namespace

SimulatedDrive::SimulatedDrive(DriveOptions options)
    : m_options(std::move(options)),
      m_drive(m_options.timeScale, InitialMemory(m_options)),
      m_faults(m_options.seed) {
    m_savedRuntimeMs = m_drive.memory().runtimeMs;
}

SimulatedDrive::~SimulatedDrive() {
    std::lock_guard lock(m_mutex);
    if (!m_options.stateFile.empty()) SaveStateFile(m_options.stateFile, m_drive.memory());
}

std::optional<std::uint8_t> SimulatedDrive::lineIn(std::uint8_t byte) {
    std::lock_guard lock(m_mutex);
    if (m_faults.unplugged(Clock::now())) return std::nullopt;
    return m_faults.receive(byte);
}

std::vector<std::uint8_t> SimulatedDrive::exchange(const link::Telegram& request,
                                                   Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_faults.unplugged(now)) return {};
    m_drive.advanceTo(now);
    auto reply = m_handler.handle(request);
    if (!reply) return {};
    link::WireFrame frame;
    if (link::EncodeTelegram(*reply, frame) != 0) return {};
    return m_faults.transmit(std::move(frame.bytes));
}

int SimulatedDrive::latencyMs() const {
    std::lock_guard lock(m_mutex);
    return m_options.latencyMs;
}

std::string SimulatedDrive::command(const std::string& line, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    m_drive.advanceTo(now);
    return RunConsoleCommand(line, m_drive, m_faults, now);
}

void SimulatedDrive::saveIfDue(Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_options.stateFile.empty()) return;
    m_drive.advanceTo(now);
    const bool changed = m_drive.revision() != m_savedRevision;
    const bool ranOn = m_drive.memory().runtimeMs >= m_savedRuntimeMs + kRuntimeSaveStepMs;
    if ((changed || ranOn) && now - m_lastSave >= kSaveSpacing) saveLocked(now);
}

void SimulatedDrive::saveLocked(Clock::time_point now) {
    // A failed write is tried again at the next chance; the drive runs on.
    if (!SaveStateFile(m_options.stateFile, m_drive.memory())) return;
    m_savedRevision = m_drive.revision();
    m_savedRuntimeMs = m_drive.memory().runtimeMs;
    m_lastSave = now;
}

std::vector<std::uint8_t> SimulatedDrive::firmwareImage() const {
    std::lock_guard lock(m_mutex);
    return m_drive.loader().firmwareImage();
}

std::vector<std::uint8_t> SimulatedDrive::loaderImage() const {
    std::lock_guard lock(m_mutex);
    return m_drive.loader().loaderImage();
}

DriveMemory SimulatedDrive::memorySnapshot() const {
    std::lock_guard lock(m_mutex);
    return m_drive.memory();
}

}  // namespace velmora::sim
