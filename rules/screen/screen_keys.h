#pragma once
// What a key press does on the full-screen window: the letter keys of the window, the
// keys the lists and the dialog handle themselves, and the keys of remote controls and
// media keyboards, which act as one of the window's keys. The view turns its toolkit's
// key codes into `Key` and carries out the action; no toolkit here.

#include <array>
#include <optional>

namespace quorvel::screen {

enum class Key {
  Other,  // any key without a meaning of its own here: the list box handles it
  E,
  L,
  O,
  P,
  Q,
  X,
  Left,
  Right,
  Enter,
  Escape,
  // Keys that infrared and CEC remotes and media keyboards deliver.
  MediaPlay,
  MediaPlayPause,
  MediaStop,
  Eject,
  Menu,
  Back,
};

enum class KeyAction {
  ListDefault,    // the list box's own handling: arrows, Page Up/Down, Home, End
  Eject,          // eject the media of the disk path
  Load,           // load the media, closing the tray
  Options,        // the Options command
  Play,           // the Play command, whatever the choice list shows
  Off,            // the Off command
  Ok,             // the dialog's OK: activates the list that has the focus
  Cancel,         // the dialog's Cancel: hides the window
  FocusNext,      // the list moves the focus to the next control in tab order
  FocusPrevious,  // ... and to the previous one
  Nothing,        // swallowed
};

struct KeyMeaning {
  Key key;
  KeyAction action;
};

// The window's own keys.
inline constexpr std::array<KeyMeaning, 10> kScreenKeys = {{
    {Key::E, KeyAction::Eject},
    {Key::L, KeyAction::Load},
    {Key::O, KeyAction::Options},
    {Key::P, KeyAction::Play},
    {Key::Q, KeyAction::Off},
    {Key::X, KeyAction::Off},
    {Key::Enter, KeyAction::Ok},
    {Key::Escape, KeyAction::Cancel},
    {Key::Left, KeyAction::FocusNext},
    {Key::Right, KeyAction::FocusPrevious},
}};

struct RemoteKey {
  Key key;
  std::optional<Key> actsAs;  // none: the key does nothing
};

// Remote-control and media keys, and the window key each acts as.
inline constexpr std::array<RemoteKey, 6> kRemoteKeys = {{
    {Key::MediaPlay, Key::P},
    {Key::MediaPlayPause, Key::P},
    {Key::Eject, Key::E},
    {Key::Menu, Key::O},
    {Key::Back, Key::Escape},
    {Key::MediaStop, std::nullopt},
}};

// The key a remote-control or media key acts as; any other key is itself. None for a
// remote key that does nothing.
std::optional<Key> ActsAs(Key key);

// What `key` does, remote keys included.
KeyAction ActionOf(Key key);

// The answers to a list's key-to-item request.
inline constexpr int kKeyToItemDefault = -1;  // the list handles the key itself
inline constexpr int kKeyToItemHandled = -2;  // the window handled it; the list does nothing

// The answer to a key-to-item request for a key whose action is `action`: the window's
// commands and swallowed keys are handled, everything else is the list's.
int KeyToItemAnswer(KeyAction action);

}  // namespace quorvel::screen
