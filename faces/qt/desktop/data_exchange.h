#pragma once
// Binds controls, found by their template ids, to a window's member fields. One pass
// either shows the fields in the controls or reads the controls back into the fields.
// A read that meets a control whose text is not valid refuses it with a message, puts
// the focus back on that control, and stops: later bindings of the same pass are
// skipped, the fields read so far keep their new values.
//
// The members below are the common kinds of binding; a window with a control of its own
// kind writes a function over Control, reading() and Refuse (see field_binding.h).

#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/user_messages.h"

namespace quorvel {

class DataExchange {
 public:
  enum class Direction { ShowValues, ReadControls };

  DataExchange(QWidget& window, Direction direction, UserMessages& messages)
      : window_(window), direction_(direction), messages_(messages) {}

  bool reading() const { return direction_ == Direction::ReadControls; }
  // False once a read was refused.
  bool ok() const { return ok_; }

  // Check box: checked is 1, cleared is 0.
  DataExchange& CheckBox(int id, std::int32_t& field);
  // Drop-down list: the index of the selected item, -1 when none.
  DataExchange& DropDownList(int id, std::int32_t& field);
  // Edit: its text.
  DataExchange& Text(int id, std::string& field);
  // Edit holding a whole number of 0 or more; blanks around it are allowed, a sign is
  // not.
  DataExchange& Unsigned(int id, std::uint32_t& field);

  // The control with `id`; null once a read was refused, so that the pass stops.
  QWidget* Control(int id) const;
  // Refuses the text of `control`: shows `message`, puts the focus on the control and
  // stops the pass.
  void Refuse(QWidget& control, std::string_view message);

 private:
  QWidget& window_;
  Direction direction_;
  UserMessages& messages_;
  bool ok_ = true;
};

}  // namespace quorvel
