#include "faces/qt/fullscreen/key_repeats.h"

namespace quorvel {

bool KeyRepeats::Press(int key, quint64 timestamp, bool markedRepeat) {
  const Seen press{key, timestamp};
  // One press passes a list and then its window: the same event gets the same answer.
  if (timestamp != 0 && press == lastPress_) return lastPressRepeated_;
  lastPress_ = press;
  // Events made without a time (by a test, say) are only what they say they are.
  lastPressRepeated_ = markedRepeat || (timestamp != 0 && press == lastRelease_);
  return lastPressRepeated_;
}

void KeyRepeats::Release(int key, quint64 timestamp) { lastRelease_ = {key, timestamp}; }

bool KeyRepeats::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    Press(key->key(), key->timestamp(), key->isAutoRepeat());
  } else if (event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    Release(key->key(), key->timestamp());
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quorvel
