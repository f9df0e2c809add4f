#include "faces/qt/fullscreen/event_source_notifier.h"

#include <QSocketNotifier>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#endif
#include <algorithm>

namespace quorvel {

EventSourceNotifier::EventSourceNotifier(const std::vector<EventSource>& sources, QObject* parent)
    : QObject(parent) {
  for (const EventSource& source : sources) {
    const std::intptr_t handle = source.handle;
    std::unique_ptr<QObject> notifier;
    if (source.wait == EventSource::Wait::Signalled) {
#ifdef Q_OS_WIN
      auto watch = std::make_unique<QWinEventNotifier>(reinterpret_cast<HANDLE>(handle));
      connect(watch.get(), &QWinEventNotifier::activated, this,
              [this, handle] { emit ready(handle); });
      notifier = std::move(watch);
#else
      continue;  // no waitable handles here
#endif
    } else {
      // A kernel table that signals its changes as an exceptional condition is readable
      // all the time; watched for reading it would wake the loop without end.
      const QSocketNotifier::Type type = source.wait == EventSource::Wait::Priority
                                             ? QSocketNotifier::Exception
                                             : QSocketNotifier::Read;
      auto watch = std::make_unique<QSocketNotifier>(static_cast<qintptr>(handle), type);
      connect(watch.get(), &QSocketNotifier::activated, this,
              [this, handle] { emit ready(handle); });
      notifier = std::move(watch);
    }
    notifiers_.push_back({handle, std::move(notifier)});
  }
}

EventSourceNotifier::~EventSourceNotifier() = default;

void EventSourceNotifier::Forget(std::intptr_t source) {
  const auto found = std::find_if(notifiers_.begin(), notifiers_.end(),
                                  [source](const Watch& watch) { return watch.source == source; });
  if (found == notifiers_.end()) return;
  // Called from the notifier's own signal: it goes once that has returned.
  QObject* notifier = found->notifier.release();
  notifiers_.erase(found);
  if (auto* socket = qobject_cast<QSocketNotifier*>(notifier)) socket->setEnabled(false);
  notifier->deleteLater();
}

}  // namespace quorvel
