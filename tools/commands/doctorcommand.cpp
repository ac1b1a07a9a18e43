// velmora-cli doctor: what stands between this user and each serial port.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "commandkit.h"
#include "link/seriallink.h"
#include "platform/configfile.h"

namespace velmora::tools {
namespace {

namespace fs = std::filesystem;

// ttyS devices exist whether or not a UART sits behind them.
bool HasUart(const fs::path& device) {
    std::error_code code;
    const auto name = device.filename().string();
    if (name.rfind("ttyS", 0) != 0) return true;
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return fs::exists("/sys/class/tty/" + name + "/device", code) && type >> value && value != 0;
}

std::vector<fs::path> SerialDevices() {
    std::set<fs::path> found;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator("/dev", code)) {
        const auto name = entry.path().filename().string();
        if ((name.rfind("ttyS", 0) == 0 || name.rfind("ttyUSB", 0) == 0 ||
             name.rfind("ttyACM", 0) == 0) &&
            HasUart(entry.path()))
            found.insert(entry.path());
    }
    return {found.begin(), found.end()};
}

// Processes that hold the device open: "<pid> <name>".
std::vector<std::string> Holders(const fs::path& device) {
    std::vector<std::string> holders;
    std::error_code code;
    for (const auto& proc : fs::directory_iterator("/proc", code)) {
        const auto pid = proc.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (pid == std::to_string(::getpid())) continue;
        std::error_code inner;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", inner)) {
            std::error_code link;
            if (fs::read_symlink(fd.path(), link) != device) continue;
            std::string name;
            std::ifstream(proc.path() / "comm") >> name;
            holders.push_back(pid + " " + name);
            break;
        }
    }
    return holders;
}

bool ModemManagerRunning() {
    std::error_code code;
    for (const auto& proc : fs::directory_iterator("/proc", code)) {
        std::string name;
        std::ifstream(proc.path() / "comm") >> name;
        if (name == "ModemManager") return true;
    }
    return false;
}

int RunDoctor(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (!invocation.arguments.empty()) return UsageError(output, invocation, "takes no arguments");
    std::map<fs::path, std::vector<std::string>> byId;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", code))
        byId[fs::canonical(entry.path(), code)].push_back(entry.path().string());
    // Which port number maps to which device, config.ini's comdevices included.
    // A number mapped to a /dev/serial/by-id name counts for the device that
    // name resolves to.
    std::map<std::string, int> portOf;
    link::SerialLink serial;  // only its config.ini side: no port is opened
    for (int port = 255; port >= 1; --port) {
        const auto path = serial.DevicePathForPort(static_cast<unsigned>(port));
        if (path.empty()) continue;
        portOf[path] = port;
        std::error_code missing;
        const auto resolved = fs::canonical(path, missing);
        if (!missing) portOf[resolved.string()] = port;
    }
    nlohmann::json ports = nlohmann::json::array();
    auto& out = output.text();
    for (const auto& device : SerialDevices()) {
        nlohmann::json entry{{"device", device.string()}};
        out << device.string();
        if (auto it = portOf.find(device.string()); it != portOf.end()) {
            entry["port"] = it->second;
            out << "  port " << it->second;
        } else {
            entry["port"] = nullptr;
            out << "  no port number (add com<N>=" << device.string()
                << " to section comdevices of config.ini)";
        }
        out << "\n";
        if (auto it = byId.find(device); it != byId.end()) {
            entry["by_id"] = it->second;
            for (const auto& name : it->second) out << "  also " << name << "\n";
        }
        const bool access = ::access(device.c_str(), R_OK | W_OK) == 0;
        entry["accessible"] = access;
        if (!access) {
            struct stat info {};
            std::string group = "dialout";
            if (::stat(device.c_str(), &info) == 0)
                if (const ::group* g = ::getgrgid(info.st_gid)) group = g->gr_name;
            const std::string fix = "sudo usermod -aG " + group + " $USER  (then log in again)";
            entry["group"] = group;
            entry["fix"] = fix;
            out << "  no access for this user: " << fix << "\n";
        }
        const auto holders = Holders(device);
        entry["held_by"] = holders;
        for (const auto& holder : holders) out << "  in use by process " << holder << "\n";
        ports.push_back(entry);
    }
    if (ports.empty()) out << "no serial devices found\n";
    const bool modemManager = ModemManagerRunning();
    if (modemManager)
        out << "ModemManager is running: it grabs ttyACM devices for a while after they\n"
               "appear (sudo systemctl stop ModemManager, or a udev rule with\n"
               "ENV{ID_MM_DEVICE_IGNORE}=\"1\" for the drive's adapter)\n";
    int port = 0;
    int mode = 0;
    const int read = serial.ReadLinkSettings(port, mode);
    nlohmann::json setting{{"file", platform::ConfigFilePath().string()}};
    if (read == 0 && port > 0) {
        setting["port"] = port;
        setting["device"] = serial.DevicePathForPort(static_cast<unsigned>(port));
        out << "config.ini: port " << port << " ("
            << serial.DevicePathForPort(static_cast<unsigned>(port)) << ")\n";
    } else {
        setting["port"] = nullptr;
        out << "config.ini: no port set; ports are searched\n";
    }
    output.emit(
        {{"ok", true}, {"ports", ports}, {"modem_manager", modemManager}, {"config", setting}});
    return kExitOk;
}

}  // namespace

Command DoctorCommand() {
    return {"doctor", "[--json] doctor",
            "  Explains the serial ports of this machine: each /dev/ttyS* with a UART,\n"
            "  /dev/ttyUSB*, /dev/ttyACM* and their /dev/serial/by-id names; the port\n"
            "  number that maps to it; whether this user may open it and, if not, the\n"
            "  group and the command that fixes it; which process holds it; whether\n"
            "  ModemManager runs; and the port setting of config.ini in force. Exit 0.\n",
            RunDoctor};
}

}  // namespace velmora::tools
