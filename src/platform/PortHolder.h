#pragma once

#include <QString>
#include <optional>

// The program holding the device at `path`, as the lock file QSerialPort keeps for an open port
// names it: "projector-panel (process 4711)". Nothing when no lock file says who.
std::optional<QString> PortHolder(const QString& path);
// The process that lock file names (a holder is known by the socket it listens on, not by its name).
std::optional<qint64> PortHolderProcess(const QString& path);
