#pragma once

#include <QString>
#include <QTcpServer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/HandServer.h"
#include "cli/PjlinkOptions.h"

// The holder's PJLink Class 1 face for the projector on one of its ports. Each client gets the
// greeting, and its requests, one at a time, are translated into the projector's commands
// (`pjlink::kTranslations`); those run as a hand of the holder (`serve`, in a fiber of its own),
// taking turns on the line with the scripts' exchanges, and the answer is made from the replies the panel decoded. At most eight clients
// at once; one that says nothing for 30 s is closed; lines are bounded; a wrong password ends
// the connection.
class PjlinkServer {
 public:
  // `device`: the port's device now, which the runs name; `com`: 1 or 2. `password`: none, or the one
  // clients must prove they know.
  PjlinkServer(HandServer::Serve serve, std::function<QString()> device, int com, pjlink::Texts texts,
               std::optional<std::string> password);
  ~PjlinkServer();
  PjlinkServer(const PjlinkServer&) = delete;
  PjlinkServer& operator=(const PjlinkServer&) = delete;

  // Why it cannot listen there; nothing once it does.
  std::optional<std::string> Listen(const PjlinkListen& where);

  static constexpr int kMostClients = 8;
  static constexpr int kIdleMs = 30000;

 private:
  struct Client;
  void Accept();
  void Read(const std::shared_ptr<Client>& client);
  void Take(const std::shared_ptr<Client>& client, const std::string& line);
  void Say(Client& client, const std::string& text);
  void Close(const std::shared_ptr<Client>& client);

  HandServer::Serve serve_;
  std::function<QString()> device_;
  int com_;
  pjlink::Texts texts_;
  std::optional<std::string> password_;
  QTcpServer server_;
  std::vector<std::shared_ptr<Client>> clients_;
};

// Reads the password a PJLink face asks for from `path`: the first line, which must not be empty
// nor longer than the standard allows, in a file nobody but its owner may read. Why not, if not.
struct PasswordProblem {
  std::string why;
};
std::variant<std::string, PasswordProblem> ReadPjlinkPassword(const std::string& path);
