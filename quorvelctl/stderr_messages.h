#pragma once
// quorvelctl shows the user's messages on stderr, one per line; questions get their
// default answer, since nobody is there to answer them.

#include <cstdio>
#include <string>

#include "platform/user_messages.h"

namespace quorvelctl {

class StderrMessages final : public quorvel::UserMessages {
 public:
  quorvel::MessageAnswer Show(std::string_view text, std::string_view /*caption*/,
                              quorvel::MessageButtons buttons,
                              quorvel::MessageIcon /*icon*/) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    switch (buttons) {
      case quorvel::MessageButtons::Ok:
        return quorvel::MessageAnswer::Ok;
      case quorvel::MessageButtons::YesNo:
        return quorvel::MessageAnswer::No;
      case quorvel::MessageButtons::YesNoCancel:
        return quorvel::MessageAnswer::Cancel;
    }
    return quorvel::MessageAnswer::Ok;
  }
};

}  // namespace quorvelctl
