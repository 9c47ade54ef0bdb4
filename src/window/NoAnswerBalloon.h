#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>

#include "controller/TrafficObserver.h"

// A small note beside the control clicked last, for a click that got no answer (no reply within
// its window, or the projector's refusal) while the monitor's RXD line is out of view: in the
// compact panel nothing else would tell it from a click that worked. Drawn inside the window, so
// it takes no focus and no click, and is in the window's picture. It goes after a few seconds or
// at the next click; each press tells at most once, however often a held button repeats.
class NoAnswerBalloon : public QLabel, public TrafficObserver {
 public:
  static constexpr int kShownMs = 3000;

  // `rxdLine`: the monitor line whose visibility decides; `port` names the port for the text.
  NoAnswerBalloon(QWidget* window, QWidget* rxdLine, std::function<std::string()> port);

  void Sent(std::string_view rendered) override;
  void NoReply(int waitMs) override;
  void Refused(std::string_view command) override;
  // The reply the note said had not come came after all: the note says so.
  void Late(std::string_view rendered) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool RxdInView() const;
  void Tell(const QString& text);
  void Show(const QString& text);
  QString Port() const;
  void Place();

  QWidget* window_;
  QWidget* rxdLine_;
  std::function<std::string()> port_;
  QPointer<QWidget> clicked_;  // the button the last press went to, if it went to one
  bool told_ = false;          // this press has had its balloon
  bool noReplyTold_ = false;   // and it said no reply came
  QElapsedTimer sent_;         // since the last frame went out
  QTimer hide_;
};
