#pragma once
// Watches the disk-change event service in the GUI thread's event loop and says when a
// disk may have changed, so that a window reads its disk then and not only at its next
// poll. No thread and no timer: the loop wakes only when the service's descriptors do.

#include <QObject>
#include <memory>

#include "platform/disk_events.h"

namespace quorvel {

class EventSourceNotifier;

class DiskChangeNotifier final : public QObject {
  Q_OBJECT

 public:
  // `events` must outlive the notifier.
  explicit DiskChangeNotifier(DiskEvents& events, QObject* parent = nullptr);
  ~DiskChangeNotifier() override;

  // How many times the service woke the loop, relevant or not; for the idle checks.
  int WakeUps() const { return wakeUps_; }

 signals:
  // Events that may change what a disk path shows were taken; several taken at once
  // give one signal.
  void diskChanged();

 private:
  DiskEvents& events_;
  std::unique_ptr<EventSourceNotifier> sources_;
  int wakeUps_ = 0;
};

}  // namespace quorvel
