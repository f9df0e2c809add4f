#pragma once
// Watches the event sources of a platform service (platform/event_source.h) in the GUI
// thread's event loop: a notifier per source, and a signal with the source that became
// ready, for the service's Drain. No thread and no timer.

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/event_source.h"

namespace quorvel {

class EventSourceNotifier final : public QObject {
  Q_OBJECT

 public:
  explicit EventSourceNotifier(const std::vector<EventSource>& sources, QObject* parent = nullptr);
  ~EventSourceNotifier() override;

  // How many sources are watched.
  std::size_t Count() const { return notifiers_.size(); }
  // Stops watching `source`: it will never be ready again.
  void Forget(std::intptr_t source);

 signals:
  void ready(std::intptr_t source);

 private:
  struct Watch {
    std::intptr_t source;
    std::unique_ptr<QObject> notifier;
  };
  std::vector<Watch> notifiers_;
};

}  // namespace quorvel
