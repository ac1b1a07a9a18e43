#include "cli.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <regex>
#include <sstream>
#include <thread>

#include "jsonresult.h"
#include "link/linkpolicy.h"
#include "model/commands.h"
#include "model/linkeddrive.h"
#include "session.h"
#include "tests/support/ptypeer.h"
#include "tests/support/waitfor.h"

namespace velmora::tools {
namespace {

using namespace std::chrono_literals;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Output another thread may read while the command writes it.
class SharedText : public std::streambuf {
  public:
    std::string text() const {
        const std::lock_guard lock(m_mutex);
        return m_text;
    }

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const std::lock_guard lock(m_mutex);
            m_text.push_back(traits_type::to_char_type(c));
        }
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const std::lock_guard lock(m_mutex);
        m_text.append(s, static_cast<std::size_t>(n));
        return n;
    }

  private:
    mutable std::mutex m_mutex;
    std::string m_text;
};

CliRun RunWith(std::vector<std::string> args, std::atomic<bool>* interrupt = nullptr,
               SharedText* watched = nullptr) {
    SharedText text;
    std::ostream out(watched ? watched : &text);
    std::ostringstream err;
    std::atomic<bool> never{false};
    CliContext context{out, err, interrupt ? *interrupt : never};
    const int status = RunCli(args, context);
    return {status, (watched ? watched : &text)->text(), err.str()};
}

struct BadArgs {
    const char* name;
    std::vector<std::string> args;
};

class CliUsage : public ::testing::TestWithParam<BadArgs> {};

// Catches a script that passes wrong arguments getting a silent run or a
// success status instead of exit status 2 and one line saying why.
TEST_P(CliUsage, BadArgumentsExitWithTwoAndOneLine) {
    const CliRun run = RunWith(GetParam().args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsage,
    ::testing::Values(BadArgs{"Nothing", {}}, BadArgs{"UnknownCommand", {"listen"}},
                      BadArgs{"UnknownOption", {"--baud", "9600", "monitor"}},
                      BadArgs{"PortTooBig", {"--port", "256", "monitor"}},
                      BadArgs{"PortNotANumber", {"--port", "COM3", "monitor"}},
                      BadArgs{"PortAndDevice", {"--port", "5", "--device", "/dev/x", "monitor"}},
                      BadArgs{"MissingValue", {"monitor", "--seconds"}},
                      BadArgs{"ZeroSeconds", {"--seconds", "0", "monitor"}},
                      BadArgs{"NegativeSeconds", {"--seconds=-1", "monitor"}},
                      BadArgs{"PollText", {"--poll", "fast", "monitor"}},
                      BadArgs{"ExtraWord", {"monitor", "now"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches a help text that forgets the command or the link options.
TEST(Cli, HelpExplainsMonitorAndOptions) {
    const CliRun run = RunWith({"--help"});
    EXPECT_EQ(run.status, kExitOk);
    for (const char* word : {"monitor", "--port", "--device", "--poll", "--seconds", "status"}) {
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }
}

// Catches output a script cannot parse: every line is one of the four kinds,
// with a millisecond stamp and two-digit lower-case hex.
TEST(Cli, MonitorPrintsOneLinePerMessage) {
    link::test::ScriptedDrive drive(link::test::ScriptedDrive::StandardAnswer);
    const auto started = std::chrono::steady_clock::now();
    const CliRun run =
        RunWith({"--device", drive.devicePath(), "--poll", "1", "--seconds", "1.6", "monitor"});
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_GE(took, 1600ms);
    EXPECT_LT(took, 4000ms);
    const std::regex line(
        R"(\d+ (link [01]|status( [0-9a-f]{2}){4}|(group|reply) [0-9a-f]{2}( [0-9a-f]{2})*))");
    std::istringstream lines(run.out);
    std::string text;
    std::map<std::string, int> kinds;
    long last = -1;
    while (std::getline(lines, text)) {
        EXPECT_TRUE(std::regex_match(text, line)) << text;
        const long ms = std::stol(text);
        EXPECT_GE(ms, last);
        last = ms;
        kinds[text.substr(text.find(' ') + 1,
                          text.find(' ', text.find(' ') + 1) - text.find(' ') - 1)]++;
    }
    EXPECT_GE(kinds["link"], 1);
    EXPECT_GE(kinds["status"], 1);
    EXPECT_GE(kinds["group"], 2);
    EXPECT_NE(run.out.find(" link 1\n"), std::string::npos);
    EXPECT_NE(run.out.find(" status 00 01 00 00\n"), std::string::npos);
    EXPECT_NE(run.out.find(" group 5a 12 34\n"), std::string::npos);
}

// Catches a monitor that ignores Ctrl-C or stays silent about a port it
// cannot open.
TEST(Cli, InterruptStopsAndFailuresAreExplained) {
    std::atomic<bool> interrupt{false};
    SharedText out;
    std::thread stopper([&] {
        // Ctrl-C once the monitor has told of the link it cannot open.
        (void)testkit::WaitFor([&] { return out.text().find(" link 0\n") != std::string::npos; });
        interrupt = true;
    });
    const auto started = std::chrono::steady_clock::now();
    const CliRun run = RunWith({"--device", "/dev/velmora-missing", "monitor"}, &interrupt, &out);
    stopper.join();
    EXPECT_EQ(run.status, kExitNoPort);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3000ms);
    EXPECT_NE(run.out.find(" link 0\n"), std::string::npos);
    EXPECT_NE(run.err.find("/dev/velmora-missing"), std::string::npos);
}

struct Unanswered {
    const char* name;
    std::vector<std::string> command;
};
class CliUnanswered : public ::testing::TestWithParam<Unanswered> {};

// Catches a reading command that exits 0 (or 1 for a port that cannot be
// opened) when nothing answered, or fails without the JSON failure object.
TEST_P(CliUnanswered, ExitsOneForASilentDriveAndFourForNoPort) {
    link::test::ScriptedDrive drive(link::test::ScriptedDrive::StandardAnswer);
    drive.setSilent(true);
    for (const auto& [device, status] :
         {std::pair{drive.devicePath(), kExitFailure},
          std::pair{std::string("/dev/velmora-missing"), kExitNoPort}}) {
        std::vector<std::string> args{"--device", device, "--json", "--seconds", "0.5"};
        args.insert(args.end(), GetParam().command.begin(), GetParam().command.end());
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, status) << device << run.err;
        const std::string last = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
        EXPECT_NE(last.find("\"exit\":" + std::to_string(status)), std::string::npos) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliUnanswered,
                         ::testing::Values(Unanswered{"Dump", {"dump"}},
                                           Unanswered{"Read", {"read", "59"}},
                                           Unanswered{"Monitor", {"monitor"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches a monitor that runs on forever when its output pipe is closed
// (velmora-cli monitor | head -3).
TEST(Cli, MonitorEndsWhenItsOutputFails) {
    std::ostream out(nullptr);  // every write fails
    std::ostringstream err;
    std::atomic<bool> never{false};
    CliContext context{out, err, never};
    const std::vector<std::string> args{"--device", "/dev/velmora-missing", "monitor"};
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(RunCli(args, context), kExitFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3000ms);
}

// Catches a command that ends (and stops the link) while its last order still
// waits behind other requests, and one that claims success when the drive
// never answered behind that order.
TEST(CliSession, AnOrderQueuedLastReachesTheDriveBeforeTheEnd) {
    link::test::ScriptedDrive drive(link::test::ScriptedDrive::StandardAnswer);
    const auto stops = [](const std::vector<link::test::ScriptedDrive::Request>& requests) {
        return std::count_if(requests.begin(), requests.end(),
                             [](const auto& r) { return r.command == model::code::StopMotor; });
    };
    for (const bool silent : {false, true}) {
        // With --json the result comes first and the failure to drain after
        // it: still one object, ok:false.
        std::ostringstream out, err;
        JsonResult result(out, err);
        std::ostream filtered(&result);
        std::atomic<bool> never{false};
        CliContext context{filtered, err, never};
        Invocation invocation;
        invocation.json = true;
        invocation.options.device = drive.devicePath();
        Output output(invocation, context);
        int status = -1;
        {
            DriveSession session(invocation, context, output);
            ASSERT_EQ(session.connect(), kExitOk) << err.str();
            drive.setSilent(silent);
            // A backlog on the line, then the order as the command's last act.
            for (int i = 0; i < 40; ++i) session.link().sendRequest(link::BuildReadRequest(0x59));
            session.link().sendRequest(model::BuildAction(model::code::StopMotor));
            output.emit({{"ok", true}, {"slot", 3}});
            status = session.finish(kExitOk);
        }
        result.finish(status);
        EXPECT_EQ(stops(drive.requests()), silent ? 2 : 1) << err.str();
        EXPECT_EQ(status, silent ? kExitFailure : kExitOk) << err.str();
        EXPECT_EQ(err.str().find("did not answer") != std::string::npos, silent) << err.str();
        const std::string text = out.str();
        ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        const auto object = nlohmann::json::parse(text);
        EXPECT_EQ(object["ok"], !silent);
        EXPECT_EQ(object["slot"], 3);
        EXPECT_EQ(object["exit"], status);
        drive.setSilent(false);
    }
}

// Runs in a fresh folder holding config.ini, as the tool is started by a
// production-line script.
class CliInFolder : public ::testing::Test {
  protected:
    CliInFolder() : m_previous(std::filesystem::current_path()) {
        char pattern[] = "/tmp/velmora-cli-XXXXXX";
        m_folder = ::mkdtemp(pattern);
        std::filesystem::current_path(m_folder);
    }
    ~CliInFolder() override {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_folder);
    }
    void writeConfig(const std::string& text) { std::ofstream("config.ini") << text; }
    std::string readConfig() {
        std::ifstream in("config.ini");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path m_previous;
    std::filesystem::path m_folder;
};

// Catches --port and the saved port setting ignoring the comdevices mapping,
// and a monitor run that rewrites config.ini.
TEST_F(CliInFolder, PortNumbersGoThroughTheDeviceMapping) {
    link::test::ScriptedDrive drive(link::test::ScriptedDrive::StandardAnswer);
    const std::string config =
        "[comtype]\ndetect=C\ncom=7\n[comdevices]\ncom7=" + drive.devicePath() + "\n";
    writeConfig(config);
    for (const auto& args :
         {std::vector<std::string>{"--seconds", "0.8", "monitor"},
          std::vector<std::string>{"--port", "7", "--seconds", "0.8", "monitor"}}) {
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_NE(run.out.find(" link 1\n"), std::string::npos) << run.out << run.err;
    }
    const CliRun other = RunWith({"--port", "8", "--seconds", "1.3", "monitor"});
    EXPECT_EQ(other.out.find(" link 1\n"), std::string::npos);
    EXPECT_EQ(readConfig(), config);
}

// Catches doctor missing the port number of a device config.ini names by a
// /dev/serial/by-id style link.
TEST_F(CliInFolder, DoctorMatchesPortsByTheirDevice) {
    if (!std::filesystem::exists("/sys/class/tty/ttyS0/device")) GTEST_SKIP() << "no ttyS0";
    const auto link = m_folder / "usb-adapter-if00";
    std::filesystem::create_symlink("/dev/ttyS0", link);
    writeConfig("[comdevices]\ncom1=" + link.string() + "\n");
    const CliRun run = RunWith({"--json", "doctor"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto ports = nlohmann::json::parse(run.out)["ports"];
    const auto found = std::find_if(ports.begin(), ports.end(),
                                    [](const auto& p) { return p["device"] == "/dev/ttyS0"; });
    ASSERT_NE(found, ports.end()) << run.out;
    EXPECT_EQ((*found)["port"], 1) << run.out;
}

}  // namespace
}  // namespace velmora::tools
