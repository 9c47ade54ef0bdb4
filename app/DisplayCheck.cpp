#include "DisplayCheck.h"

#include <QByteArray>
#include <QtGlobal>

#include "platform/StopSignals.h"

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <xcb/xcb.h>
#endif

std::optional<std::string> MissingDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  const QByteArray display = qgetenv("DISPLAY");
  // Only the X11 plugin is checked: it is the one chosen when nothing else is named, and the
  // one that aborts. A Wayland session or another platform is Qt's to report.
  const bool x11 = platform.isEmpty() ? qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") : platform.startsWith("xcb");
  if (!x11) return std::nullopt;
  if (display.isEmpty()) {
    return std::string(platform.isEmpty() ? "DISPLAY and WAYLAND_DISPLAY are not set" : "DISPLAY is not set");
  }
  // The X library that Qt's plugin connects with is asked itself: whatever name it cannot use,
  // however it is spelt, is one Qt would abort on.
  // A server that closes at once makes the library's first write a broken pipe, which must be an
  // error here, not the end of the program.
  const NoPipeSignal closedConnectionIsAnError;
  xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
  const bool usable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  if (!usable) return "DISPLAY=" + display.toStdString() + " cannot be reached";
#endif
  return std::nullopt;
}
