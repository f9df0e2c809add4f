#include "faces/qt/fullscreen/disk_change_notifier.h"

namespace quorvel {

DiskChangeNotifier::DiskChangeNotifier(DiskEvents& events, QObject* parent)
    : QObject(parent), events_(events) {
  for (const DiskEventDescriptor& descriptor : events_.Descriptors()) {
    // A kernel table that signals its changes as an exceptional condition is readable
    // all the time; watched for reading it would wake the loop without end.
    const QSocketNotifier::Type type = descriptor.wait == DiskEventDescriptor::Wait::Priority
                                           ? QSocketNotifier::Exception
                                           : QSocketNotifier::Read;
    auto notifier = std::make_unique<QSocketNotifier>(descriptor.fd, type);
    connect(notifier.get(), &QSocketNotifier::activated, this, &DiskChangeNotifier::OnReady);
    notifiers_.push_back(std::move(notifier));
  }
}

void DiskChangeNotifier::OnReady(QSocketDescriptor socket) {
  ++wakeUps_;
  if (events_.Drain(static_cast<int>(socket))) emit diskChanged();
}

}  // namespace quorvel
