#include "sim/consolecommand.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace velmora::sim {
namespace {

std::vector<std::string> Split(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool Integer(const std::string& text, long low, long high, long& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || v < low || v > high) return false;
    out = v;
    return true;
}

bool Real(const std::string& text, double low, double high, double& out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(v) || v < low || v > high)
        return false;
    out = v;
    return true;
}

std::string Format(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

}  // namespace

std::string_view ConsoleHelp() {
    return "  fault <class> <number>  report a fault in the status reply (class 0..255, number "
           "0..255)\n"
           "  clear                   clear the fault\n"
           "  unplug <seconds>        stop answering for that long, as a pulled cable (0 plugs "
           "back)\n"
           "  replug <seconds>        hang up the pseudo-terminal, as an adapter pulled out, and\n"
           "                          serve on a new one at the same --pty-link path after that "
           "time\n"
           "  noise <probability>     garble each byte on the line with this probability (0..1)\n"
           "  drop <probability>      lose each byte on the line with this probability (0..1)\n"
           "  uppercase on|off        write the hex digits of replies in upper case\n"
           "  motor start|stop        start or stop the motor from the drive's own input\n"
           "  state                   set and actual speed, motor, fault, boot loader, firmware\n"
           "  quit                    end the simulator\n";
}

std::string RunConsoleCommand(std::string_view line, DriveState& drive, LineFaults& faults,
                              std::chrono::steady_clock::time_point now) {
    const auto w = Split(line);
    if (w.empty()) return "error: empty command (try help)";
    const std::string& name = w[0];
    if (name == "fault") {
        long cls = 0;
        long number = 0;
        if (w.size() != 3 || !Integer(w[1], 0, 255, cls) || !Integer(w[2], 0, 255, number))
            return "error: usage: fault <class 0..255> <number 0..255>";
        drive.injectFault(static_cast<int>(cls), static_cast<int>(number));
        return "ok fault " + std::to_string(cls) + " " + std::to_string(number);
    }
    if (name == "clear" && w.size() == 1) {
        drive.clearFault();
        return "ok fault cleared";
    }
    if (name == "unplug") {
        double seconds = 0;
        if (w.size() != 2 || !Real(w[1], 0, 86400, seconds))
            return "error: usage: unplug <seconds 0..86400>";
        faults.unplugUntil(now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(seconds)));
        return "ok unplugged for " + Format(seconds) + " s";
    }
    if (name == "noise" || name == "drop") {
        double p = 0;
        if (w.size() != 2 || !Real(w[1], 0, 1, p))
            return "error: usage: " + name + " <probability 0..1>";
        if (name == "noise")
            faults.setNoise(p);
        else
            faults.setDrop(p);
        return "ok " + name + " " + Format(p);
    }
    if (name == "uppercase") {
        if (w.size() != 2 || (w[1] != "on" && w[1] != "off"))
            return "error: usage: uppercase on|off";
        faults.setUppercase(w[1] == "on");
        return "ok uppercase " + w[1];
    }
    if (name == "motor") {
        if (w.size() != 2 || (w[1] != "start" && w[1] != "stop"))
            return "error: usage: motor start|stop";
        if (w[1] == "start")
            drive.startMotor();
        else
            drive.stopMotor();
        return "ok motor " + w[1];
    }
    if (name == "state" && w.size() == 1) {
        std::string text = drive.summary();
        if (faults.unplugged(now)) text += " unplugged";
        return text;
    }
    if (name == "quit" && w.size() == 1) return "bye";
    if (name == "help" && w.size() == 1)
        return "commands: fault <class> <number>, clear, unplug <seconds>, replug <seconds>, "
               "noise <p>, drop <p>, uppercase on|off, motor start|stop, state, quit";
    return "error: unknown command '" + std::string(line) + "' (try help)";
}

}  // namespace velmora::sim
