#pragma once
// Tray hosts that appear, watched in the GUI thread's event loop: the platform's
// TrayHostEvents (platform/tray_hosts.h, the Linux form of the taskbar's "TaskbarCreated"
// message) with a notifier per source. Every icon was lost with the old host, so the
// window may have to put its icon back.

#include <QObject>
#include <memory>

#include "platform/tray_hosts.h"

namespace quorvel {

class EventSourceNotifier;

class TrayHostWatcher final : public QObject {
  Q_OBJECT

 public:
  // `events` must outlive the watcher. It is asked for its sources on the event loop's
  // first turn: watching costs start-up time (connections of its own to the display and
  // the bus), and a host that comes before is found by the first icon added all the same.
  explicit TrayHostWatcher(TrayHostEvents& events, QObject* parent = nullptr);
  ~TrayHostWatcher() override;

  // How many sources are watched (from the event loop's first turn on).
  std::size_t WatchedSources() const;

 signals:
  void TrayHostAppeared();

 private:
  void Start();

  TrayHostEvents& events_;
  std::unique_ptr<EventSourceNotifier> notifier_;
};

}  // namespace quorvel
