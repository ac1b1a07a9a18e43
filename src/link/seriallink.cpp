#include "link/seriallink.h"

#include <charconv>
#include <chrono>
#include <thread>

#include "link/devicemap.h"
#include "platform/configfile.h"
#include "platform/profile.h"

namespace velmora::link {
namespace {

constexpr std::chrono::milliseconds kReadTimeout{200};

std::unique_ptr<SerialPort> OpenDevice(unsigned number, const std::string& device) {
    if (device.empty()) return nullptr;
    return std::make_unique<SerialPort>(number, device);
}

// Which failure of an automatic search is worth telling the user: a device
// that exists but is refused says more than numbers with no device at all.
int Weight(OpenFailureKind kind) {
    switch (kind) {
        case OpenFailureKind::Permission:
            return 5;
        case OpenFailureKind::Busy:
            return 4;
        case OpenFailureKind::Configuration:
            return 3;
        case OpenFailureKind::Other:
            return 2;
        case OpenFailureKind::NoDevice:
            return 1;
        case OpenFailureKind::None:
            break;
    }
    return 0;
}

// "%d" as the setting was always read: optional sign and leading digits. A
// value without digits or outside the port numbers is not a setting.
std::optional<int> ParsePortNumber(const std::string& text) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc{} || ptr == begin) return std::nullopt;
    if (value < 0 || value >= static_cast<int>(kPortNumbers)) return std::nullopt;
    return value;
}

}  // namespace

SerialLink::SerialLink() : m_opener(OpenDevice) {}

SerialLink::~SerialLink() {
    Release();
}

void SerialLink::setPortOpener(PortOpener opener) {
    std::lock_guard lock(m_mutex);
    m_opener = opener ? std::move(opener) : PortOpener(OpenDevice);
}

void SerialLink::setConfigFile(std::filesystem::path file) {
    std::lock_guard lock(m_mutex);
    m_configFile = std::move(file);
}

std::filesystem::path SerialLink::configFile() const {
    return m_configFile.empty() ? platform::ConfigFilePath() : m_configFile;
}

std::shared_ptr<SerialPort> SerialLink::currentPort() const {
    std::lock_guard lock(m_portMutex);
    return m_reopening ? nullptr : m_port;
}

void SerialLink::discardPort() {
    std::shared_ptr<SerialPort> old;
    {
        std::lock_guard lock(m_portMutex);
        old = std::move(m_port);
        m_port.reset();
    }
    if (!old) return;
    old->Cancel();
    while (old.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    old.reset();
}

void SerialLink::installPort(std::shared_ptr<SerialPort> port, const OpenFailure& failure) {
    {
        std::lock_guard lock(m_portMutex);
        m_port = std::move(port);
        m_lastFailure = failure;
        m_reopening = false;
    }
    m_portChanged.notify_all();
}

int SerialLink::OpenLink() {
    std::lock_guard lock(m_mutex);
    {
        std::lock_guard portLock(m_portMutex);
        m_reopening = true;
    }
    discardPort();

    const DeviceMap devices = DeviceMap::FromProfile(platform::ProfileFile::load(configFile()));
    OpenFailure worst;
    const auto attempt = [&](unsigned number, const std::string& device) {
        std::shared_ptr<SerialPort> port = m_opener(number, device);
        if (port && port->IsOpen()) return port;
        OpenFailure failure;
        failure.kind = OpenFailureKind::NoDevice;
        failure.device = device;
        if (port) failure = port->failure();
        if (Weight(failure.kind) > Weight(worst.kind)) worst = failure;
        return std::shared_ptr<SerialPort>();
    };

    std::shared_ptr<SerialPort> port;
    if (m_fixedDevice) {
        port = attempt(m_comNumber, *m_fixedDevice);
    } else if (m_mode == kModeFixed) {
        port = attempt(m_comNumber, devices.pathFor(m_comNumber));
    } else if (m_mode == kModeAutomatic) {
        // Continue after the last number tried, so a port that opens but never
        // answers is passed over at the next attempt.
        for (unsigned tries = 0; tries < kPortNumbers && !port; ++tries) {
            ++m_comNumber;
            port = attempt(m_comNumber, devices.pathFor(m_comNumber));
        }
    }
    const bool open = port != nullptr;
    installPort(std::move(port), open ? OpenFailure{} : worst);
    return open ? kLinkOpen : kLinkNotOpen;
}

int SerialLink::LinkWrite(WireFrame frame) {
    const auto port = currentPort();
    if (!port) return 1;
    // A write that failed or timed out did not reach the drive either.
    const std::size_t written = port->Write(frame.bytes.data(), frame.bytes.size());
    return written == frame.bytes.size() ? 0 : 1;
}

int SerialLink::LinkRead(std::span<std::uint8_t, kReadChunk> buffer, int& count) {
    count = 0;
    std::shared_ptr<SerialPort> port;
    {
        std::unique_lock lock(m_portMutex);
        if (m_reopening || !m_port) {
            // A read during a replacement delivers nothing, but it waits like
            // a read on a silent line would.
            m_portChanged.wait_for(lock, kReadTimeout);
            return 1;
        }
        port = m_port;
    }
    count = static_cast<int>(port->Read(buffer.data(), buffer.size()));
    return count == static_cast<int>(kReadChunk) ? 0 : 1;
}

int SerialLink::ReadLinkSettings(int& port, int& mode) {
    const auto profile = platform::ProfileFile::load(configFile());
    // The value was read into a five-character buffer: only four count.
    const std::string detect = profile.getString("comtype", "detect", "CODE_ERROR").substr(0, 4);
    std::lock_guard lock(m_mutex);
    if (detect == "A") {
        mode = kModeAutomatic;
        m_mode = kModeAutomatic;
        return 0;
    }
    if (detect == "C") {
        // A fixed setting without a usable port number is as good as none:
        // automatic detection stays in force.
        const auto number = ParsePortNumber(profile.getString("comtype", "com", ""));
        if (!number) return 1;
        mode = kModeFixed;
        port = *number;
        m_mode = kModeFixed;
        m_comNumber = static_cast<std::uint8_t>(*number);
        return 0;
    }
    return 1;
}

int SerialLink::WriteLinkSettings(int port, int mode) {
    if ((mode != kModeFixed && mode != kModeAutomatic) || port < 0 ||
        port >= static_cast<int>(kPortNumbers)) {
        return 1;
    }
    std::lock_guard lock(m_mutex);
    discardPort();
    m_fixedDevice.reset();
    m_mode = mode;
    m_comNumber = static_cast<std::uint8_t>(port);
    const bool written = platform::UpdateProfile(configFile(), [&](platform::ProfileFile& profile) {
        profile.setString("comtype", "detect", mode == kModeFixed ? "C" : "A");
        profile.setString("comtype", "com", std::to_string(port));
    });
    return written ? 0 : 1;
}

int SerialLink::WriteDeviceForPort(unsigned port, const std::string& device) {
    if (port >= kPortNumbers || (!device.empty() && !device.starts_with('/'))) return 1;
    std::lock_guard lock(m_mutex);
    const bool written = platform::UpdateProfile(configFile(), [&](platform::ProfileFile& profile) {
        profile.setString("comdevices", "com" + std::to_string(port), device);
    });
    return written ? 0 : 1;
}

std::string SerialLink::DevicePathForPort(unsigned port) const {
    std::filesystem::path file;
    {
        std::lock_guard lock(m_mutex);
        file = configFile();
    }
    return DeviceMap::FromProfile(platform::ProfileFile::load(file)).pathFor(port);
}

void SerialLink::UsePortForThisRun(unsigned port) {
    std::lock_guard lock(m_mutex);
    m_fixedDevice.reset();
    m_mode = kModeFixed;
    m_comNumber = static_cast<std::uint8_t>(port);
}

void SerialLink::UseFixedDevice(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_fixedDevice = path;
    m_mode = kModeFixed;
}

void SerialLink::UseAutomaticDetection() {
    std::lock_guard lock(m_mutex);
    m_fixedDevice.reset();
    m_mode = kModeAutomatic;
}

void SerialLink::Release() {
    std::lock_guard lock(m_mutex);
    discardPort();
}

OpenFailure SerialLink::LastOpenFailure() const {
    std::lock_guard lock(m_portMutex);
    return m_lastFailure;
}

unsigned SerialLink::comNumber() const {
    std::lock_guard lock(m_mutex);
    return m_comNumber;
}

int SerialLink::mode() const {
    std::lock_guard lock(m_mutex);
    return m_mode;
}

bool SerialLink::isOpen() const {
    std::lock_guard lock(m_portMutex);
    return m_port != nullptr;
}

}  // namespace velmora::link
