// velmora-cli's production-line commands end to end against the simulated
// drive on a pseudo-terminal, their exit statuses and their JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>
#include <tuple>

#include "cli.h"
#include "journal/journal.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/motorparameterfile.h"
#include "sim/driveserver.h"
#include "sim/factorysettings.h"
#include "tests/support/childprogram.h"
#include "tests/support/tempfolder.h"
#include "tests/support/waitfor.h"

namespace velmora::tools {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out, err;
    nlohmann::json json;  // the last line of standard output
};

class CliDrive : public testkit::TempFolderTest {
  protected:
    explicit CliDrive(sim::ServerOptions options = {}) : TempFolderTest("cli"), m_drive(options) {}
    void SetUp() override {
        TempFolderTest::SetUp();
        m_device = m_drive.startOnPty();
        ASSERT_FALSE(m_device.empty());
    }
    CliRun cli(std::vector<std::string> args, std::atomic<bool>* stop = nullptr) {
        args.insert(args.begin(), {"--device", m_device, "--json", "--seconds", "5"});
        std::ostringstream out, err;
        std::atomic<bool> never{false};
        CliContext context{out, err, stop ? *stop : never};
        CliRun run;
        run.status = RunCli(args, context);
        run.out = out.str();
        run.err = err.str();
        std::istringstream lines(run.out);
        std::string last;
        for (std::string line; std::getline(lines, line);) last = line;
        if (!last.empty()) run.json = nlohmann::json::parse(last);  // throws on bad JSON
        return run;
    }
    fs::path file(const std::string& name) const { return m_dir / name; }

    sim::DriveServer m_drive;
    std::string m_device;
};

// Every refusal is exit 2 with the reason, before any telegram.
struct BadArgs {
    const char* name;
    std::vector<std::string> args;
};
class CliCommandUsage : public CliDrive, public ::testing::WithParamInterface<BadArgs> {};

TEST_P(CliCommandUsage, RefusesWithTwo) {
    const CliRun run = cli(GetParam().args);
    EXPECT_EQ(run.status, kExitUsage) << run.err;
    EXPECT_FALSE(run.err.empty());
    // Exactly one object, also when the parser refused the words.
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_EQ(run.json.value("exit", 0), kExitUsage);
    EXPECT_EQ(run.json.value("schema", 0), 1);
    EXPECT_FALSE(run.json.value("error", "").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliCommandUsage,
    ::testing::Values(
        BadArgs{"SlotZero", {"slot", "load", "0"}}, BadArgs{"SlotTooBig", {"slot", "save", "33"}},
        BadArgs{"SlotNoVerb", {"slot"}}, BadArgs{"MakerSetTooBig", {"maker-set", "15"}},
        BadArgs{"FactoryWithoutYes", {"factory-settings"}},
        BadArgs{"FlashWithoutUpdate", {"flash", "--loader", "x"}},
        BadArgs{"FlashResumeAndLoader", {"flash", "--resume", "--loader", "x", "--update", "y"}},
        BadArgs{"MotorVerb", {"motor", "copy", "x.vpm"}},
        BadArgs{"BackupTwoFiles", {"backup", "a", "b"}}, BadArgs{"RunInNothing", {"runin"}},
        BadArgs{"UnknownOption", {"status", "--baud", "9600"}},
        BadArgs{"SlotSaveUnasked", {"slot", "save", "3"}},
        BadArgs{"SlotLoadUnasked", {"slot", "load", "3"}},
        BadArgs{"SlotDeleteUnasked", {"slot", "delete", "3"}},
        BadArgs{"MakerSetUnasked", {"maker-set", "2"}}, BadArgs{"UnknownCommand", {"listen"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliDrive, StatusReportsIdentityAndSilentPortsExitFour) {
    const CliRun run = cli({"status"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto factory = sim::FactoryParameters();
    EXPECT_EQ(run.json["serial"], factory[39]);
    EXPECT_EQ(run.json["inverter_type"], factory[36]);
    EXPECT_EQ(run.json["fault_class"], 0);
    EXPECT_TRUE(run.json["operation_allowed"].get<bool>());

    std::ostringstream out, err;
    std::atomic<bool> never{false};
    CliContext context{out, err, never};
    const std::vector<std::string> missing{"--device", "/dev/velmora-missing", "status"};
    EXPECT_EQ(RunCli(missing, context), kExitNoPort) << err.str();
}

// A backup restored onto a changed drive leaves nothing for diff; a file with
// one bad value writes nothing.
TEST_F(CliDrive, BackupRestoreDiffRoundTrip) {
    const fs::path original = file("original.ini");
    ASSERT_EQ(cli({"backup", original.string()}).status, kExitOk);
    EXPECT_EQ(cli({"diff", original.string()}).status, kExitOk);

    // The same file with one speed limit changed, written to the drive.
    std::string text = Slurp(original);
    const auto at = text.find("p42=");
    ASSERT_NE(at, std::string::npos) << text;
    const auto end = text.find_first_of("\r\n", at);
    const std::string changedLine = "p42=" + std::to_string(std::stoul(text.substr(at + 4)) - 7);
    text.replace(at, end - at, changedLine);
    { std::ofstream(file("changed.ini"), std::ios::binary) << text; }
    std::string otherType = text;
    otherType.replace(otherType.find("type="), 5, "type=1");
    { std::ofstream(file("other.ini"), std::ios::binary) << otherType; }
    EXPECT_EQ(cli({"restore", file("other.ini").string()}).status, kExitUsage);

    const CliRun restored = cli({"restore", file("changed.ini").string()});
    ASSERT_EQ(restored.status, kExitOk) << restored.err;
    EXPECT_TRUE(fs::exists(m_dir / restored.json["undo_file"].get<std::string>()));

    const CliRun differ = cli({"diff", original.string()});
    EXPECT_EQ(differ.status, kExitDiffers);
    ASSERT_EQ(differ.json["differences"].size(), 1u) << differ.out;
    EXPECT_EQ(differ.json["differences"][0]["parameter"], 42);
    EXPECT_NE(differ.err.find("p42: drive "), std::string::npos);

    std::string bad = Slurp(original);
    bad.replace(bad.find("p41="), 4, "p41=fast\np40=");
    { std::ofstream(file("bad.ini"), std::ios::binary) << bad; }
    const CliRun refused = cli({"restore", file("bad.ini").string()});
    EXPECT_EQ(refused.status, kExitFailure);
    EXPECT_NE(refused.err.find("p41"), std::string::npos);

    ASSERT_EQ(cli({"restore", original.string()}).status, kExitOk);
    EXPECT_EQ(cli({"diff", original.string()}).status, kExitOk);
}

// Values no panel would accept, and files lacking values, are refused whole
// before anything is written: the drive is as it was.
TEST_F(CliDrive, RefusedFilesLeaveTheDriveUnchanged) {
    const fs::path original = file("original.ini");
    ASSERT_EQ(cli({"backup", original.string()}).status, kExitOk);
    const std::string text = Slurp(original);
    const auto with = [&](const std::string& key, const std::string& value) {
        std::string changed = text;
        const auto at = changed.find("\n" + key + "=") + 1;
        changed.replace(at, changed.find('\n', at) - at, key + "=" + value);
        const fs::path path = file(key + ".ini");
        std::ofstream(path, std::ios::binary) << changed;
        return path;
    };
    const std::string state = m_drive.command("state");
    testkit::WriteFile(file("empty.vpm"), "[Velmora Motor]\n");
    testkit::WriteFile(file("letter.vpr"), "[Velmora Fernbedienung]\np102=x\n");
    struct Case {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {
        {{"restore", with("p7", "300").string()}, "p7 = 300"},
        {{"restore", with("p42", "9000").string()}, "p42 = 9000 is outside the allowed 100 … 4000"},
        {{"motor", "load", file("empty.vpm").string()}, "p41 is missing"},
        {{"remote", "load", file("letter.vpr").string()}, "p102 = \"x\" is not a number"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, kExitFailure) << c.args[0];
        EXPECT_NE(run.json["error"].get<std::string>().find(c.named), std::string::npos) << run.out;
    }
    EXPECT_EQ(cli({"diff", original.string()}).status, kExitOk);
    EXPECT_EQ(m_drive.command("state"), state);
}

// A second copy of the first "key=value" line after `section`.
std::string WithRepeatedKey(std::string text, const std::string& section, std::string& key) {
    const auto start = text.find('\n', text.find(section)) + 1;
    const auto end = text.find('\n', start) + 1;
    key = text.substr(start, text.find('=', start) - start);
    return text.insert(end, text.substr(start, end - start));
}

// Files that would silently lose a value, undo files and backups that would
// overwrite one: refused, or given a name of their own.
TEST_F(CliDrive, LineTrapsKeepEveryFile) {
    const fs::path backup = file("unit.ini");
    ASSERT_EQ(cli({"backup", backup.string()}).status, kExitOk);
    EXPECT_EQ(cli({"backup", backup.string()}).status, kExitUsage) << "exists";
    EXPECT_EQ(cli({"backup", backup.string(), "--force"}).status, kExitOk);
    ASSERT_EQ(cli({"motor", "save", file("m.vpm").string()}).status, kExitOk);
    ASSERT_EQ(cli({"remote", "save", file("r.vpr").string()}).status, kExitOk);
    for (const auto& [name, section, args] :
         std::vector<std::tuple<std::string, std::string, std::vector<std::string>>>{
             {"unit.ini", "[Velmora Backup]", {"restore"}},
             {"m.vpm", "[", {"motor", "load"}},
             {"r.vpr", "[", {"remote", "load"}}}) {
        std::string key;
        testkit::WriteFile(file("twice-" + name), WithRepeatedKey(Slurp(file(name)), section, key));
        auto words = args;
        words.push_back(file("twice-" + name).string());
        const CliRun run = cli(words);
        EXPECT_EQ(run.status, kExitFailure) << name;
        EXPECT_NE(run.json.value("error", "").find(key + " in ["), std::string::npos) << run.out;
    }
    // Every undo name of the next seconds is taken: the restore finds its own.
    const std::string serial = std::to_string(sim::FactoryParameters()[39]);
    std::vector<fs::path> taken;
    for (int s = 0; s < 10; ++s) {
        const std::time_t at = std::time(nullptr) + s;
        std::tm local{};
        localtime_r(&at, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        taken.push_back(file("backup-" + serial + "-" + stamp + ".ini"));
        testkit::WriteFile(taken.back(), "keep");
    }
    const CliRun first = cli({"restore", backup.string()});
    const CliRun second = cli({"restore", backup.string()});
    ASSERT_EQ(first.status, kExitOk) << first.err;
    ASSERT_EQ(second.status, kExitOk) << second.err;
    EXPECT_NE(first.json["undo_file"], second.json["undo_file"]);
    for (const auto& path : taken) EXPECT_EQ(Slurp(path), "keep") << path;
}

// The read-back waits for the drive, however slowly it answers.
class CliSlowDrive : public CliDrive {
  protected:
    CliSlowDrive() : CliDrive(Slow()) {}
    static sim::ServerOptions Slow() {
        sim::ServerOptions options;
        options.latencyMs = 150;
        return options;
    }
};

TEST_F(CliSlowDrive, ReadBackWaitsForTheAnswers) {
    const fs::path backup = file("unit.ini");
    ASSERT_EQ(cli({"backup", backup.string()}).status, kExitOk);
    std::string text = Slurp(backup);
    const auto at = text.find("p42=");
    text.replace(at, text.find_first_of("\r\n", at) - at,
                 "p42=" + std::to_string(std::stoul(text.substr(at + 4)) - 7));
    testkit::WriteFile(file("changed.ini"), text);
    const CliRun restored = cli({"restore", file("changed.ini").string()});
    EXPECT_EQ(restored.status, kExitOk) << restored.err;
    EXPECT_TRUE(restored.json["not_taken"].empty()) << restored.out;
}

// The motor file is the window's writer's output for the same drive.
TEST_F(CliDrive, MotorSaveIsTheWindowsFileAndLoads) {
    const fs::path saved = file("unit.vpm");
    const CliRun run = cli({"motor", "save", saved.string()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    model::DriveData drive;
    const auto factory = sim::FactoryParameters();
    for (int p = 1; p <= model::kParameterCount; ++p) drive.SetWorking(p, factory[p]);
    const fs::path expected = file("window.vpm");
    ASSERT_TRUE(model::SaveMotorFile(fs::path(VELMORA_SOURCE_DIR) / "data" / "templates" /
                                         std::string(model::kMotorTemplateName),
                                     expected, drive));
    EXPECT_EQ(Slurp(saved), Slurp(expected));
    EXPECT_EQ(cli({"motor", "load", saved.string()}).status, kExitOk);
    EXPECT_EQ(cli({"remote", "save", file("unit.vpr").string()}).status, kExitOk);
    EXPECT_EQ(cli({"remote", "load", file("unit.vpr").string()}).status, kExitOk);
}

TEST_F(CliDrive, SlotsSaveListLoadAndDelete) {
    ASSERT_EQ(cli({"--yes", "slot", "save", "3"}).status, kExitOk);
    const CliRun list = cli({"slot", "list"});
    ASSERT_EQ(list.status, kExitOk) << list.err;
    ASSERT_EQ(list.json["slots"].size(), 32u);
    EXPECT_TRUE(list.json["slots"][2]["data"].get<bool>());
    EXPECT_EQ(cli({"--yes", "slot", "load", "3"}).status, kExitOk);
    EXPECT_EQ(cli({"--yes", "slot", "delete", "3"}).status, kExitOk);
    EXPECT_EQ(cli({"--yes", "slot", "load", "3"}).status, kExitFailure) << "an empty slot";
}

// Judged by what the drive holds afterwards: maker set 2 is a 2000 Hz, 5.00 A
// motor where the factory has 4000 Hz and 6.00 A, and the factory settings
// bring back every value of a new drive.
TEST_F(CliDrive, MakerSetAndFactorySettingsChangeTheDrive) {
    const CliRun fresh = cli({"dump"});
    ASSERT_EQ(fresh.status, kExitOk) << fresh.err;
    EXPECT_EQ(cli({"--yes", "maker-set", "2"}).status, kExitOk);
    const CliRun maker = cli({"dump"});
    ASSERT_EQ(maker.status, kExitOk) << maker.err;
    EXPECT_EQ(maker.json["parameters"]["p91"], "2000");
    EXPECT_EQ(maker.json["parameters"]["p93"], "5.00");
    EXPECT_EQ(cli({"--yes", "factory-settings"}).status, kExitOk);
    const CliRun factory = cli({"dump"});
    ASSERT_EQ(factory.status, kExitOk) << factory.err;
    EXPECT_EQ(factory.json["parameters"], fresh.json["parameters"]);
}

// Every command that writes reads the serial number first and sends nothing
// to another drive than the one named.
TEST_F(CliDrive, WritesOnlyToTheExpectedDrive) {
    const std::string serial = std::to_string(sim::FactoryParameters()[39]);
    const std::string other = std::to_string(sim::FactoryParameters()[39] + 1);
    const std::string backup = file("b.ini").string();
    ASSERT_EQ(cli({"--expect-serial", serial, "backup", backup}).status, kExitOk);
    ASSERT_EQ(cli({"motor", "save", file("m.vpm").string()}).status, kExitOk);
    ASSERT_EQ(cli({"remote", "save", file("r.vpr").string()}).status, kExitOk);
    std::ofstream(file("p.run")) << "[general]\nfiletext=p\n[step1]\nrpm=6000\nminute_time=1\n"
                                    "seconds_intervall_on=5\nseconds_intervall_off=5\n";
    testkit::WriteFile(file("x.bin"), "x");
    const std::vector<std::vector<std::string>> writes{
        {"restore", backup},
        {"motor", "load", file("m.vpm").string()},
        {"remote", "load", file("r.vpr").string()},
        {"slot", "save", "3"},
        {"slot", "delete", "3"},
        {"maker-set", "2"},
        {"factory-settings"},
        {"runin", file("p.run").string()},
        {"flash", "--loader", file("x.bin").string(), "--update", file("x.bin").string()}};
    for (auto args : writes) {
        args.insert(args.begin(), {"--yes", "--expect-serial", other});
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, kExitFailure) << args[3] << run.err;
        EXPECT_NE(run.json.value("error", "").find(serial + ", not " + other), std::string::npos)
            << run.out;
    }
    EXPECT_FALSE(cli({"slot", "list"}).json["slots"][2]["data"].get<bool>());
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 5) << "no undo file";
    EXPECT_EQ(m_drive.command("state").find("loader-running"), std::string::npos);
}

// Without a fault the same kind of program passes, every value in the certificate.
TEST_F(CliDrive, RunInWithoutFaultPasses) {
    const fs::path program = file("pass.run");
    std::ofstream(program) << "[general]\nfiletext=pass\n[step1]\nrpm=6000\nminute_time=1\n"
                              "seconds_intervall_on=55\nseconds_intervall_off=5\n";
    // The simulated ramp runs in real time: the on-phase must outlast it.
    const CliRun run = cli({"runin", program.string(), "--tick-ms", "100"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.json["result"], "PASS");
    EXPECT_EQ(run.json["program"]["name"], "pass");
    const auto& step = run.json["steps"][0];
    EXPECT_EQ(step["actual_rpm"]["mean"], 6000.0);
    EXPECT_FALSE(step["output_current_a"].is_null());
    // Under load the simulated drive's output voltage (p15) lies above the
    // voltage it reports as p16: the certificate must not swap the two.
    EXPECT_GT(step["output_voltage_v"]["mean"].get<double>(),
              step["supply_voltage_v"]["mean"].get<double>());
    EXPECT_EQ(run.json["drive"]["serial"], sim::FactoryParameters()[39]);
}

// On/off phases: ramps and off phases are counted, not judged, so a healthy
// drive passes; the certificate carries its digest, and a changed one fails.
TEST_F(CliDrive, RunInWithOffPhasesPassesAndItsCertificateHoldsUp) {
    const fs::path program = file("onoff.run");
    std::ofstream(program) << "[general]\nfiletext=onoff\n[step1]\nrpm=6000\nminute_time=1\n"
                              "seconds_intervall_on=20\nseconds_intervall_off=5\n";
    const fs::path report = file("onoff.json");
    const CliRun run = cli({"runin", program.string(), "--report", report.string(), "--tick-ms",
                            "100", "--station", "S7"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto& step = run.json["steps"][0];
    EXPECT_GT(step["off_samples"].get<int>(), 0);
    EXPECT_GE(step["actual_rpm"]["min"].get<double>(), 6000 * 0.98);
    EXPECT_EQ(run.json["accelerated_tick_ms"], 100);
    EXPECT_EQ(run.json["station"], "S7");
    EXPECT_EQ(cli({"certificate", "show", report.string()}).status, kExitOk);

    const fs::path page = file("onoff.html");
    std::string text = Slurp(report);
    text.replace(text.find("\"PASS\""), 6, "\"FAIL\"");
    std::ofstream(report, std::ios::trunc) << text;
    const CliRun tampered = cli({"certificate", "show", report.string(), "--html", page.string()});
    EXPECT_EQ(tampered.status, kExitFailure);
    EXPECT_EQ(tampered.json["digest_valid"], false);
    EXPECT_NE(Slurp(page).find("INVALID"), std::string::npos);
}

// A run-in with a fault mid-program fails with the fault in the certificate
// and leaves the motor standing.
TEST_F(CliDrive, RunInFaultEndsFailWithTheMotorStopped) {
    const fs::path program = file("short.run");
    std::ofstream(program) << "[general]\nfiletext=short\n[step1]\nrpm=6000\nminute_time=1\n"
                              "seconds_intervall_on=30\nseconds_intervall_off=5\n";
    const std::string before = m_drive.command("state");
    std::thread fault([this] {
        // Mid-program: once the motor runs.
        (void)testkit::WaitFor(
            [&] { return m_drive.command("state").find("running yes") != std::string::npos; },
            10000);
        m_drive.command("fault 3 7");
    });
    const fs::path report = file("cert.json");
    const CliRun run =
        cli({"runin", program.string(), "--report", report.string(), "--tick-ms", "50"});
    fault.join();
    ASSERT_EQ(run.status, kExitDiffers) << run.err;
    const auto cert = nlohmann::json::parse(Slurp(report));
    EXPECT_EQ(cert["result"], "FAIL");
    ASSERT_FALSE(cert["events"].empty());
    EXPECT_EQ(cert["events"][0]["fault_class"], 3);
    EXPECT_EQ(cert["events"][0]["fault_number"], 7);
    EXPECT_EQ(cert["failures"][0].get<std::string>().rfind("fault class 3 number 7 at ", 0), 0u)
        << cert["failures"];
    // Stopped, with the set speed it had before.
    const std::string after = m_drive.command("state");
    EXPECT_NE(after.find("running no"), std::string::npos) << after;
    EXPECT_EQ(after.substr(0, after.find(" Hz")), before.substr(0, before.find(" Hz")));
}

// A closed terminal (SIGHUP), Ctrl+C and SIGTERM alike leave the spindle
// standing with the set speed it had before.
TEST_F(CliDrive, RunInStopsTheMotorOnEverySignal) {
    const fs::path program = file("long.run");
    std::ofstream(program) << "[general]\nfiletext=long\n[step1]\nrpm=6000\nminute_time=1\n"
                              "seconds_intervall_on=60\nseconds_intervall_off=0\n";
    const std::string before = m_drive.command("state");
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        testkit::ChildProgram cli(VELMORA_CLI_PROGRAM, {"--device", m_device, "runin",
                                                        program.string(), "--tick-ms", "100"});
        ASSERT_TRUE(testkit::WaitFor(
            [&] { return m_drive.command("state").find("running yes") != std::string::npos; },
            10000));
        cli.signal(signal);
        EXPECT_EQ(cli.wait(), kExitFailure) << "signal " << signal;
        const std::string after = m_drive.command("state");
        EXPECT_NE(after.find("actual 0 Hz running no"), std::string::npos) << after;
        EXPECT_EQ(after.substr(0, after.find(" Hz")), before.substr(0, before.find(" Hz")));
    }
}

class CliFlash : public CliDrive {
  protected:
    CliFlash() : update(248 * 6 + 17) {
        for (std::size_t i = 0; i < update.size(); ++i)
            update[i] = static_cast<std::uint8_t>(i * 7);
        testkit::WriteFile(file("l.bin"), std::string(251 * 3, 'L'));
        testkit::WriteFile(file("u.bin"), std::string(update.begin(), update.end()));
        testkit::WriteFile(file("short.bin"), std::string(100, 'S'));
        testkit::WriteFile(file("empty.bin"), "");
    }
    // Runs a whole update and interrupts it (Ctrl+C) once cut() holds.
    CliRun cutWhole(const std::function<bool()>& cut) {
        std::atomic<bool> stop{false};
        std::thread watch([&] {
            (void)testkit::WaitFor(cut, 20000);
            stop = true;
        });
        CliRun run =
            cli({"flash", "--loader", file("l.bin").string(), "--update", file("u.bin").string()},
                &stop);
        watch.join();
        return run;
    }
    CliRun resume(const char* name) {
        return cli({"flash", "--resume", "--update", file(name).string()});
    }
    std::vector<std::uint8_t> update;
};

// Ctrl+C in phase 2 with block requests still arriving; a file too short for
// what the drive asks gets no end of download; the right one completes it.
TEST_F(CliFlash, CutInPhaseTwoResumesAndRefusesAShortImage) {
    EXPECT_EQ(resume("empty.bin").status, kExitFailure);
    const CliRun first = cutWhole([&] { return m_drive.receivedFirmware().size() >= 248; });
    EXPECT_EQ(first.status, kExitFailure);
    EXPECT_NE(first.err.find("--resume"), std::string::npos) << first.err;

    const CliRun tooShort = resume("short.bin");
    EXPECT_EQ(tooShort.status, kExitFailure);
    EXPECT_NE(tooShort.err.find("past the end"), std::string::npos) << tooShort.err;
    EXPECT_NE(m_drive.command("state").find("loader-running"), std::string::npos);

    const CliRun resumed = resume("u.bin");
    ASSERT_EQ(resumed.status, kExitOk) << resumed.err;
    EXPECT_EQ(m_drive.receivedFirmware(), update);
}

// A drive whose loader download was cut takes no new one from its start:
// neither --resume nor a whole run may end as a success.
TEST_F(CliFlash, CutInPhaseOneIsNeverReportedDone) {
    const CliRun first = cutWhole([&] { return m_drive.receivedLoader().size() >= 251; });
    EXPECT_EQ(first.status, kExitFailure);
    const auto start = std::chrono::steady_clock::now();
    const CliRun resumed = resume("u.bin");
    EXPECT_EQ(resumed.status, kExitFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_NE(resumed.err.find("--loader"), std::string::npos) << resumed.err;
    const CliRun again =
        cli({"flash", "--loader", file("l.bin").string(), "--update", file("u.bin").string()});
    EXPECT_EQ(again.status, kExitFailure) << m_drive.command("state");
    EXPECT_NE(again.err.find("off and on"), std::string::npos) << again.err;
}

TEST_F(CliDrive, DumpAndMonitorSpeakJson) {
    const CliRun dump = cli({"dump"});
    ASSERT_EQ(dump.status, kExitOk) << dump.err;
    EXPECT_EQ(dump.json["parameters"].size(), 91u);
    std::ostringstream out, err;
    std::atomic<bool> never{false};
    CliContext context{out, err, never};
    const std::vector<std::string> args{"--device", m_device,    "--json",
                                        "monitor",  "--seconds", "0.5"};
    ASSERT_EQ(RunCli(args, context), kExitOk);
    // Events a line, then the one result.
    std::istringstream lines(out.str());
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);)
        objects.push_back(nlohmann::json::parse(line));
    ASSERT_GT(objects.size(), 1u);
    for (std::size_t i = 0; i + 1 < objects.size(); ++i) EXPECT_TRUE(objects[i].contains("event"));
    EXPECT_TRUE(objects.back()["ok"].get<bool>());
}

TEST_F(CliDrive, DoctorAndHelpTexts) {
    const CliRun doctor = cli({"doctor"});
    EXPECT_EQ(doctor.status, kExitOk);
    EXPECT_TRUE(doctor.json["ports"].is_array());
    for (const auto& command : AllCommands()) {
        std::ostringstream out, err;
        std::atomic<bool> never{false};
        CliContext context{out, err, never};
        const std::vector<std::string> args{std::string(command.name), "--help"};
        EXPECT_EQ(RunCli(args, context), kExitOk) << command.name;
        EXPECT_NE(out.str().find(command.help), std::string::npos) << command.name;
    }
}

// A restore leaves one write entry per changed parameter, old and new value
// and its read-back, and history prints them as one JSON object.
TEST_F(CliDrive, HistoryListsTheWritesOfARestore) {
    const char* journal = std::getenv("VELMORA_JOURNAL");
    const std::string previous = journal != nullptr ? journal : "";
    ::setenv("VELMORA_JOURNAL", file("journal.sqlite").c_str(), 1);
    const fs::path original = file("original.ini");
    ASSERT_EQ(cli({"backup", original.string()}).status, kExitOk);
    std::string text = Slurp(original);
    const auto at = text.find("p42=");
    const std::string before = text.substr(at + 4, text.find_first_of("\r\n", at) - at - 4);
    const std::string after = std::to_string(std::stoul(before) - 7);
    text.replace(at + 4, before.size(), after);
    { std::ofstream(file("changed.ini"), std::ios::binary) << text; }
    ASSERT_EQ(cli({"restore", file("changed.ini").string()}).status, kExitOk);

    const auto serial = sim::FactoryParameters()[39];
    const CliRun history = cli({"history", "--serial", std::to_string(serial)});
    ASSERT_EQ(history.status, kExitOk) << history.err;
    EXPECT_EQ(history.out.find('\n'), history.out.size() - 1) << history.out;  // one object
    EXPECT_EQ(history.json["schema"], 1);
    std::vector<nlohmann::json> writes, connections;
    int restores = 0;
    for (const auto& entry : history.json["entries"]) {
        if (entry["kind"] == "write") writes.push_back(entry);
        if (entry["kind"] == "connection") connections.push_back(entry);
        restores += entry["kind"] == "restore" && entry["outcome"] == "took";
    }
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(connections.size(), 2u);  // backup and restore
    ASSERT_EQ(writes.size(), 1u) << history.out;
    EXPECT_EQ(writes[0]["parameter"], "p42");
    EXPECT_EQ(writes[0]["old"], before);
    EXPECT_EQ(writes[0]["new"], after);
    EXPECT_EQ(writes[0]["outcome"], "confirmed");
    EXPECT_EQ(writes[0]["program"].get<std::string>().rfind("velmora-cli ", 0), 0u);

    ASSERT_FALSE(connections.empty());
    const CliRun shown = cli({"history", "show", connections[0]["id"].dump()});
    ASSERT_EQ(shown.status, kExitOk) << shown.err;
    EXPECT_EQ(shown.json["entry"]["detail"]["snapshot"]["0x51"]["p42"], before);
    EXPECT_EQ(cli({"history", "--since", "2000-01-01"}).json["entries"].size(),
              history.json["entries"].size());
    EXPECT_TRUE(cli({"history", "--since", "2999-01-01T00:00Z"}).json["entries"].empty());
    EXPECT_EQ(cli({"history", "--since", "yesterday"}).status, kExitUsage);
    EXPECT_EQ(cli({"history", "show", "999999"}).status, kExitFailure);
    ::setenv("VELMORA_JOURNAL", previous.c_str(), 1);
}

// history restore writes a connection's snapshot back, guarded as restore
// FILE: asked first, never another drive's, the drive kept as an undo file.
TEST_F(CliDrive, HistoryRestoreWritesASnapshotBack) {
    const char* journal = std::getenv("VELMORA_JOURNAL");
    const std::string previous = journal != nullptr ? journal : "";
    ::setenv("VELMORA_JOURNAL", file("journal.sqlite").c_str(), 1);
    m_folder.enter();  // the undo file goes to the current folder
    const fs::path original = file("original.ini");
    ASSERT_EQ(cli({"backup", original.string()}).status, kExitOk);
    std::string text = Slurp(original);
    const auto at = text.find("p42=");
    const std::string before = text.substr(at + 4, text.find_first_of("\r\n", at) - at - 4);
    text.replace(at + 4, before.size(), std::to_string(std::stoul(before) - 7));
    { std::ofstream(file("changed.ini"), std::ios::binary) << text; }
    ASSERT_EQ(cli({"restore", file("changed.ini").string()}).status, kExitOk);

    const std::string first = "1";  // the backup's connection
    std::ostringstream shown, err;
    std::atomic<bool> never{false};
    CliContext context{shown, err, never};
    const std::vector<std::string> show{"history", "show", first};
    ASSERT_EQ(RunCli(show, context), kExitOk) << err.str();
    EXPECT_NE(shown.str().find("  p42 = " + before + "\n"), std::string::npos) << shown.str();
    EXPECT_EQ(cli({"history", "restore", first}).status, kExitUsage);  // not asked
    const CliRun listed = cli({"history"});
    std::string write;
    for (const auto& entry : listed.json["entries"])
        if (entry["kind"] == "write") write = entry["id"].dump();
    EXPECT_EQ(cli({"--yes", "history", "restore", write}).status, kExitFailure);  // no snapshot
    const CliRun restored = cli({"--yes", "history", "restore", first});
    ASSERT_EQ(restored.status, kExitOk) << restored.err;
    EXPECT_TRUE(fs::exists(m_dir / restored.json["undo_file"].get<std::string>()));
    EXPECT_EQ(cli({"dump"}).json["parameters"]["p42"], before);
    const CliRun history = cli({"history"});
    const auto& last = history.json["entries"].back();
    EXPECT_EQ(last["kind"], "restore");
    EXPECT_EQ(last["new"], "journal entry 1");
    EXPECT_EQ(last["outcome"], "took");

    // Another drive's snapshot is never written to this one.
    {
        journal::Journal other(journal::Origin{"h", "u", "test"}, file("journal.sqlite"));
        journal::Journal::Connection connection;
        connection.serial = 1;
        connection.snapshotJson = R"({"0x51": {"p42": "1000"}})";
        other.recordConnection(connection);
    }
    const std::string foreign = cli({"history"}).json["entries"].back()["id"].dump();
    EXPECT_EQ(cli({"--yes", "history", "restore", foreign}).status, kExitUsage);
    EXPECT_EQ(cli({"dump"}).json["parameters"]["p42"], before);
    ::setenv("VELMORA_JOURNAL", previous.c_str(), 1);
}

}  // namespace
}  // namespace velmora::tools
