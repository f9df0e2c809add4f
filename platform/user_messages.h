#pragma once
// How the program tells the user something: a message box in the GUI, stderr in
// quorvelctl, a recorder in tests.

#include <string>
#include <string_view>

namespace quorvel {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class UserMessages {
 public:
  virtual ~UserMessages() = default;

  // Shows `text` (bytes in the ANSI code page) with `caption` as the title (empty: the
  // program's name) and waits for the answer. A service that cannot ask answers Ok for
  // Ok boxes and Cancel (or No, when there is no Cancel) for questions.
  virtual MessageAnswer Show(std::string_view text, std::string_view caption = {},
                             MessageButtons buttons = MessageButtons::Ok,
                             MessageIcon icon = MessageIcon::None) = 0;
};

}  // namespace quorvel
