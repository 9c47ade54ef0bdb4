#include <string>

#include "CommandLine.h"

// The help is a list of paragraphs, each a heading and its lines, so a new face of the program
// adds its paragraph (and its examples) in one place.
namespace {

constexpr const char* kUsage =
    "Usage: projector-panel [--com1 PATH] [--com2 PATH]\n"
    "  or:  projector-panel --send COMMAND... [OPTION]...\n"
    "  or:  projector-panel --list-ports | --help | --version\n";

constexpr const char* kSummary =
    "A remote-control panel for a video projector on an RS-232 line. Without options it opens its\n"
    "window and COM1 at 19200 baud, 8 data bits, no parity, 1 stop bit. A right-click on COM (or\n"
    "on the COM1 and COM2 options it shows) chooses the device a port stands for and keeps it.\n";

constexpr const char* kDevices =
    "Serial devices:\n"
    "  --com1 PATH          the device COM1 stands for, for this run (default: the device\n"
    "                       last chosen for it in the window, else /dev/ttyS0)\n"
    "  --com2 PATH          the device COM2 stands for, for this run (default: the device\n"
    "                       last chosen for it in the window, else /dev/ttyS1)\n"
    "                       PATH may name a network serial server instead:\n"
    "                       rfc2217://HOST:PORT (Telnet, RFC 2217: the panel sets the line) or\n"
    "                       socket://HOST:PORT (raw TCP: the server's own setting rules);\n"
    "                       an IPv6 host goes in brackets, rfc2217://[::1]:4001\n"
    "  --list-ports         list the serial devices this system knows, with the stable\n"
    "                       /dev/serial/by-id/ link of each where there is one, and exit\n";

constexpr const char* kSending =
    "Sending without a window:\n"
    "  --send COMMAND       send COMMAND to the projector as the panel's SEND would and print\n"
    "                       the monitor lines; give it again to send several commands in order\n"
    "  --port 1|2           the port to send on (default 1: COM1)\n"
    "  --speed 19200|9600   the line speed in baud (default 19200)\n"
    "  --address single|all|001|002|003|004\n"
    "                       the projector the commands are for (default single: no address)\n"
    "  --json               print one JSON object per command instead of the monitor lines\n"
    "The port numbers stand for the devices of --com1 and --com2, as in the panel, or for the\n"
    "devices chosen in the window where those are not given.\n";

constexpr const char* kOther =
    "Other options:\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n";

constexpr const char* kExamples =
    "Examples:\n"
    "  projector-panel --list-ports\n"
    "                       find the projector's adapter\n"
    "  projector-panel --com1 /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
    "                       a USB serial adapter, by the stable name that stays the same when it is\n"
    "                       plugged into another socket (a name like /dev/ttyUSB0 may change)\n"
    "  projector-panel --com1 rfc2217://10.0.0.5:4001\n"
    "                       a projector behind a network serial server (such as ser2net)\n"
    "  Power on, then wait for the lamp (asks CR0 every 2 s until the projector reports it is on):\n"
    "    projector-panel --com1 /dev/ttyUSB0 --send C00\n"
    "    until projector-panel --com1 /dev/ttyUSB0 --send CR0 | grep -qx 'STATUS  Power ON'; do sleep 2; done\n"
    "  A status report as JSON, one object per line (status, lamp hours, temperatures, lamp mode):\n"
    "    projector-panel --com1 /dev/ttyUSB0 --json --send CR0 --send CR3 --send CR6 --send CR7\n";

constexpr const char* kExitStatus =
    "Exit status:\n"
    "  0  the panel was closed, or the program ended by SIGTERM, SIGINT or SIGHUP;\n"
    "     with --send: every command got a reply\n"
    "  1  the port could not be opened at start-up; with --send also: a write failed\n"
    "  2  a mistake on the command line, or a --send text the projector cannot take\n"
    "  3  with --send: a command's reply window ended with nothing received\n";

constexpr const char* kParagraphs[] = {kSummary, kDevices, kSending, kOther, kExamples, kExitStatus};

}  // namespace

std::string UsageText() { return kUsage; }

std::string HelpText() {
  std::string text = kUsage;
  for (const char* paragraph : kParagraphs) text += std::string("\n") + paragraph;
  return text;
}
