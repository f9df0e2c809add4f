#pragma once
// Tells the repeated presses of a held key (a remote's button held down) from new ones,
// whatever way the window system delivers them. X11 repeats a held key as a release and
// a press with the same timestamp; the toolkit marks such a press as a repeat only when
// the press has already arrived as it looks at the release, which a busy window (one that
// just started a player) often misses. A release and a press of one key at the same
// moment are a repeat: no finger lets go and presses again within the same millisecond.

#include <QKeyEvent>
#include <QObject>

namespace quorvel {

class KeyRepeats final : public QObject {
 public:
  // Watches the key events of `widget` (and gives them on unchanged).
  void Watch(QObject& widget) { widget.installEventFilter(this); }

  // Whether the last key press seen was a repeat of a held key.
  bool LastPressRepeated() const { return lastPressRepeated_; }

  // For the tests: the verdict for one press or release, as the filter takes it.
  bool Press(int key, quint64 timestamp, bool markedRepeat);
  void Release(int key, quint64 timestamp);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Seen {
    int key = 0;
    quint64 timestamp = 0;
    bool operator==(const Seen&) const = default;
  };
  Seen lastPress_;
  Seen lastRelease_;
  bool lastPressRepeated_ = false;
};

}  // namespace quorvel
