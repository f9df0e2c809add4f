#pragma once
// What a key press does on the full-screen window: the letter keys of the window, the
// keys the lists and the dialog handle themselves, and the keys of remote controls and
// media keyboards, which act as one of the window's keys. A held key (a remote's button
// held down) repeats its press; the table says which keys act on a repeat. The view
// turns its toolkit's key codes into `Key`, with whether the press is a repeat, and
// hands it to the rules, which carry out the action and say what is left to the view
// (KeyOutcome); no toolkit here.

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

// What the repeated presses of a held key do.
enum class Repeat {
  Acts,     // each one acts again: moving through a list
  Ignored,  // only the first press acts: holding Play starts one player
};

struct KeyMeaning {
  Key key;
  KeyAction action;
  Repeat repeat;
};

// The window's own keys. Keys not listed (arrows, Page Up/Down, Home, End) are the
// list's, and act on every repeat.
inline constexpr std::array<KeyMeaning, 10> kScreenKeys = {{
    {Key::E, KeyAction::Eject, Repeat::Ignored},
    {Key::L, KeyAction::Load, Repeat::Ignored},
    {Key::O, KeyAction::Options, Repeat::Ignored},
    {Key::P, KeyAction::Play, Repeat::Ignored},
    {Key::Q, KeyAction::Off, Repeat::Ignored},
    {Key::X, KeyAction::Off, Repeat::Ignored},
    {Key::Enter, KeyAction::Ok, Repeat::Ignored},
    {Key::Escape, KeyAction::Cancel, Repeat::Ignored},
    {Key::Left, KeyAction::FocusNext, Repeat::Acts},
    {Key::Right, KeyAction::FocusPrevious, Repeat::Acts},
}};

struct RemoteKey {
  Key key;
  std::optional<Key> actsAs;  // none: the key does nothing
};

// Remote-control and media keys, and the window key each acts as (repeats included).
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

// What `key` does, remote keys included; `repeated`: the press is a repeat of a held key
// (Nothing for a key whose repeats are ignored).
KeyAction ActionOf(Key key, bool repeated = false);

// What is left to the view of a key once the rules had it.
enum class KeyOutcome {
  Handled,        // the rules acted on it, or swallowed it: the view does nothing more
  ListDefault,    // the view's usual handling: the list's arrows, Page Up/Down, Home, End
  FocusNext,      // the view moves the focus to the next control in tab order
  FocusPrevious,  // ... and to the previous one
};

// What is left to the view of a key whose action is `action`, once the rules carried out
// the window's commands, OK and Cancel.
KeyOutcome OutcomeOf(KeyAction action);

}  // namespace quorvel::screen
