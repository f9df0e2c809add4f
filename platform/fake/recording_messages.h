#pragma once
// Records every message instead of showing it, and answers with a preset answer.

#include <string>
#include <vector>

#include "platform/user_messages.h"

namespace quorvel {

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
};

class RecordingMessages final : public UserMessages {
 public:
  MessageAnswer Show(std::string_view text, std::string_view caption, MessageButtons buttons,
                     MessageIcon icon) override {
    messages.push_back({std::string(text), std::string(caption), buttons, icon});
    return answer;
  }

  std::vector<RecordedMessage> messages;
  MessageAnswer answer = MessageAnswer::Ok;
};

}  // namespace quorvel
