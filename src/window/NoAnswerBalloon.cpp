#include "window/NoAnswerBalloon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>
#include <utility>

namespace {

constexpr int kGap = 4;  // pixels between the control and the balloon

}  // namespace

NoAnswerBalloon::NoAnswerBalloon(QWidget* window, QWidget* rxdLine, std::function<std::string()> port)
    : QLabel(window), window_(window), rxdLine_(rxdLine), port_(std::move(port)) {
  setPalette(QToolTip::palette());
  setBackgroundRole(QPalette::ToolTipBase);
  setForegroundRole(QPalette::ToolTipText);
  setFont(QToolTip::font());
  setAutoFillBackground(true);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setMargin(3);
  setFocusPolicy(Qt::NoFocus);
  // Clicks go to the control beneath: the balloon is never in the way of the next one.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
  hide_.setSingleShot(true);
  hide_.setInterval(kShownMs);
  connect(&hide_, &QTimer::timeout, this, &QWidget::hide);
  // Every press in the window, whichever control gets it, is seen before that control acts on it.
  qApp->installEventFilter(this);
}

QString NoAnswerBalloon::Port() const { return QString::fromStdString(port_()); }

void NoAnswerBalloon::Sent(std::string_view) { sent_.start(); }

void NoAnswerBalloon::NoReply(int waitMs) {
  const QString port = Port();
  Tell(QStringLiteral("No reply%1 within %2 ms").arg(port.isEmpty() ? QString() : QStringLiteral(" from ") + port).arg(waitMs));
  noReplyTold_ = told_;
}

void NoAnswerBalloon::Late(std::string_view) {
  // Once, for the press whose note said nothing came; bytes that follow it change nothing.
  if (!std::exchange(noReplyTold_, false) || !sent_.isValid()) return;
  const QString port = Port();
  Show(QStringLiteral("%1 answered after %2 ms").arg(port.isEmpty() ? QStringLiteral("The projector") : port).arg(sent_.elapsed()));
}

void NoAnswerBalloon::Refused(std::string_view command) {
  Tell(QStringLiteral("The projector answered ERR to ") +
       QString::fromLatin1(command.data(), static_cast<qsizetype>(command.size())));
}

bool NoAnswerBalloon::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  const bool keyClick = type == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space ||
                                                     static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                                     static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!(press || keyClick) || widget == nullptr || widget->window() != window_) return false;
  // A button takes its press or key; what else is pressed passes it on to its parents, none of
  // which is a control to stand beside.
  auto* button = qobject_cast<QAbstractButton*>(widget);
  if (keyClick && button == nullptr) return false;
  clicked_ = button;
  hide_.stop();
  hide();
  told_ = false;
  noReplyTold_ = false;
  return false;
}

bool NoAnswerBalloon::RxdInView() const {
  if (!rxdLine_->isVisibleTo(window_)) return false;
  const QPoint top = rxdLine_->mapTo(window_, QPoint(0, 0));
  return top.y() + rxdLine_->height() <= window_->height();
}

void NoAnswerBalloon::Tell(const QString& text) {
  if (told_ || RxdInView()) return;
  told_ = true;
  Show(text);
}

void NoAnswerBalloon::Show(const QString& text) {
  setText(text);
  adjustSize();
  Place();
  raise();
  show();
  hide_.start();
}

void NoAnswerBalloon::Place() {
  const QWidget* anchor = clicked_ != nullptr ? clicked_.data() : window_;
  const QRect control(anchor->mapTo(window_, QPoint(0, 0)), anchor->size());
  // Right of the control where it fits, else left of it; always inside the window.
  int x = control.right() + 1 + kGap;
  if (x + width() > window_->width()) x = control.left() - kGap - width();
  x = std::clamp(x, 0, std::max(0, window_->width() - width()));
  const int y = std::clamp(control.center().y() - height() / 2, 0, std::max(0, window_->height() - height()));
  move(x, y);
}
