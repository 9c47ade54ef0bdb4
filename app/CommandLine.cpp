#include "CommandLine.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "network/NetworkAddress.h"

#ifndef PANEL_VERSION
#error "PANEL_VERSION comes from the project's version in CMake"
#endif

// Qt's parser reads the options and their values. What it does not do is kept here, and small:
// the order in which mistakes are named, our own texts for them, a value that looks like the next
// option, repeatable and exclusive options, and the values each option takes.
namespace {

enum class Option { Help, Version, ListPorts, ListCommands, Markdown, Com1, Com2, Send, Serve, Port, Speed, Address, Json, Timeout, Log,
                    Pjlink, Pjlink2, PjlinkPassword, PjlinkName, PjlinkMaker, PjlinkModel, PjlinkInfo };

struct KnownOption {
  QStringList names;
  Option option;
  const char* value;  // what the value is, for messages; empty for a flag
  bool repeatable = false;
  bool onlyForSend = false;
  bool onlyForPjlink = false;
};

const std::vector<KnownOption>& Options() {
  static const std::vector<KnownOption> options{
      {{"h", "help"}, Option::Help, ""},
      {{"V", "version"}, Option::Version, ""},
      {{"list-ports"}, Option::ListPorts, ""},
      {{"list-commands"}, Option::ListCommands, ""},
      {{"markdown"}, Option::Markdown, ""},
      {{"com1"}, Option::Com1, "a device path"},
      {{"com2"}, Option::Com2, "a device path"},
      {{"send"}, Option::Send, "a command", true},
      {{"serve"}, Option::Serve, ""},
      {{"port"}, Option::Port, "1 or 2", false, true},
      {{"speed"}, Option::Speed, "19200 or 9600", false, true},
      {{"address"}, Option::Address, "single, all, 001, 002, 003 or 004", false, true},
      {{"json"}, Option::Json, "", false, true},
      {{"timeout"}, Option::Timeout, "a number of milliseconds from 50 to 60000"},
      {{"log"}, Option::Log, "a file name"},
      {{"pjlink"}, Option::Pjlink, "[ADDRESS:]PORT"},
      {{"pjlink2"}, Option::Pjlink2, "[ADDRESS:]PORT"},
      {{"pjlink-password-file"}, Option::PjlinkPassword, "a file name", false, false, true},
      {{"pjlink-name"}, Option::PjlinkName, "a text", false, false, true},
      {{"pjlink-maker"}, Option::PjlinkMaker, "a text", false, false, true},
      {{"pjlink-model"}, Option::PjlinkModel, "a text", false, false, true},
      {{"pjlink-info"}, Option::PjlinkInfo, "a text", false, false, true},
  };
  return options;
}

std::string Quoted(const QString& text) { return "'" + text.toStdString() + "'"; }

// How the option was written: "--com1" for com1, "-h" for h.
QString Written(const QString& name) { return (name.size() == 1 ? "-" : "--") + name; }

// A device path given without its option is the commonest slip; say how to write it.
std::string Stray(const QString& arg) {
  std::string error = "unexpected argument " + Quoted(arg);
  if (arg.startsWith(QLatin1String("/dev/"))) {
    error += " (to name the device of COM1, write --com1 " + arg.toStdString() + ")";
  }
  return error;
}

// The option's name as written in `arg` ("--com1=x" and "-com1" give "com1"); empty for no option.
QString NameIn(const QString& arg) {
  if (arg.size() < 2 || arg[0] != QLatin1Char('-')) return {};
  const QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
  return name.left(name.indexOf(QLatin1Char('=')));
}

const KnownOption* Find(const QString& name) {
  const auto& options = Options();
  const auto found = std::find_if(options.begin(), options.end(),
                                  [&name](const KnownOption& known) { return known.names.contains(name); });
  return found == options.end() ? nullptr : &*found;
}

// The first mistake in `args` by position, or nothing. Qt tells which arguments are unknown
// options and which are stray; its own checks of values are stricter about form than ours are
// about position, so the few it lacks are made here.
struct Mistake {
  qsizetype at;
  std::string text;
};

std::optional<Mistake> FirstMistake(const QStringList& args, const QCommandLineParser& parser) {
  std::vector<Mistake> found;
  const auto indexOf = [&args](const auto& matches) {
    for (qsizetype i = 0; i < args.size(); ++i) {
      if (matches(args[i])) return i;
    }
    return args.size();
  };
  for (const QString& name : parser.unknownOptionNames()) {
    const qsizetype at = indexOf([&name](const QString& arg) { return NameIn(arg) == name; });
    const QString written = at < args.size() ? args[at].left(args[at].indexOf(QLatin1Char('='))) : Written(name);
    found.push_back({at, "unknown option " + Quoted(written)});
  }
  for (const QString& stray : parser.positionalArguments()) {
    found.push_back({indexOf([&stray](const QString& arg) { return arg == stray; }), Stray(stray)});
  }
  for (qsizetype i = 0; i < args.size(); ++i) {
    // Qt ends the options at "--"; here it is a mistake, as the program takes no file names.
    if (args[i] == QLatin1String("--")) found.push_back({i, "unknown option '--'"});
    const KnownOption* known = Find(NameIn(args[i]));
    if (known == nullptr) continue;
    const bool inlineValue = args[i].contains(QLatin1Char('='));
    const QString written = args[i].left(args[i].indexOf(QLatin1Char('=')));
    if (*known->value == '\0') {
      if (inlineValue) found.push_back({i, "option " + Quoted(written) + " takes no value"});
      continue;
    }
    // Qt would take the next option as the value: "--com1 --help" is a missing value, and help.
    if (inlineValue) continue;
    if (i + 1 == args.size() || args[i + 1].startsWith(QLatin1String("--"))) {
      found.push_back({i, "option " + Quoted(written) + " needs a value: " + known->value});
    }
    ++i;  // the value, whatever it looks like
  }
  if (found.empty()) return std::nullopt;
  return *std::min_element(found.begin(), found.end(),
                           [](const Mistake& a, const Mistake& b) { return a.at < b.at; });
}

std::string BadValue(const KnownOption& known, const QString& value) {
  return "option " + Quoted(Written(known.names.back())) + " takes " + known.value + ", not " + Quoted(value);
}

// "[ADDRESS:]PORT": a bare port is on loopback; an IPv6 address is written in brackets.
std::optional<std::string> ReadListen(const KnownOption& known, const QString& value, PjlinkListen& listen) {
  const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
  QString host = colon < 0 ? QStringLiteral("127.0.0.1") : value.left(colon);
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) host = host.mid(1, host.size() - 2);
  bool number = false;
  const int port = value.mid(colon + 1).toInt(&number);
  QHostAddress address;
  const bool hostRead = host == QLatin1String("localhost") || address.setAddress(host);
  if (value.isEmpty() || !number || port < 1 || port > 65535 || !value.back().isDigit() || !hostRead || host.contains(QLatin1Char('%'))) {
    return BadValue(known, value);
  }
  listen.address = host.toStdString();
  listen.port = port;
  listen.loopback = host == QLatin1String("localhost") || address.isLoopback();
  return std::nullopt;
}

// Takes one option's value into the result; the reason when it is not one the option takes.
std::optional<std::string> Apply(const KnownOption& known, const QString& value, CommandLine& line) {
  switch (known.option) {
    case Option::Com1:
    case Option::Com2:
      if (value.isEmpty()) return "option " + Quoted(Written(known.names.back())) + " needs a value: " + known.value;
      // A network address is read here already, so that a mistake in it never waits for a port to open.
      if (const DeviceName device = ReadDeviceName(value.toStdString()); std::holds_alternative<MalformedDevice>(device)) {
        return "option " + Quoted(Written(known.names.back())) + ": " + std::get<MalformedDevice>(device).reason;
      }
      (known.option == Option::Com1 ? line.com1 : line.com2) = value.toStdString();
      break;
    case Option::Send: line.send.commands.push_back(value.toStdString()); break;
    case Option::Port:
      if (value != QLatin1String("1") && value != QLatin1String("2")) return BadValue(known, value);
      line.send.port = static_cast<std::int16_t>(value.toInt());
      break;
    case Option::Speed:
      if (value != QLatin1String("19200") && value != QLatin1String("9600")) return BadValue(known, value);
      line.send.speed = value.toInt();
      line.send.speedGiven = true;
      break;
    case Option::Address: {
      const auto* option = std::find_if(kAddressOptions.begin(), kAddressOptions.end(), [&value](const AddressOption& o) {
        return QString::fromLatin1(o.caption.data(), static_cast<qsizetype>(o.caption.size()))
                   .compare(value, Qt::CaseInsensitive) == 0;
      });
      if (option == kAddressOptions.end()) return BadValue(known, value);
      line.send.address = option;
      break;
    }
    case Option::Json: line.send.json = true; break;
    case Option::Serve: line.serve = true; break;
    case Option::Timeout: {
      bool number = false;
      const int ms = value.toInt(&number);
      if (!number || ms < kShortestTimeout || ms > kLongestTimeout || !value.front().isDigit()) return BadValue(known, value);
      line.send.timeoutMs = ms;
      break;
    }
    case Option::Log:
      if (value.isEmpty()) return "option " + Quoted(Written(known.names.back())) + " needs a value: " + known.value;
      line.log = line.send.log = value.toStdString();
      break;
    case Option::Pjlink:
    case Option::Pjlink2: {
      PjlinkListen listen;
      if (auto error = ReadListen(known, value, listen)) return error;
      line.pjlink.listen[known.option == Option::Pjlink ? 0 : 1] = listen;
      break;
    }
    case Option::PjlinkPassword:
      if (value.isEmpty()) return "option " + Quoted(Written(known.names.back())) + " needs a value: " + known.value;
      line.pjlink.passwordFile = value.toStdString();
      break;
    case Option::PjlinkName:
    case Option::PjlinkMaker:
    case Option::PjlinkModel:
    case Option::PjlinkInfo: {
      // The standard's longest answers: 64 bytes for the name, 32 for the others.
      const bool name = known.option == Option::PjlinkName;
      const std::string text = value.toStdString();
      if (auto problem = pjlink::TextProblem("option " + Quoted(Written(known.names.back())), text, name ? 64 : 32)) {
        return problem;
      }
      pjlink::Texts& texts = line.pjlink.texts;
      (name ? texts.name : known.option == Option::PjlinkMaker ? texts.maker
                       : known.option == Option::PjlinkModel ? texts.model
                                                              : texts.info) = text;
      break;
    }
    case Option::Help:
    case Option::Version:
    case Option::ListPorts:
    case Option::ListCommands: break;
    case Option::Markdown: line.markdown = true; break;
  }
  return std::nullopt;
}

std::optional<std::string> Check(const QCommandLineParser& parser, CommandLine& line) {
  // In the order given, so that the first wrong value is the one named.
  std::vector<std::pair<const KnownOption*, QString>> given;
  std::vector<const KnownOption*> seen;
  for (const QString& name : parser.optionNames()) {
    const KnownOption* known = Find(name);
    const qsizetype nth = std::count(seen.begin(), seen.end(), known);
    if (nth > 0 && !known->repeatable) return "option " + Quoted(Written(name)) + " is given twice";
    seen.push_back(known);
    const QStringList values = parser.values(known->names.back());
    given.emplace_back(known, *known->value == '\0' ? QString() : values.value(nth));
  }
  for (const auto& [known, value] : given) {
    if (auto error = Apply(*known, value, line)) return error;
  }
  const bool sending = !line.send.commands.empty();
  if (sending && line.serve) return std::string("option '--serve' and option '--send' exclude each other");
  // The lists answer alone: an option beside one would be ignored.
  for (const auto& [option, mode] : {std::pair{Option::ListPorts, RunMode::ListPorts}, std::pair{Option::ListCommands, RunMode::ListCommands}}) {
    const auto list = std::find_if(given.begin(), given.end(), [option](const auto& g) { return g.first->option == option; });
    if (list == given.end()) continue;
    if (given.size() > (line.markdown && option == Option::ListCommands ? 2u : 1u)) return "option " + Quoted(Written(list->first->names.back())) + " takes no other options";
    line.mode = mode;
    return std::nullopt;
  }
  if (line.markdown) return "option '--markdown' only applies with --list-commands";
  for (const auto& [known, value] : given) {
    // A holder sets the speed of the line it holds.
    if (known->onlyForSend && !sending && !(line.serve && known->option == Option::Speed)) {
      return "option " + Quoted(Written(known->names.back())) + " only applies with --send";
    }
  }
  for (const auto& [known, value] : given) {
    if (sending && (known->onlyForPjlink || known->option == Option::Pjlink || known->option == Option::Pjlink2)) {
      return "option " + Quoted(Written(known->names.back())) + " applies to the panel that holds the port, not to --send";
    }
    if (known->onlyForPjlink && !line.pjlink.Any()) {
      return "option " + Quoted(Written(known->names.back())) + " only applies with --pjlink or --pjlink2";
    }
  }
  // Beyond this machine, only a client that knows the password may drive the projector.
  for (const char* name : {"pjlink", "pjlink2"}) {
    const auto& listen = line.pjlink.listen[name[6] == '2' ? 1 : 0];
    if (listen && !listen->loopback && !line.pjlink.passwordFile) {
      return "option '--" + std::string(name) + "' would let anyone who reaches " + listen->address +
             " drive the projector: give --pjlink-password-file FILE, or listen on this machine only (--" + name +
             " " + std::to_string(listen->port) + ")";
    }
  }
  if (line.pjlink.listen[0] && line.pjlink.listen[1] && line.pjlink.listen[0]->port == line.pjlink.listen[1]->port) {
    return "options '--pjlink' and '--pjlink2' need ports of their own";
  }
  line.mode = sending ? RunMode::Send : line.serve ? RunMode::Serve : RunMode::Window;
  return std::nullopt;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
  QStringList arguments;
  for (const std::string_view arg : args) {
    arguments.append(QString::fromLocal8Bit(arg.data(), static_cast<qsizetype>(arg.size())));
  }
  QCommandLineParser parser;
  // "-x" is a whole name, so a mistake is named as it was written.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const KnownOption& known : Options()) {
    parser.addOption(*known.value == '\0' ? QCommandLineOption(known.names)
                                          : QCommandLineOption(known.names, QString(), QString::fromLatin1(known.value)));
  }
  parser.parse(QStringList{QStringLiteral("projector-panel")} + arguments);

  CommandLine line;
  // Help and version answer whatever else is on the line, mistakes included, even where Qt took
  // them as the value of the option before.
  const auto asked = [&](const char* name) {
    return parser.isSet(QLatin1String(name)) || arguments.contains(QLatin1String("--") + QLatin1String(name));
  };
  if (asked("help")) {
    line.mode = RunMode::Help;
  } else if (asked("version")) {
    line.mode = RunMode::Version;
  } else if (const auto mistake = FirstMistake(arguments, parser)) {
    line.mode = RunMode::Usage;
    line.error = mistake->text;
  } else if (auto error = Check(parser, line)) {
    line = CommandLine{};
    line.mode = RunMode::Usage;
    line.error = *error;
  }
  // A script that asked for JSON gets it for its mistakes too, whatever else is wrong on the line.
  if (line.mode == RunMode::Usage) line.send.json = arguments.contains(QLatin1String("--json"));
  return line;
}

std::string VersionText() { return std::string("projector-panel ") + PANEL_VERSION; }
