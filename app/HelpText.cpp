#include <string>

#include "CommandLine.h"

// The help is a list of paragraphs, each a heading and its lines, so a new face of the program
// adds its paragraph (and its examples) in one place. The manual page is made from it by
// help2man, which reads the layout, so a paragraph keeps to these rules:
// - A heading ends with a colon and stands alone on its line.
// - An option starts at two blanks, its text at column 24 (on the next line when the option is
//   longer); every line of that text is indented to column 24 and says only about that option.
// - Text about several options is a paragraph of its own after them, starting at column 0: an
//   indented line would be read as more text of the option above it.
// - The summary says what the program is once; the manual page's description adds to it, and
//   says none of it again (packaging/projector-panel.h2m).
// - An example line stays a line of the page only as a paragraph of its own (a blank line or a
//   change of indent ends one), no longer than the page's width, and without two blanks in a row.
namespace {

constexpr const char* kUsage =
    "Usage: projector-panel [--com1 PATH] [--com2 PATH] [--log FILE]\n"
    "  or:  projector-panel --send COMMAND... [OPTION]...\n"
    "  or:  projector-panel --serve [OPTION]...\n"
    "  or:  projector-panel --list-ports | --list-commands | --help | --version\n";

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
    "  --list-ports         list the serial devices this system knows, with the stable\n"
    "                       /dev/serial/by-id/ link of each where there is one, and exit\n"
    "A PATH may name a network serial server instead of a device: rfc2217://HOST:PORT (Telnet,\n"
    "RFC 2217: the panel sets the line) or socket://HOST:PORT (raw TCP: the server's own setting\n"
    "rules). An IPv6 host goes in brackets: rfc2217://[::1]:4001.\n";

constexpr const char* kSending =
    "Sending without a window:\n"
    "  --send COMMAND       send COMMAND to the projector and print the monitor lines the panel\n"
    "                       would show; give it again to send several commands in order. COMMAND\n"
    "                       is the projector's own text (C00, CR0, 'CF IMAGE REAL') or its name\n"
    "                       (power-on, status, lamp-hours ...)\n"
    "  --list-commands      list every button's command with its name, panel group and caption,\n"
    "                       and the nine status queries with what each reports, and exit; a\n"
    "                       hold button's name (zoom-in, keystone-left ...) is one step: the\n"
    "                       press, its reply and the release\n"
    "  --markdown           with --list-commands: one Markdown table of every name, with what\n"
    "                       it sends and how long --send waits for its reply\n"
    "  --port 1|2           the port to send on (default 1: COM1)\n"
    "  --speed 19200|9600   the line speed in baud (default 19200)\n"
    "  --address single|all|001|002|003|004\n"
    "                       the projector the commands are for (default single: no address);\n"
    "                       with all no projector answers, so a status query is refused, and a\n"
    "                       command counts as sent once its frame has left for the line within\n"
    "                       its wait; a frame still queued then, or a line lost first, is status 1\n"
    "  --timeout MS         wait MS milliseconds (50 to 60000) for each reply (default: as long\n"
    "                       as the panel's button would, 500 ms for most commands); in the\n"
    "                       window too, for a projector known to answer slowly\n"
    "  --json               print one JSON object per command instead of the monitor lines, with\n"
    "                       the answer and the decoded value; errors become JSON objects too\n"
    "The port numbers stand for the devices of --com1 and --com2, as in the panel, or for the\n"
    "devices chosen in the window where those are not given. After the port opens, the line\n"
    "settles until it has been quiet for 20 ms (at most 100 ms); bytes that come meanwhile\n"
    "answer nothing and are reported. Each reply must have the shape of an answer to its\n"
    "command (two characters for status, digits for lamp hours ...); one that has not, most\n"
    "often another command's late reply, is reported as unexpected and not read, and a reply\n"
    "still owed takes only a line of its own shape. A run that ends still owed a reply\n"
    "waits for it up to 5.5 s (or --timeout, if longer) more and reports it as late, so that the\n"
    "next run does not take it for its own. A device chosen in the window is kept with who it\n"
    "was (a USB adapter's maker, product, serial number or USB port, and interface); if another\n"
    "device is at its path now, nothing is sent and the status is 1.\n";

constexpr const char* kServing =
    "Sharing the line:\n"
    "  --serve              hold COM1 (and COM2 with --com2) without a window and serve the\n"
    "                       --send runs of this user that find it held, side by side and\n"
    "                       one exchange at a time, each with its own address, replies and\n"
    "                       verdicts; takes --com1, --com2, --speed and --log; ends on\n"
    "                       SIGTERM, SIGINT or SIGHUP once the runs in progress are over\n"
    "A --send whose port a panel of the same user holds (its window, or --serve) is handed to\n"
    "it through a socket in $XDG_RUNTIME_DIR/projector-panel/ and prints and returns what a\n"
    "direct run would; a click in the window waits for the exchange in progress. Its --speed\n"
    "must be the held line's (else status 2). A window started while --serve holds its port\n"
    "borrows the line and gives it back when it ends. Without XDG_RUNTIME_DIR nothing is\n"
    "served, and a held port is busy as before.\n";

constexpr const char* kPjlink =
    "Network control (PJLink Class 1), on the panel that holds the port (window or --serve):\n"
    "  --pjlink [ADDRESS:]PORT\n"
    "                       answer PJLink clients for the projector on COM1; a bare PORT (the\n"
    "                       standard's is 4352) listens on this machine only, and any other\n"
    "                       ADDRESS needs --pjlink-password-file\n"
    "  --pjlink2 [ADDRESS:]PORT\n"
    "                       the same for the projector on COM2\n"
    "  --pjlink-password-file FILE\n"
    "                       the password clients must prove: the file's first line, at most 32\n"
    "                       bytes, in a file nobody but its owner may read\n"
    "  --pjlink-name TEXT   what NAME answers (empty if not given); --pjlink-maker,\n"
    "                       --pjlink-model and --pjlink-info give INF1, INF2 and INFO\n"
    "Each PJLink request takes its turn on the line as a script's run does, and is answered\n"
    "from the projector's decoded reply: ERR3 when the projector refuses, ERR4 when it does not\n"
    "answer in time or the line is lost.\n";

constexpr const char* kOther =
    "Other options:\n"
    "  --log FILE           append the traffic to FILE, in the window and with --send: one line\n"
    "                       per frame sent (TXD), bytes received (RXD), decoded status (STATUS),\n"
    "                       late bytes, missing reply, and port lost or reopened, each with the\n"
    "                       time in UTC and the port; a FILE that cannot be opened is reported\n"
    "                       and the run goes on without it\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n";

constexpr const char* kExitStatus =
    "Exit status:\n"
    "  0    the panel ended (END, its window closed, SIGTERM, SIGINT or SIGHUP); with --send:\n"
    "       every command was acknowledged or answered (with --address all: sent)\n"
    "  1    the port could not be opened, a write failed or the line was lost (no later command\n"
    "       is sent), or the standard output could not be written\n"
    "  2    a mistake on the command line, or a --send command that cannot be sent (empty, not\n"
    "       plain ASCII, an unknown name, a status query to all); nothing was sent\n"
    "  3    with --send: a command got no reply, an incomplete one, or one that is not an answer\n"
    "       to it (unexpected)\n"
    "  4    with --send: the projector answered ERR to a command\n"
    "  129  with --send: stopped by SIGHUP (128 + its number)\n"
    "  130  with --send: stopped by SIGINT (Ctrl+C)\n"
    "  141  with --send: the standard output was closed (as by | head); no later command is sent\n"
    "  143  with --send: stopped by SIGTERM\n"
    "When several apply, the status is the first of 1, 2, 4 and 3. Every failure is one line on\n"
    "standard error that begins with \"projector-panel: \".\n";

constexpr const char* kExamples =
    "Examples:\n"
    "Find the projector's serial adapter, and the names of the commands:\n"
    "  projector-panel --list-ports\n"
    "\n"
    "  projector-panel --list-commands\n"
    "\n"
    "Power on, then wait a minute at most for the lamp (the status is\n"
    "not 0 when the port fails or the lamp is still off):\n"
    "  p=/dev/serial/by-id/usb-FTDI_FT232R-if00-port0\n"
    "\n"
    "  projector-panel --com1 \"$p\" --send power-on\n"
    "\n"
    "  (for i in $(seq 30); do\n"
    "    s=$(projector-panel --com1 \"$p\" --send status) || exit\n"
    "\n"
    "    case $s in *'Power ON') exit 0;; esac; sleep 2\n"
    "  done; exit 1)\n"
    "\n"
    "The temperatures as JSON:\n"
    "  projector-panel --com1 \"$p\" --json --send temperatures\n";

constexpr const char* kParagraphs[] = {kSummary, kDevices, kSending, kServing, kPjlink, kOther, kExitStatus, kExamples};

}  // namespace

std::string UsageText() { return kUsage; }

std::string HelpText() {
  std::string text = kUsage;
  for (const char* paragraph : kParagraphs) text += std::string("\n") + paragraph;
  return text;
}
