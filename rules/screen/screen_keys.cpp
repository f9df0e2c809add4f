#include "rules/screen/screen_keys.h"

#include <algorithm>

namespace quorvel::screen {

std::optional<Key> ActsAs(Key key) {
  const auto* remote = std::find_if(kRemoteKeys.begin(), kRemoteKeys.end(),
                                    [key](const RemoteKey& entry) { return entry.key == key; });
  if (remote == kRemoteKeys.end()) return key;
  return remote->actsAs;
}

KeyAction ActionOf(Key key, bool repeated) {
  const std::optional<Key> meant = ActsAs(key);
  if (!meant) return KeyAction::Nothing;
  const auto* entry = std::find_if(kScreenKeys.begin(), kScreenKeys.end(),
                                   [&meant](const KeyMeaning& e) { return e.key == *meant; });
  if (entry == kScreenKeys.end()) return KeyAction::ListDefault;
  return repeated && entry->repeat == Repeat::Ignored ? KeyAction::Nothing : entry->action;
}

KeyOutcome OutcomeOf(KeyAction action) {
  switch (action) {
    case KeyAction::ListDefault:
      return KeyOutcome::ListDefault;
    case KeyAction::FocusNext:
      return KeyOutcome::FocusNext;
    case KeyAction::FocusPrevious:
      return KeyOutcome::FocusPrevious;
    case KeyAction::Eject:
    case KeyAction::Load:
    case KeyAction::Options:
    case KeyAction::Play:
    case KeyAction::Off:
    case KeyAction::Ok:
    case KeyAction::Cancel:
    case KeyAction::Nothing:
      break;
  }
  return KeyOutcome::Handled;
}

}  // namespace quorvel::screen
