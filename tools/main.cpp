#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void OnSignal(int) {
    g_interrupted = true;
}

}  // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // A closed terminal or ssh session (SIGHUP) ends a command as Ctrl+C does:
    // a turning spindle is stopped before the program goes.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string> args(argv + 1, argv + argc);
    velmora::tools::CliContext context{std::cout, std::cerr, g_interrupted};
    return velmora::tools::RunCli(args, context);
}
