#pragma once
// Answers the next modal dialog of a kind as a user would, from the event loop that the
// dialog runs: the test arms it before the click that opens the dialog.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace quorvel::testing {

// Calls `answer` with the next modal dialog (or popup menu) of type T once it is on screen. Gives
// up after five seconds (the test then sees the dialog that never came).
template <typename T>
void WhenModal(std::function<void(T&)> answer) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, ticks, answer = std::move(answer)] {
    QWidget* top = QApplication::activePopupWidget();
    if (top == nullptr) top = QApplication::activeModalWidget();
    auto* dialog = qobject_cast<T*>(top);
    if (dialog == nullptr || !dialog->isVisible()) {
      if (++*ticks > 500) timer->deleteLater();
      return;
    }
    timer->stop();
    timer->deleteLater();
    answer(*dialog);
  });
  timer->start();
}

}  // namespace quorvel::testing
