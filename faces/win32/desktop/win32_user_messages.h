#pragma once
// The program's message boxes: the user messages of the Win32 face.

#include "faces/win32/resources/windows_api.h"
#include "platform/user_messages.h"

namespace quorvel::win32 {

class Win32UserMessages final : public UserMessages {
 public:
  // The window the boxes are modal to (null: none).
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  MessageAnswer Show(std::string_view text, std::string_view caption, MessageButtons buttons,
                     MessageIcon icon) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace quorvel::win32
