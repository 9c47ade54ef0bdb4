#pragma once

#include <string_view>

// Someone who keeps an eye on the traffic without taking part in it: a log, or the window's sign
// for a click that went unanswered. The exchange and the link raise these where they already
// produce the monitor's lines and their notices, so a listener never decodes anything again.
// Texts come as the monitor shows them: a leading blank, then one token per byte.
class TrafficObserver {
 public:
  virtual ~TrafficObserver() = default;

  virtual void Sent(std::string_view /*rendered*/) {}      // a frame went out: the "TXD" line
  virtual void Received(std::string_view /*rendered*/) {}  // bytes came for the frame: added to "RXD"
  virtual void Decoded(std::string_view /*status*/) {}     // the "STATUS" line the reply gave
  // The reply was the projector's refusal; `command` is the frame without address and CR.
  virtual void Refused(std::string_view /*command*/) {}
  virtual void NoReply(int /*waitMs*/) {}                  // nothing came within the reply window
  virtual void Late(std::string_view /*rendered*/) {}      // bytes after their frame's window ended
  virtual void Lost() {}                                   // the device went away: the port is lost
  virtual void Reopened() {}                               // the lost device was opened again
};
