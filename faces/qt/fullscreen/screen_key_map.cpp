#include "faces/qt/fullscreen/screen_key_map.h"

#include <Qt>
#include <algorithm>
#include <array>

namespace quorvel {
namespace {

struct QtKey {
  int qt;
  screen::Key key;
};

// Remote controls arrive through the kernel's input layer as media keys: KEY_PLAY and
// KEY_PLAYPAUSE as XF86AudioPlay (Qt::Key_MediaPlay), KEY_STOPCD as XF86AudioStop,
// KEY_EJECTCD as XF86Eject, KEY_MENU and the keyboard's menu key as Menu, KEY_BACK as
// XF86Back. Qt::Key_MediaTogglePlayPause and Qt::Key_Play come from other platforms and
// keyboards.
constexpr std::array<QtKey, 18> kQtKeys = {{
    {Qt::Key_E, screen::Key::E},
    {Qt::Key_L, screen::Key::L},
    {Qt::Key_O, screen::Key::O},
    {Qt::Key_P, screen::Key::P},
    {Qt::Key_Q, screen::Key::Q},
    {Qt::Key_X, screen::Key::X},
    {Qt::Key_Left, screen::Key::Left},
    {Qt::Key_Right, screen::Key::Right},
    {Qt::Key_Return, screen::Key::Enter},
    {Qt::Key_Enter, screen::Key::Enter},
    {Qt::Key_Escape, screen::Key::Escape},
    {Qt::Key_MediaPlay, screen::Key::MediaPlay},
    {Qt::Key_Play, screen::Key::MediaPlay},
    {Qt::Key_MediaTogglePlayPause, screen::Key::MediaPlayPause},
    {Qt::Key_MediaStop, screen::Key::MediaStop},
    {Qt::Key_Eject, screen::Key::Eject},
    {Qt::Key_Menu, screen::Key::Menu},
    {Qt::Key_Back, screen::Key::Back},
}};

}  // namespace

screen::Key ScreenKeyFromQt(int qtKey) {
  const auto* found = std::find_if(kQtKeys.begin(), kQtKeys.end(),
                                   [qtKey](const QtKey& entry) { return entry.qt == qtKey; });
  return found == kQtKeys.end() ? screen::Key::Other : found->key;
}

}  // namespace quorvel
