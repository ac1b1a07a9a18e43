// What stations publish, end to end: velmora-cli serve and runin against the
// simulated drive and a real mosquitto broker, read back by a subscriber and
// by velmora-cli line.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli.h"
#include "journal/journalstore.h"
#include "journal/outbox.h"
#include "mqtt/lineview.h"
#include "mqtt/mqttsettings.h"
#include "sim/driveserver.h"
#include "sim/factorysettings.h"
#include "tests/support/childprogram.h"
#include "tests/support/mosquittobroker.h"
#include "tests/support/mqttrecorder.h"
#include "tests/support/tempfolder.h"
#include "tests/support/waitfor.h"

namespace velmora::tools {
namespace {

using testkit::MqttRecorder;

// Bad broker addresses and names end in a clear reason, never a connection.
struct UrlCase {
    const char* url;
    bool valid;
    const char* host;
    int port;
};
class MqttUrl : public ::testing::TestWithParam<UrlCase> {};
TEST_P(MqttUrl, ParsesOrSaysWhy) {
    std::string error;
    const auto address = mqtt::ParseMqttUrl(GetParam().url, error);
    ASSERT_EQ(address.has_value(), GetParam().valid) << error;
    if (!address) {
        EXPECT_FALSE(error.empty());
        return;
    }
    EXPECT_EQ(address->host, GetParam().host);
    EXPECT_EQ(address->port, GetParam().port);
}
INSTANTIATE_TEST_SUITE_P(Urls, MqttUrl,
                         ::testing::Values(UrlCase{"mqtt://broker", true, "broker", 1883},
                                           UrlCase{"mqtts://broker:9000/", true, "broker", 9000},
                                           UrlCase{"mqtts://[::1]", true, "::1", 8883},
                                           UrlCase{"http://broker", false, "", 0},
                                           UrlCase{"mqtt://broker:0", false, "", 0},
                                           UrlCase{"mqtt://broker:70000", false, "", 0},
                                           UrlCase{"mqtt://:1883", false, "", 0},
                                           UrlCase{"mqtt://user@broker", false, "", 0}));

TEST(MqttSettings, StationNamesAndPasswordsAreChecked) {
    const platform::ProfileFile config =
        platform::ProfileFile::parse("[mqtt]\nurl=mqtt://line-broker\nstation=S1\nuser=plc\n");
    std::string error;
    auto settings =
        mqtt::ResolveMqttSettings({}, config, "secret", mqtt::StationNeed::Required, error);
    ASSERT_TRUE(settings) << error;
    EXPECT_EQ(settings->host, "line-broker");
    EXPECT_EQ(settings->station, "S1");
    EXPECT_EQ(settings->password, "secret");
    for (const char* bad : {"a/b", "a+", "#", "two words", ""}) {
        mqtt::MqttOptions given;
        given.station = bad;
        error.clear();
        const platform::ProfileFile none = platform::ProfileFile::parse("[mqtt]\nurl=mqtt://b\n");
        EXPECT_FALSE(
            mqtt::ResolveMqttSettings(given, none, nullptr, mqtt::StationNeed::Required, error));
        EXPECT_FALSE(error.empty()) << bad;
    }
    // A password in the environment is for a broker with a user only.
    const auto anonymous = platform::ProfileFile::parse("[mqtt]\nurl=mqtt://b\nstation=S2\n");
    ASSERT_TRUE(settings = mqtt::ResolveMqttSettings({}, anonymous, "secret",
                                                     mqtt::StationNeed::Required, error));
    EXPECT_TRUE(settings->password.empty());
    mqtt::MqttOptions missingFile;
    missingFile.passwordFile = "/nonexistent/password";
    EXPECT_FALSE(mqtt::ResolveMqttSettings(missingFile, config, nullptr,
                                           mqtt::StationNeed::Required, error));
    EXPECT_NE(error.find("password file"), std::string::npos) << error;
    mqtt::MqttOptions missingCa{"mqtts://b", "S1", "/nonexistent/ca.crt", "", ""};
    EXPECT_FALSE(mqtt::ResolveMqttSettings(missingCa, anonymous, nullptr,
                                           mqtt::StationNeed::Required, error));
    EXPECT_NE(error.find("CA file"), std::string::npos) << error;
}

// line's rows: a message it cannot use changes nothing; a last will keeps
// the serial; an older certificate does not replace a newer one.
TEST(LineView, TakesWhatItCanAndKeepsWhatItKnows) {
    struct Step {
        const char* topic;
        const char* payload;
        bool changes;
    };
    const Step steps[] = {
        {"velmora/S1/status", "not json", false},
        {"velmora/S1/status", "[1, 2]", false},
        {"other/S1/status", "{}", false},
        {"velmora//status", "{}", false},
        {"velmora/S1/event", "{\"kind\": \"start\"}", false},
        {"velmora/S1/status",
         "{\"serial\": 5, \"connected\": true, \"running\": true, \"actual_speed_hz\": 100,"
         " \"fault\": {\"class\": 3, \"number\": 7, \"text\": \"Overcurrent\"}}",
         true},
        {"velmora/S1/status",
         "{\"serial\": 5, \"connected\": true, \"running\": true, \"actual_speed_hz\": 100,"
         " \"fault\": {\"class\": 3, \"number\": 7, \"text\": \"Overcurrent\"}}",
         false},
        {"velmora/S1/certificate/5", "{\"result\": \"PASS\", \"end\": \"2026-12-09T10:00:00Z\"}",
         true},
        {"velmora/S1/certificate/4", "{\"result\": \"FAIL\", \"end\": \"2026-12-08T10:00:00Z\"}",
         false},
        {"velmora/S1/status", "{\"serial\": null, \"connected\": false, \"time\": null}", true},
    };
    mqtt::LineView view;
    for (const Step& step : steps)
        EXPECT_EQ(view.take(step.topic, step.payload).has_value(), step.changes)
            << step.topic << " " << step.payload;
    const auto row = view.rowJson("S1");
    EXPECT_EQ(row["serial"], 5);
    EXPECT_EQ(row["connected"], false);
    EXPECT_TRUE(row["fault"].is_null());
    EXPECT_EQ(row["certificate"], "PASS");
    EXPECT_EQ(view.size(), 1u);
    EXPECT_NE(view.table().find("S1"), std::string::npos);
}

class Station : public testkit::TempFolderTest {
  protected:
    Station() : TempFolderTest("mqtt") {}
    void SetUp() override {
        if (!testkit::MosquittoBroker::available())
            GTEST_SKIP() << testkit::MosquittoBroker::kSkipReason;
        const char* journal = std::getenv("VELMORA_JOURNAL");
        m_previous = journal != nullptr ? journal : "";
        ::setenv("VELMORA_JOURNAL", (m_dir / "journal.sqlite").c_str(), 1);
        ASSERT_TRUE(m_broker.start());
        m_recorder = std::make_unique<MqttRecorder>(m_broker.url());
        ASSERT_TRUE(testkit::WaitFor([&] { return m_recorder->connected(); }, 5000));
    }
    void TearDown() override {
        if (testkit::MosquittoBroker::available())
            ::setenv("VELMORA_JOURNAL", m_previous.c_str(), 1);
    }
    std::unique_ptr<testkit::ChildProgram> cli(std::vector<std::string> args) {
        return std::make_unique<testkit::ChildProgram>(VELMORA_CLI_PROGRAM, std::move(args));
    }
    nlohmann::json status(const std::string& station) const {
        return m_recorder->last("velmora/" + station + "/status");
    }

    testkit::MosquittoBroker m_broker;
    std::unique_ptr<MqttRecorder> m_recorder;
    std::string m_previous;
};

// Two stations publish their drive's retained status; line shows both; a
// fault raised in a drive arrives as an event and in its status; a station
// killed without a word is marked not connected by the broker's last will.
TEST_F(Station, TwoStationsStatusFaultLineAndLastWill) {
    sim::DriveServer first, second;
    const std::string firstDevice = first.startOnPty(), secondDevice = second.startOnPty();
    auto s1 = cli({"--device", firstDevice, "serve", "--mqtt", m_broker.url(), "--station", "S1"});
    auto s2 = cli({"--device", secondDevice, "serve", "--mqtt", m_broker.url(), "--station", "S2"});
    const auto serial = sim::FactoryParameters()[39];
    for (const char* station : {"S1", "S2"})
        ASSERT_TRUE(testkit::WaitFor(
            [&] {
                const auto s = status(station);
                return s.is_object() && s["serial"] == serial && s["connected"] == true;
            },
            10000))
            << station << ": " << status(station);
    EXPECT_FALSE(status("S1")["time"].get<std::string>().empty());

    std::ostringstream out, err;
    std::atomic<bool> never{false};
    CliContext context{out, err, never};
    const std::vector<std::string> line{"--json", "--seconds", "1.5",
                                        "line",   "--mqtt",    m_broker.url()};
    ASSERT_EQ(RunCli(line, context), kExitOk) << err.str();
    std::set<std::string> shown;
    std::istringstream lines(out.str());
    for (std::string text; std::getline(lines, text);) {
        const auto row = nlohmann::json::parse(text);
        if (row.value("event", "") == "station" && row["serial"] == serial)
            shown.insert(row["station"].get<std::string>());
    }
    EXPECT_EQ(shown, (std::set<std::string>{"S1", "S2"})) << out.str();

    first.command("fault 3 7");
    const auto raised = [&] {
        for (const auto& e : m_recorder->events())
            if (e["station"] == "S1" && e["kind"] == "fault_raised" && e["fault"]["class"] == 3 &&
                e["fault"]["number"] == 7 && e["serial"] == serial && !e["id"].empty())
                return true;
        return false;
    };
    EXPECT_TRUE(testkit::WaitFor(raised, 5000));
    EXPECT_TRUE(testkit::WaitFor([&] { return status("S1")["fault"]["number"] == 7; }, 3000))
        << status("S1");

    s1->signal(SIGKILL);
    s1->wait();
    EXPECT_TRUE(testkit::WaitFor([&] { return status("S1")["connected"] == false; }, 5000));
    EXPECT_EQ(status("S1")["serial"], serial) << "the will names the drive";
    EXPECT_EQ(status("S2")["connected"], true);
    s2->signal(SIGTERM);
    EXPECT_EQ(s2->wait(), kExitOk);
    EXPECT_EQ(status("S2")["connected"], false) << "a clean end says so itself";
}

// The broker goes away during a run-in: its events wait in the journal's
// outbox and arrive, every one, with the certificate, once it is back.
TEST_F(Station, RunInLosesNothingWhileTheBrokerIsAway) {
    sim::DriveServer drive;
    const std::string device = drive.startOnPty();
    const auto program = m_folder.write("short.run",
                                        "[general]\nfiletext=short\n[step1]\nrpm=6000\n"
                                        "minute_time=1\nseconds_intervall_on=40\n"
                                        "seconds_intervall_off=0\n");
    const auto report = m_dir / "cert.json";
    auto runin = cli({"--device", device, "runin", program.string(), "--report", report.string(),
                      "--tick-ms", "50", "--mqtt", m_broker.url(), "--station", "R1"});
    const auto sawKind = [&](const char* kind) {
        for (const auto& e : m_recorder->events())
            if (e["kind"] == kind) return true;
        return false;
    };
    ASSERT_TRUE(testkit::WaitFor([&] { return sawKind("runin_start"); }, 10000));
    m_broker.stop();
    journal::JournalStore store;
    ASSERT_TRUE(store.open(m_dir / "journal.sqlite"));
    journal::Outbox outbox(store);
    const std::string topic =
        "velmora/R1/certificate/" + std::to_string(sim::FactoryParameters()[39]);
    // The run-in's end and its certificate are kept while nobody takes them.
    ASSERT_TRUE(testkit::WaitFor(
        [&] {
            int kept = 0;
            for (const auto& message : outbox.next("R1", 0, 100))
                kept += message.topic == topic ||
                        message.payload.find("runin_end") != std::string::npos;
            return kept == 2;
        },
        10000));
    ASSERT_TRUE(m_broker.start());
    EXPECT_EQ(runin->wait(), kExitOk);
    EXPECT_EQ(outbox.count("R1"), 0);
    ASSERT_TRUE(testkit::WaitFor([&] { return !m_recorder->lastText(topic).empty(); }, 5000));
    EXPECT_EQ(m_recorder->lastText(topic), testkit::Slurp(report));
    // Every entry of the run-in came as an event.
    ASSERT_TRUE(testkit::WaitFor([&] { return sawKind("runin_end"); }, 5000));
    std::set<std::string> ids;
    for (const auto& e : m_recorder->events()) ids.insert(e["id"].get<std::string>());
    const auto entries = store.list({});
    EXPECT_GE(entries.size(), 4u);
    for (const auto& entry : entries) {
        char id[24];
        std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(entry.token));
        EXPECT_EQ(ids.count(id), 1u) << journal::KindName(entry.kind) << " " << entry.parameter;
    }
    // What became of the run-in's orders follows, naming their events.
    int outcomes = 0;
    for (const auto& e : m_recorder->events())
        outcomes += e["kind"] == "outcome" && ids.count(e["entry"].get<std::string>()) == 1;
    EXPECT_GT(outcomes, 0);
}

}  // namespace
}  // namespace velmora::tools
