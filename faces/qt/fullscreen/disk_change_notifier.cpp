#include "faces/qt/fullscreen/disk_change_notifier.h"

#include "faces/qt/fullscreen/event_source_notifier.h"

namespace quorvel {

DiskChangeNotifier::DiskChangeNotifier(DiskEvents& events, QObject* parent)
    : QObject(parent),
      events_(events),
      sources_(std::make_unique<EventSourceNotifier>(events_.Sources())) {
  connect(sources_.get(), &EventSourceNotifier::ready, this, [this](std::intptr_t source) {
    ++wakeUps_;
    if (events_.Drain(source)) emit diskChanged();
  });
}

DiskChangeNotifier::~DiskChangeNotifier() = default;

}  // namespace quorvel
