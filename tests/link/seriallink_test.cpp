#include "link/seriallink.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "link/devicemap.h"
#include "tests/support/ptypeer.h"
#include "tests/support/tempfolder.h"
#include "tests/support/withoutpermission.h"

namespace velmora::link {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using testkit::Slurp;

// Records every number OpenLink asks for; opens a pty only for `openNumber`.
struct RecordingOpener {
    std::vector<unsigned> numbers;
    std::vector<std::string> devices;
    int openNumber = -1;
    test::PtyPair pty;

    SerialLink::PortOpener opener() {
        return [this](unsigned number, const std::string& device) {
            numbers.push_back(number);
            devices.push_back(device);
            if (static_cast<int>(number) != openNumber) return std::unique_ptr<SerialPort>();
            return std::make_unique<SerialPort>(number, pty.devicePath());
        };
    }
};

// Catches a search that starts at the wrong number, skips numbers, fails to
// wrap from 255 to 0, or restarts at COM1 instead of after the last port.
TEST(SerialLink, AutomaticDetectionOrderWithWrapAround) {
    testkit::TempFolder dir("link");
    SerialLink link;
    link.setConfigFile(dir / "config.ini");
    RecordingOpener rec;
    link.setPortOpener(rec.opener());
    ASSERT_EQ(link.WriteLinkSettings(3, kModeAutomatic), 0);

    EXPECT_EQ(link.OpenLink(), kLinkNotOpen);
    ASSERT_EQ(rec.numbers.size(), 256u);
    for (unsigned i = 0; i < 256; ++i) ASSERT_EQ(rec.numbers[i], (4 + i) % 256) << i;
    EXPECT_EQ(link.comNumber(), 3u);
    EXPECT_EQ(rec.devices[1], "/dev/ttyUSB0");  // number 5
    EXPECT_EQ(rec.devices[9], "/dev/ttyACM0");  // number 13
    EXPECT_EQ(rec.devices[253], "/dev/ttyS0");  // number 1
    EXPECT_EQ(rec.devices[252], "");            // number 0 has no device
    EXPECT_EQ(link.LastOpenFailure().kind, OpenFailureKind::NoDevice);

    rec.numbers.clear();
    rec.openNumber = 2;
    EXPECT_EQ(link.OpenLink(), kLinkOpen);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(rec.numbers.front(), 4u);
    EXPECT_EQ(rec.numbers.back(), 2u);
    EXPECT_EQ(rec.numbers.size(), 255u);
    EXPECT_EQ(link.LastOpenFailure().kind, OpenFailureKind::None);

    // The port found is passed over at the next attempt.
    rec.numbers.clear();
    EXPECT_EQ(link.OpenLink(), kLinkOpen);
    EXPECT_EQ(rec.numbers.front(), 3u);
    EXPECT_EQ(rec.numbers.size(), 256u);
}

// Catches a fixed setting that searches, or ignores the comdevices mapping
// and the run-only device.
TEST(SerialLink, FixedPortUsesMappingAndRunOnlyDevice) {
    testkit::TempFolder dir("link");
    testkit::WriteFile(dir / "config.ini", "[comdevices]\ncom7=/dev/velmora-test\n");
    SerialLink link;
    link.setConfigFile(dir / "config.ini");
    RecordingOpener rec;
    link.setPortOpener(rec.opener());
    link.UsePortForThisRun(7);
    EXPECT_EQ(link.OpenLink(), kLinkNotOpen);
    EXPECT_EQ(rec.numbers, std::vector<unsigned>{7});
    EXPECT_EQ(rec.devices, std::vector<std::string>{"/dev/velmora-test"});

    link.setPortOpener(nullptr);
    link.UseFixedDevice(rec.pty.devicePath());
    EXPECT_EQ(link.OpenLink(), kLinkOpen);
    EXPECT_EQ(Slurp(dir / "config.ini"), "[comdevices]\ncom7=/dev/velmora-test\n")
        << "a run-only device must not touch config.ini";
}

// Catches settings that do not survive a write and a read, a write that
// rewrites unrelated lines, and an invalid mode that changes anything.
TEST(SerialLink, ComtypeWrittenAndReadBack) {
    testkit::TempFolder dir("link");
    const auto file = dir / "config.ini";
    testkit::WriteFile(file, "; tool settings\r\n[languagetype]\r\nlanguage=3\r\n");
    {
        SerialLink link;
        link.setConfigFile(file);
        EXPECT_EQ(link.WriteLinkSettings(7, kModeFixed), 0);
        EXPECT_EQ(link.WriteLinkSettings(7, 2), 1);
        EXPECT_EQ(link.WriteLinkSettings(256, kModeFixed), 1);
    }
    EXPECT_EQ(
        Slurp(file),
        "; tool settings\r\n[languagetype]\r\nlanguage=3\r\n[comtype]\r\ndetect=C\r\ncom=7\r\n");
    SerialLink link;
    link.setConfigFile(file);
    int port = -1;
    int mode = -1;
    EXPECT_EQ(link.ReadLinkSettings(port, mode), 0);
    EXPECT_EQ(port, 7);
    EXPECT_EQ(mode, kModeFixed);
    EXPECT_EQ(link.mode(), kModeFixed);
    EXPECT_EQ(link.comNumber(), 7u);

    EXPECT_EQ(link.WriteLinkSettings(12, kModeAutomatic), 0);
    SerialLink again;
    again.setConfigFile(file);
    port = -1;
    EXPECT_EQ(again.ReadLinkSettings(port, mode), 0);
    EXPECT_EQ(mode, kModeAutomatic);
    EXPECT_EQ(port, -1) << "com is not read in automatic mode";

    EXPECT_EQ(again.WriteDeviceForPort(5, "/dev/ttyAMA0"), 0);
    EXPECT_EQ(again.DevicePathForPort(5), "/dev/ttyAMA0");
    EXPECT_EQ(again.WriteDeviceForPort(5, ""), 0);
    EXPECT_EQ(again.DevicePathForPort(5), "/dev/ttyUSB0");
    EXPECT_EQ(again.WriteDeviceForPort(5, "ttyAMA0"), 1);

    // A settings file that cannot be written is reported, not passed off as saved.
    SerialLink unwritable;
    unwritable.setConfigFile(dir / "missing-folder" / "config.ini");
    EXPECT_EQ(unwritable.WriteLinkSettings(4, kModeFixed), 1);
    EXPECT_EQ(unwritable.WriteDeviceForPort(4, "/dev/ttyS9"), 1);

    // A settings file that exists but cannot be read must not be replaced by
    // one holding only the link's section: the language and devices would go.
    fs::permissions(file.parent_path(), fs::perms::all);
    fs::permissions(file, fs::perms::owner_write | fs::perms::others_write);
    const auto attempt = [&](const std::function<int(SerialLink&)>& write) {
        return testkit::AttemptWithoutPermission([&] {
            SerialLink locked;
            locked.setConfigFile(file);
            return write(locked) == 0;
        });
    };
    EXPECT_FALSE(attempt([](SerialLink& l) { return l.WriteLinkSettings(3, kModeFixed); }));
    EXPECT_FALSE(attempt([](SerialLink& l) { return l.WriteDeviceForPort(3, "/dev/ttyS7"); }));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_NE(Slurp(file).find("language=3"), std::string::npos) << Slurp(file);
}

struct BrokenConfig {
    const char* name;
    const char* text;
};

class BrokenSettings : public ::testing::TestWithParam<BrokenConfig> {};

// Catches a damaged config.ini that switches off automatic detection or maps
// a port to garbage.
TEST_P(BrokenSettings, LeaveAutomaticDetectionAndDefaultTable) {
    testkit::TempFolder dir("link");
    const auto file = dir / "config.ini";
    if (GetParam().text) testkit::WriteFile(file, GetParam().text);
    SerialLink link;
    link.setConfigFile(file);
    int port = 99;
    int mode = 99;
    EXPECT_EQ(link.ReadLinkSettings(port, mode), 1);
    EXPECT_EQ(port, 99);
    EXPECT_EQ(mode, 99);
    EXPECT_EQ(link.mode(), kModeAutomatic);
    RecordingOpener rec;
    link.setPortOpener(rec.opener());
    EXPECT_EQ(link.OpenLink(), kLinkNotOpen);
    ASSERT_EQ(rec.numbers.size(), 256u);
    EXPECT_EQ(rec.numbers.front(), 1u);
    EXPECT_EQ(rec.devices[4], "/dev/ttyUSB0");
}

INSTANTIATE_TEST_SUITE_P(
    SerialLink, BrokenSettings,
    ::testing::Values(
        BrokenConfig{"NoFile", nullptr}, BrokenConfig{"NoSection", "[other]\ndetect=C\n"},
        BrokenConfig{"UnknownDetect", "[comtype]\ndetect=X\ncom=4\n"},
        BrokenConfig{"EmptyDetect", "[comtype]\ndetect=\ncom=4\n"},
        BrokenConfig{"LongDetect", "[comtype]\ndetect=CC\ncom=4\n"},
        BrokenConfig{"FixedWithoutNumber", "[comtype]\ndetect=C\n"},
        BrokenConfig{"FixedWithText", "[comtype]\ndetect=C\ncom=abc\n"},
        BrokenConfig{"FixedOutOfRange", "[comtype]\ndetect=C\ncom=300\n"},
        BrokenConfig{"FixedNegative", "[comtype]\ndetect=C\ncom=-2\n"},
        BrokenConfig{"BrokenDevices",
                     "[comtype]\ndetect=Z\n[comdevices]\ncom5=ttyUSB3\ncom5=/dev/x\ncomx=/dev/y\n"
                     "com300=/dev/z\ncom=/dev/w\n\x01\x02garbage\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches a pty or device read that returns more than asked, blocks past the
// time-out, or waits the full time-out although the line went quiet.
TEST(SerialPort, ReadsAreBoundedAndReturnWhenTheLineGoesQuiet) {
    test::PtyPair pty;
    SerialPort port(1, pty.devicePath());
    ASSERT_TRUE(port.IsOpen());
    std::uint8_t buffer[10] = {};
    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 10), 0u);
    auto took = Clock::now() - start;
    EXPECT_GE(took, 190ms);
    EXPECT_LT(took, 400ms);

    ASSERT_TRUE(pty.write({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(port.Read(buffer, 10), 10u);  // waits for the first byte itself
    EXPECT_EQ(buffer[9], 10);
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 10), 2u);
    EXPECT_LT(Clock::now() - start, 100ms) << "a quiet line ends the read early";
    EXPECT_EQ(buffer[1], 12);

    const test::Bytes frame{0x02, 0x30, 0x31};
    ASSERT_TRUE(pty.write(frame));
    std::uint8_t out[3] = {};
    EXPECT_EQ(port.Read(out, 3), 3u);
    EXPECT_EQ(port.Write(frame.data(), frame.size()), 3u);
    test::MasterByteSource master(pty.masterFd());
    EXPECT_EQ(master.nextByte(100ms), 0x02);
}

// Catches a reader that spins on a vanished device and writes that claim
// success on it.
TEST(SerialPort, HangUpMakesReadsAndWritesFailWithoutSpinning) {
    test::PtyPair pty;
    SerialPort port(1, pty.devicePath());
    ASSERT_TRUE(port.IsOpen());
    pty.hangUp();
    std::uint8_t buffer[10] = {};
    for (int i = 0; i < 2; ++i) {
        const auto start = Clock::now();
        EXPECT_EQ(port.Read(buffer, 10), 0u);
        EXPECT_GE(Clock::now() - start, 150ms) << "pass " << i;
    }
    EXPECT_TRUE(port.gone());
    const std::uint8_t byte = 0x02;
    EXPECT_EQ(port.Write(&byte, 1), 0u);
    EXPECT_EQ(port.Close(), 0);
    EXPECT_EQ(port.Close(), 1);
}

// Catches a timed-out write (nobody reads) or one to a hung-up line
// reported as written.
TEST(SerialLink, WritesThatFailOrTimeOutAreNotReportedWritten) {
    test::PtyPair pty;
    SerialLink link;
    link.UseFixedDevice(pty.devicePath());
    ASSERT_EQ(link.OpenLink(), kLinkOpen);
    const WireFrame frame{std::vector<std::uint8_t>(250, 0x30)};
    int writes = 0;
    while (writes < 4000 && link.LinkWrite(frame) == 0) ++writes;
    EXPECT_LT(writes, 4000) << "a full line must time out";
    pty.hangUp();
    EXPECT_EQ(link.LinkWrite(frame), 1);
}

// Catches line settings another program left behind surviving the open:
// RTS/CTS on an adapter without CTS, or XON/XOFF eating bytes 0x11/0x13,
// make the drive seem silent. A pty ignores the baud rate, so only reading
// the settings back shows a wrong one.
TEST(SerialLink, OpenSetsTheWholeLineWhateverWasLeftBehind) {
    testkit::TempFolder dir("link");
    test::PtyPair pty;
    {
        const int other = ::open(pty.devicePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(other, 0);
        termios left{};
        ASSERT_EQ(::tcgetattr(other, &left), 0);
        left.c_cflag = (left.c_cflag & ~(CSIZE | CLOCAL | CREAD)) | CS7 | PARENB | PARODD | CSTOPB |
                       CRTSCTS | HUPCL;
        left.c_iflag |= IXON | IXOFF | IXANY | ICRNL | ISTRIP | INPCK;
        left.c_oflag |= OPOST | ONLCR;
        left.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
        ::cfsetispeed(&left, B9600);
        ::cfsetospeed(&left, B9600);
        ASSERT_EQ(::tcsetattr(other, TCSANOW, &left), 0);
        ::close(other);
    }
    SerialLink link;
    link.setConfigFile(dir / "config.ini");
    link.UseFixedDevice(pty.devicePath());
    ASSERT_EQ(link.OpenLink(), kLinkOpen);

    termios line{};
    ASSERT_EQ(::tcgetattr(pty.masterFd(), &line), 0);
    EXPECT_EQ(::cfgetispeed(&line), static_cast<speed_t>(B38400));
    EXPECT_EQ(::cfgetospeed(&line), static_cast<speed_t>(B38400));
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | PARODD | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP | INPCK), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
}

// Catches a second program (or a second open in this one) sharing the port,
// and failures reported without a reason the user can act on.
TEST(SerialPort, OpenFailuresAreClassified) {
    test::PtyPair pty;
    SerialPort first(1, pty.devicePath());
    ASSERT_TRUE(first.IsOpen());
    SerialPort second(1, pty.devicePath());
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.failure().kind, OpenFailureKind::Busy);
    EXPECT_NE(DescribeOpenFailure(second.failure()).find("in use"), std::string::npos);

    SerialPort missing(5, "/dev/velmora-no-such-device");
    EXPECT_EQ(missing.failure().kind, OpenFailureKind::NoDevice);

    testkit::TempFolder dir("link");
    testkit::WriteFile(dir / "plain", "x");
    SerialPort plain(5, (dir / "plain").string());
    EXPECT_FALSE(plain.IsOpen());
    EXPECT_EQ(plain.failure().kind, OpenFailureKind::Configuration);

    PortSettings noSuchRate;
    noSuchRate.baudIndex = 7;  // 14400 bit/s cannot be set here
    test::PtyPair other;
    EXPECT_FALSE(SerialPort(1, other.devicePath(), noSuchRate).IsOpen());
    PortSettings onePointFive;
    onePointFive.stopBits = 1;
    EXPECT_FALSE(SerialPort(1, other.devicePath(), onePointFive).IsOpen());
    EXPECT_TRUE(SerialPort(1, other.devicePath()).IsOpen()) << "failed opens released the device";

    OpenFailure denied{OpenFailureKind::Permission, "/dev/ttyUSB0", "dialout", "Permission denied"};
    const std::string text = DescribeOpenFailure(denied);
    EXPECT_NE(text.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(text.find("sudo usermod -aG dialout $USER"), std::string::npos);
}

// Catches reads and writes that touch a port while it is being replaced, and
// a release that closes a port under a running read.
TEST(SerialLink, ReplacementNeverOverlapsReadsAndWrites) {
    test::PtyPair pty;
    SerialLink link;
    testkit::TempFolder dir("link");
    link.setConfigFile(dir / "config.ini");
    std::atomic<bool> blockOpen{false};
    std::atomic<bool> inOpen{false};
    link.setPortOpener([&](unsigned number, const std::string&) {
        inOpen = true;
        inOpen.notify_all();
        blockOpen.wait(true);
        return std::make_unique<SerialPort>(number, pty.devicePath());
    });
    link.UsePortForThisRun(1);
    ASSERT_EQ(link.OpenLink(), kLinkOpen);

    // A read in progress is woken when the port is replaced.
    std::array<std::uint8_t, kReadChunk> buffer{};
    int count = -1;
    std::thread reader([&] { link.LinkRead(buffer, count); });
    std::this_thread::sleep_for(20ms);  // real time: nothing shows that the read has begun
    blockOpen = true;
    inOpen = false;
    std::thread opener([&] { link.OpenLink(); });
    inOpen.wait(false);
    reader.join();
    EXPECT_EQ(count, 0);

    // During the replacement nothing is read and frames are dropped.
    ASSERT_TRUE(pty.write({0x41, 0x42}));
    const auto start = Clock::now();
    EXPECT_EQ(link.LinkRead(buffer, count), 1);
    EXPECT_EQ(count, 0);
    EXPECT_GE(Clock::now() - start, 150ms) << "a read without a port must not let its loop spin";
    EXPECT_LT(Clock::now() - start, 400ms);
    EXPECT_EQ(link.LinkWrite(WireFrame{{1, 2, 3}}), 1);
    blockOpen = false;
    blockOpen.notify_all();
    opener.join();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.LinkWrite(WireFrame{{0x30}}), 0);
    link.Release();
    EXPECT_FALSE(link.isOpen());
}

// Catches a new port choice that keeps the old device open (and locked)
// until the supervision gets round to reopening.
TEST(SerialLink, NewSettingClosesTheDeviceAtOnce) {
    test::PtyPair pty;
    testkit::TempFolder dir("link");
    SerialLink link;
    link.setConfigFile(dir / "config.ini");
    link.UseFixedDevice(pty.devicePath());
    ASSERT_EQ(link.OpenLink(), kLinkOpen);
    EXPECT_FALSE(SerialPort(1, pty.devicePath()).IsOpen()) << "the link holds the device";
    ASSERT_EQ(link.WriteLinkSettings(6, kModeFixed), 0);
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(SerialPort(1, pty.devicePath()).IsOpen());
    std::array<std::uint8_t, kReadChunk> buffer{};
    int count = -1;
    link.LinkRead(buffer, count);
    EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace velmora::link
