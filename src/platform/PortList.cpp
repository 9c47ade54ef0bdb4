#include "platform/PortList.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Hex4(std::uint16_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(id));
  return text;
}

// Links in `linkDir` whose target is `device` (both resolved, so relative links count too).
std::vector<std::string> LinksTo(const std::string& device, const std::string& linkDir) {
  std::vector<std::string> links;
  std::error_code error;
  const fs::path target = fs::canonical(device, error);
  if (error) return links;
  for (const fs::directory_entry& entry : fs::directory_iterator(linkDir, error)) {
    std::error_code linkError;
    if (!entry.is_symlink(linkError)) continue;
    if (fs::canonical(entry.path(), linkError) == target && !linkError) links.push_back(entry.path().string());
  }
  std::sort(links.begin(), links.end());
  return links;
}

void Field(std::string& out, const char* label, const std::string& value) {
  if (!value.empty()) out += std::string("  ") + label + ": " + value + "\n";
}

}  // namespace

std::vector<SerialPortEntry> SystemSerialPorts() {
  std::vector<SerialPortEntry> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    SerialPortEntry entry{info.systemLocation().toStdString(), info.description().toStdString(),
                          info.manufacturer().toStdString(), info.serialNumber().toStdString(),
                          std::nullopt, std::nullopt};
    if (info.hasVendorIdentifier()) entry.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier()) entry.productId = info.productIdentifier();
    ports.push_back(std::move(entry));
  }
  return ports;
}

std::string FormatPortList(const std::vector<SerialPortEntry>& ports, const std::string& linkDir) {
  if (ports.empty()) return "no serial ports found\n";
  std::string out;
  for (const SerialPortEntry& port : ports) {
    if (!out.empty()) out += "\n";
    out += port.path + "\n";
    Field(out, "description", port.description);
    Field(out, "maker", port.maker);
    Field(out, "serial number", port.serialNumber);
    Field(out, "USB vendor id", port.vendorId ? Hex4(*port.vendorId) : "");
    Field(out, "USB product id", port.productId ? Hex4(*port.productId) : "");
    for (const std::string& link : LinksTo(port.path, linkDir)) Field(out, "stable link", link);
  }
  return out;
}

std::vector<PortChoice> PortChoices(const std::vector<SerialPortEntry>& ports, const std::string& linkDir) {
  std::vector<PortChoice> choices;
  for (const SerialPortEntry& port : ports) {
    const std::vector<std::string> links = LinksTo(port.path, linkDir);
    PortChoice choice{links.empty() ? port.path : links.front(), links.empty() ? "" : port.path};
    for (const std::string& fact : {port.maker, port.description,
                                    port.serialNumber.empty() ? "" : "serial number " + port.serialNumber}) {
      if (fact.empty()) continue;
      choice.details += (choice.details.empty() ? "" : ", ") + fact;
    }
    choices.push_back(std::move(choice));
  }
  // An adapter with a stable name is what the operator is looking for; on-board ports may be many.
  std::stable_partition(choices.begin(), choices.end(),
                        [&linkDir](const PortChoice& choice) { return choice.device.rfind(linkDir + "/", 0) == 0; });
  return choices;
}

std::string StableName(const std::string& device, const std::string& linkDir) {
  if (device.rfind(linkDir + "/", 0) == 0) return device;
  const std::vector<std::string> links = LinksTo(device, linkDir);
  return links.empty() ? device : links.front();
}
