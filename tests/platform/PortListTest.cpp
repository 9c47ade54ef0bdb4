#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/PortList.h"

namespace fs = std::filesystem;

void PrintTo(const PortChoice& choice, std::ostream* out) { *out << choice.device << " (" << choice.details << ")"; }

namespace {

// A stand-in /dev: two "devices" and a by-id folder with the kinds of entry udev leaves there
// (absolute and relative links), and some it does not (a dangling link, a plain file).
class PortListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("port-list-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "by-id");
    std::ofstream(Usb0()) << "";
    std::ofstream(Usb1()) << "";
    fs::create_symlink(Usb0(), root_ / "by-id" / "usb-FTDI_FT232R_A50285BI-if00-port0");
    fs::create_symlink("../ttyUSB1", root_ / "by-id" / "usb-Prolific_PL2303-if00-port0");
    fs::create_symlink("../ttyUSB1", root_ / "by-id" / "usb-Prolific_PL2303-if00-port0-alias");
    fs::create_symlink("../ttyUSB9", root_ / "by-id" / "usb-gone-if00-port0");
    std::ofstream(root_ / "by-id" / "not-a-link") << "";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Usb0() const { return (root_ / "ttyUSB0").string(); }
  std::string Usb1() const { return (root_ / "ttyUSB1").string(); }
  std::string Links() const { return (root_ / "by-id").string(); }

  fs::path root_;
};

TEST_F(PortListTest, ShowsWhatIsKnownOfEachDeviceAndItsStableNames) {
  const struct {
    const char* name;
    std::vector<SerialPortEntry> ports;
    std::string expected;
  } table[] = {
      {"none", {}, "no serial ports found\n"},
      {"a device with nothing known and no link", {{"/dev/ttyS0", "", "", "", std::nullopt, std::nullopt}}, "/dev/ttyS0\n"},
      {"a USB adapter with everything known",
       {{Usb0(), "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001}},
       Usb0() + "\n  description: FT232R USB UART\n  maker: FTDI\n  serial number: A50285BI\n"
                "  USB vendor id: 0403\n  USB product id: 6001\n"
                "  stable link: " + Links() + "/usb-FTDI_FT232R_A50285BI-if00-port0\n"},
      {"relative links, two to one device, ids with leading zeros",
       {{Usb1(), "", "Prolific", "", 0x067b, 0x0023}},
       Usb1() + "\n  maker: Prolific\n  USB vendor id: 067b\n  USB product id: 0023\n"
                "  stable link: " + Links() + "/usb-Prolific_PL2303-if00-port0\n"
                "  stable link: " + Links() + "/usb-Prolific_PL2303-if00-port0-alias\n"},
      {"two devices, a blank line between",
       {{"/dev/ttyS0", "", "", "", std::nullopt, std::nullopt}, {Usb0(), "", "", "", std::nullopt, std::nullopt}},
       "/dev/ttyS0\n\n" + Usb0() + "\n  stable link: " + Links() + "/usb-FTDI_FT232R_A50285BI-if00-port0\n"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FormatPortList(row.ports, Links()), row.expected);
  }
}

// The window's chooser offers the same devices, each by its stable name where it has one (those
// first), with its path, maker, product and serial number.
TEST_F(PortListTest, TheChooserNamesEachDeviceByItsStableLinkFirst) {
  const std::vector<PortChoice> expected = {
      {Links() + "/usb-FTDI_FT232R_A50285BI-if00-port0", Usb0() + ", FTDI, FT232R USB UART, serial number A50285BI"},
      {Links() + "/usb-Prolific_PL2303-if00-port0", Usb1() + ", Prolific"},
      {"/dev/ttyS0", ""},
  };
  EXPECT_EQ(PortChoices({{"/dev/ttyS0", "", "", "", std::nullopt, std::nullopt},
                         {Usb0(), "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001},
                         {Usb1(), "", "Prolific", "", 0x067b, 0x0023}},
                        Links()),
            expected);
}

TEST_F(PortListTest, AMissingLinkFolderMeansNoLinks) {
  EXPECT_EQ(FormatPortList({{Usb0(), "", "", "", std::nullopt, std::nullopt}}, (root_ / "nowhere").string()),
            Usb0() + "\n");
}

}  // namespace
