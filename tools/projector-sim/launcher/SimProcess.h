#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The simulated projector as a child process, for the panel's tests and tools, for the life of
// this object. The simulator's path is compiled into the library. Started, it has
// printed the path of the line a client opens; at the end it is killed.
class SimProcess {
 public:
  // Throws std::runtime_error when the simulator does not start or print its path in time.
  explicit SimProcess(const QStringList& args);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const QString& Path() const { return path_; }
  // Everything it has logged so far.
  QString Log();
  QProcess& Process() { return process_; }

 private:
  QProcess process_;
  QString path_;
  QString log_;
};
