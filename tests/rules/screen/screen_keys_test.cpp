#include "rules/screen/screen_keys.h"

#include <gtest/gtest.h>

namespace quorvel::screen {
namespace {

struct KeyCase {
  Key key;
  KeyAction action;
  KeyOutcome outcome;  // what is left to the view
};

constexpr KeyOutcome kHandled = KeyOutcome::Handled;
constexpr KeyOutcome kDefault = KeyOutcome::ListDefault;

TEST(ScreenKeysTest, EveryKeyAndWhatItDoes) {
  const KeyCase cases[] = {
      // The window's letters: handled by the window, the list does nothing more.
      {Key::E, KeyAction::Eject, kHandled},
      {Key::L, KeyAction::Load, kHandled},
      {Key::O, KeyAction::Options, kHandled},
      {Key::P, KeyAction::Play, kHandled},
      {Key::Q, KeyAction::Off, kHandled},
      {Key::X, KeyAction::Off, kHandled},
      // Focus moves are the view's; OK and Cancel are carried out by the rules.
      {Key::Left, KeyAction::FocusNext, KeyOutcome::FocusNext},
      {Key::Right, KeyAction::FocusPrevious, KeyOutcome::FocusPrevious},
      {Key::Enter, KeyAction::Ok, kHandled},
      {Key::Escape, KeyAction::Cancel, kHandled},
      // Arrows, Page Up/Down, Home, End and every other key: the list box's own.
      {Key::Other, KeyAction::ListDefault, kDefault},
      // Remote controls and media keyboards: Play and Play/Pause as P, Eject as E, Menu as
      // O, Back as Escape; Stop does nothing and the list does not see it either.
      {Key::MediaPlay, KeyAction::Play, kHandled},
      {Key::MediaPlayPause, KeyAction::Play, kHandled},
      {Key::Eject, KeyAction::Eject, kHandled},
      {Key::Menu, KeyAction::Options, kHandled},
      {Key::Back, KeyAction::Cancel, kHandled},
      {Key::MediaStop, KeyAction::Nothing, kHandled},
  };
  int covered = 0;
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.key));
    EXPECT_EQ(ActionOf(c.key), c.action);
    EXPECT_EQ(OutcomeOf(ActionOf(c.key)), c.outcome);
    ++covered;
  }
  EXPECT_EQ(covered, static_cast<int>(Key::Back) + 1) << "a key without a case above";
}

TEST(ScreenKeysTest, AHeldKeyRepeatsOnlyWhereItMovesThroughAList) {
  // A remote's held button repeats its key: a repeat of a key that starts something
  // (a player, the options, the tray, Off, OK, Escape) does nothing, and the list does not
  // see it either; a repeated arrow or focus key moves on.
  for (Key key :
       {Key::E, Key::L, Key::O, Key::P, Key::Q, Key::X, Key::Enter, Key::Escape, Key::MediaPlay,
        Key::MediaPlayPause, Key::Eject, Key::Menu, Key::Back, Key::MediaStop}) {
    SCOPED_TRACE(static_cast<int>(key));
    EXPECT_EQ(ActionOf(key, true), KeyAction::Nothing);
    EXPECT_EQ(OutcomeOf(ActionOf(key, true)), kHandled);
  }
  for (Key key : {Key::Left, Key::Right, Key::Other}) {
    SCOPED_TRACE(static_cast<int>(key));
    EXPECT_EQ(ActionOf(key, true), ActionOf(key));
  }
}

TEST(ScreenKeysTest, RemoteKeysActAsWindowKeysAndNoOtherKeyIsRemapped) {
  EXPECT_EQ(ActsAs(Key::MediaPlay), Key::P);
  EXPECT_EQ(ActsAs(Key::Back), Key::Escape);
  EXPECT_EQ(ActsAs(Key::MediaStop), std::nullopt);
  for (const KeyMeaning& own : kScreenKeys) EXPECT_EQ(ActsAs(own.key), own.key);
  // A remote key never acts as another remote key, so one look-up is enough.
  for (const RemoteKey& remote : kRemoteKeys) {
    if (!remote.actsAs) continue;
    EXPECT_EQ(ActsAs(*remote.actsAs), remote.actsAs);
  }
}

}  // namespace
}  // namespace quorvel::screen
