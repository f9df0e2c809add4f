#pragma once
// User messages as Qt message boxes, modal to an owner window.

#include <QPointer>
#include <QWidget>

#include "platform/user_messages.h"

namespace quorvel {

class QtUserMessages final : public UserMessages {
 public:
  explicit QtUserMessages(QWidget* owner = nullptr) : owner_(owner) {}

  void SetOwner(QWidget* owner) { owner_ = owner; }

  MessageAnswer Show(std::string_view text, std::string_view caption = {},
                     MessageButtons buttons = MessageButtons::Ok,
                     MessageIcon icon = MessageIcon::None) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace quorvel
