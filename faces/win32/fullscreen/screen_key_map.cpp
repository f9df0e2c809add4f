#include "faces/win32/fullscreen/screen_key_map.h"

#include <array>
#include <utility>

namespace quorvel::win32 {
namespace {

using screen::Key;

constexpr std::array<std::pair<WPARAM, Key>, 15> kVirtualKeys = {{
    {'E', Key::E},
    {'L', Key::L},
    {'O', Key::O},
    {'P', Key::P},
    {'Q', Key::Q},
    {'X', Key::X},
    {VK_LEFT, Key::Left},
    {VK_RIGHT, Key::Right},
    {VK_RETURN, Key::Enter},
    {VK_ESCAPE, Key::Escape},
    {VK_PLAY, Key::MediaPlay},
    {VK_MEDIA_PLAY_PAUSE, Key::MediaPlayPause},
    {VK_MEDIA_STOP, Key::MediaStop},
    {VK_APPS, Key::Menu},
    {VK_BROWSER_BACK, Key::Back},
}};

constexpr std::array<std::pair<int, Key>, 4> kAppCommands = {{
    {APPCOMMAND_MEDIA_PLAY, Key::MediaPlay},
    {APPCOMMAND_MEDIA_PLAY_PAUSE, Key::MediaPlayPause},
    {APPCOMMAND_MEDIA_STOP, Key::MediaStop},
    {APPCOMMAND_BROWSER_BACKWARD, Key::Back},
}};

}  // namespace

Key ScreenKeyFromVirtualKey(WPARAM vk) {
  for (const auto& [code, key] : kVirtualKeys) {
    if (code == vk) return key;
  }
  return Key::Other;
}

std::optional<Key> ScreenKeyFromAppCommand(int command) {
  for (const auto& [code, key] : kAppCommands) {
    if (code == command) return key;
  }
  return std::nullopt;
}

bool AppCommandFromKey(LPARAM lParam) { return GET_DEVICE_LPARAM(lParam) == FAPPCOMMAND_KEY; }

}  // namespace quorvel::win32
