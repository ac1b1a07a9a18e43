// Stable port names read from a fake /dev tree: what each configured path
// stands for, and "remember this adapter" writing the by-id name.
#include "link/portnames.h"

#include <gtest/gtest.h>

#include <fstream>

#include "link/seriallink.h"
#include "tests/support/tempfolder.h"

namespace velmora::link {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
constexpr const char* kCh340 = "usb-1a86_USB_Serial-if00-port0";

class PortNamesTest : public testkit::TempFolderTest {
  protected:
    PortNamesTest() : TempFolderTest("portnames") {}
    void SetUp() override {
        TempFolderTest::SetUp();
        m_dev = m_dir / "dev";
        fs::create_directories(m_dev / "serial" / "by-id");
        for (const char* node : {"ttyS0", "ttyUSB0", "ttyUSB1", "ttyACM0"}) {
            std::ofstream(m_dev / node).put('\n');
        }
        // As udev makes them: relative links, two names for one adapter.
        byId(kFtdi, "ttyUSB1");
        byId("usb-FTDI_FT232R_USB_UART_A1B2C3-port0", "ttyUSB1");
        byId(kCh340, "ttyUSB0");
        byId("usb-Gone_Adapter_0001-if00-port0", "ttyUSB7");
        m_link.setConfigFile(m_dir / "config.ini");
    }
    void byId(const std::string& name, const std::string& node) {
        fs::create_symlink("../../" + node, m_dev / "serial" / "by-id" / name);
    }
    fs::path m_dev;
    SerialLink m_link;
};

struct DescribeCase {
    const char* path;
    const char* device;
    std::string byId;
};

class DescribePortTest : public PortNamesTest,
                         public ::testing::WithParamInterface<DescribeCase> {};

// Catches a by-id name not found for its device, the wrong one of two names
// taken, a missing adapter shown as present, and paths of the fake tree
// leaking into what the menu and config.ini get.
TEST_P(DescribePortTest, NamesTheDeviceAndItsAdapter) {
    const DescribeCase& c = GetParam();
    const PortName name = DescribePort(c.path, m_dev);
    EXPECT_EQ(name.device, c.device);
    EXPECT_EQ(name.byId, c.byId);
}

const std::string kByIdDir = "/dev/serial/by-id/";

INSTANTIATE_TEST_SUITE_P(
    Paths, DescribePortTest,
    ::testing::Values(
        DescribeCase{"/dev/ttyUSB1", "/dev/ttyUSB1", kByIdDir + kFtdi},
        DescribeCase{"/dev/ttyUSB0", "/dev/ttyUSB0", kByIdDir + kCh340},
        DescribeCase{"/dev/ttyS0", "/dev/ttyS0", ""}, DescribeCase{"/dev/ttyUSB5", "", ""},
        DescribeCase{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-port0", "/dev/ttyUSB1",
                     "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-port0"},
        DescribeCase{"/dev/serial/by-id/usb-Gone_Adapter_0001-if00-port0", "", ""},
        DescribeCase{"/tmp/velmora-drive", "/tmp/velmora-drive", ""}, DescribeCase{"", "", ""}));

// Catches "remember this adapter" writing the momentary ttyUSB name, or
// writing anything for a port whose device has no stable name.
TEST_F(PortNamesTest, RememberAdapterWritesTheByIdName) {
    ASSERT_EQ(m_link.DevicePathForPort(6), "/dev/ttyUSB1");
    EXPECT_EQ(RememberAdapter(m_link, 6, m_dev), 0);
    EXPECT_EQ(m_link.DevicePathForPort(6), kByIdDir + kFtdi);
    // Plugged into another socket, it becomes ttyUSB0: the port follows it.
    fs::remove(m_dev / "serial" / "by-id" / kFtdi);
    byId(kFtdi, "ttyUSB0");
    EXPECT_EQ(DescribePort(m_link.DevicePathForPort(6), m_dev).device, "/dev/ttyUSB0");

    EXPECT_EQ(RememberAdapter(m_link, 1, m_dev), 1);  // ttyS0: no adapter
    EXPECT_EQ(RememberAdapter(m_link, 9, m_dev), 1);  // ttyUSB4: nothing plugged in
    const std::string config = Slurp(m_dir / "config.ini");
    EXPECT_EQ(config.find("com1="), std::string::npos) << config;
    EXPECT_EQ(config.find("com9="), std::string::npos) << config;
}

}  // namespace
}  // namespace velmora::link
