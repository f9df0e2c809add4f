#include "faces/qt/fullscreen/tray_host_watcher.h"

#include <QTimer>
#include <algorithm>
#include <vector>

#include "faces/qt/fullscreen/event_source_notifier.h"

namespace quorvel {

TrayHostWatcher::TrayHostWatcher(TrayHostEvents& events, QObject* parent)
    : QObject(parent), events_(events) {
  QTimer::singleShot(0, this, &TrayHostWatcher::Start);
}

TrayHostWatcher::~TrayHostWatcher() = default;

void TrayHostWatcher::Start() {
  notifier_ = std::make_unique<EventSourceNotifier>(events_.Sources());
  connect(notifier_.get(), &EventSourceNotifier::ready, this, [this](std::intptr_t source) {
    const bool appeared = events_.Drain(source);
    // A source the service gave up (its display or bus went away) is watched no more.
    const std::vector<EventSource> still = events_.Sources();
    if (std::none_of(still.begin(), still.end(),
                     [source](const EventSource& s) { return s.handle == source; })) {
      notifier_->Forget(source);
    }
    if (appeared) emit TrayHostAppeared();
  });
}

std::size_t TrayHostWatcher::WatchedSources() const {
  return notifier_ != nullptr ? notifier_->Count() : 0;
}

}  // namespace quorvel
