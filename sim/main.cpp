// velmora-sim: a simulated Velmora drive on a pseudo-terminal or a serial
// device, steered by one-line commands on stdin.
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "sim/consolecommand.h"
#include "sim/driveserver.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnSignal(int) {
    g_interrupted = 1;
}

void PrintHelp(std::ostream& out) {
    out << "Usage: velmora-sim [--pty-link PATH | --device PATH] [--time-scale X]\n"
           "                   [--latency MS] [--state FILE] [--line-rate BAUD]\n"
           "A simulated Velmora drive. It serves on a new pseudo-terminal (or on an existing\n"
           "serial device) and prints the device path as its first line of output.\n\n"
           "  --pty-link PATH   make PATH a symbolic link to the pseudo-terminal\n"
           "  --device PATH     serve on this serial device instead (null-modem cable)\n"
           "  --time-scale X    operating hours advance X times faster (default 1)\n"
           "  --latency MS      wait MS milliseconds before each answer (default 0)\n"
           "  --state FILE      keep memory slots, memory words, calibration, serial number,\n"
           "                    parameters and operating hours in FILE across runs\n"
           "  --line-rate BAUD  pace every byte received and sent at the wire time of\n"
           "                    BAUD (10 bits a character), as a real line takes it\n"
           "                    (default: as fast as the pseudo-terminal carries it)\n"
           "  --help            this text\n\n"
           "Commands on stdin, one per line, each answered with one line:\n"
        << velmora::sim::ConsoleHelp() << "It serves until stdin closes, 'quit' or an interrupt.\n";
}

int Usage(const std::string& message) {
    std::cerr << "velmora-sim: " << message << " (see --help)\n";
    return 2;
}

bool ParseNumber(const std::string& text, double low, double high, double& out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(v >= low && v <= high)) return false;
    out = v;
    return true;
}

// Reads stdin line by line without blocking signals out; false at its end or
// on an interrupt.
bool NextLine(std::string& pending, std::string& line) {
    for (;;) {
        if (const auto nl = pending.find('\n'); nl != std::string::npos) {
            line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            return true;
        }
        if (g_interrupted) return false;
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        if (::poll(&fd, 1, 200) <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0) {
            pending.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            if (pending.empty()) return false;
            line.swap(pending);
            pending.clear();
            return true;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    velmora::sim::ServerOptions options;
    std::string linkPath;
    std::string device;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintHelp(std::cout);
            return 0;
        }
        if (i + 1 >= argc) return Usage("missing value after " + arg);
        const std::string value = argv[++i];
        double number = 0;
        if (arg == "--pty-link") {
            linkPath = value;
        } else if (arg == "--device") {
            device = value;
        } else if (arg == "--time-scale") {
            if (!ParseNumber(value, 0.001, 1e6, number)) return Usage("bad time scale " + value);
            options.timeScale = number;
        } else if (arg == "--latency") {
            if (!ParseNumber(value, 0, 60000, number)) return Usage("bad latency " + value);
            options.latencyMs = static_cast<int>(number);
        } else if (arg == "--line-rate") {
            if (!ParseNumber(value, 300, 4000000, number)) return Usage("bad line rate " + value);
            options.lineRate = static_cast<int>(number);
        } else if (arg == "--state") {
            options.stateFile = value;
        } else {
            return Usage("unknown option " + arg);
        }
    }
    if (!linkPath.empty() && !device.empty())
        return Usage("--pty-link and --device exclude each other");

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    velmora::sim::DriveServer server(options);
    if (device.empty()) {
        device = server.startOnPty(linkPath);
        if (device.empty()) {
            std::cerr << "velmora-sim: cannot create a pseudo-terminal"
                      << (linkPath.empty() ? "" : " or the link " + linkPath) << "\n";
            return 1;
        }
    } else if (!server.startOnDevice(device)) {
        std::cerr << "velmora-sim: cannot open " << device << " (missing, busy or no access)\n";
        return 1;
    }
    std::cout << device << std::endl;

    std::string pending;
    std::string line;
    while (NextLine(pending, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const std::string answer = server.command(line);
        std::cout << answer << std::endl;
        if (answer == "bye") break;
    }
    server.stop();
    return 0;
}
