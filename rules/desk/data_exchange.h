#pragma once
// Binds controls, found by their template ids, to a window's fields. One pass either
// shows the fields in the controls or reads the controls back into the fields. A read
// that meets a text that is not valid refuses it with a message, puts the focus on that
// control, and stops: later bindings of the same pass are skipped, the fields read so
// far keep their new values.
//
// The members below are the common kinds of binding; a window with a control of its own
// kind binds it in its own exchange step, over Controls() and Refuse.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/user_messages.h"
#include "rules/desk/control_values.h"

namespace quorvel::desk {

class DataExchange {
 public:
  enum class Direction { ShowValues, ReadControls };

  DataExchange(ControlValues& controls, Direction direction, UserMessages& messages)
      : controls_(controls), direction_(direction), messages_(messages) {}

  bool reading() const { return direction_ == Direction::ReadControls; }
  // False once a read was refused.
  bool ok() const { return ok_; }

  // Check box: checked is 1, cleared is 0; any value but 0 shows as checked.
  DataExchange& CheckBox(int id, std::int32_t& field);
  // Drop-down list: the index of the selected item, -1 when none.
  DataExchange& DropDownList(int id, std::int32_t& field);
  // Edit: its text. A text the user left as it was shown keeps its bytes.
  DataExchange& Text(int id, std::string& field);
  // Edit holding a whole number of 0 or more; blanks around it are allowed, a sign is
  // not.
  DataExchange& Unsigned(int id, std::uint32_t& field);

  // The controls; null once a read was refused, so that the pass stops.
  ControlValues* Controls() const { return ok_ ? &controls_ : nullptr; }
  // Refuses the text of control `id`: shows `message`, puts the focus on the control
  // and stops the pass.
  void Refuse(int id, std::string_view message);

 private:
  ControlValues& controls_;
  Direction direction_;
  UserMessages& messages_;
  bool ok_ = true;
};

}  // namespace quorvel::desk
