#pragma once
// One row of a page's binding table: {control id, settings field, kind}. The field lives
// in the page's working copy of the settings; the kind moves its value between the
// control and the field; the page's store step copies exactly the bound fields back into
// the settings, so two pages never overwrite each other's values.
//
// A field is anything that, called with a Settings record, gives the field:
//   &Settings::Shutdown                         a member
//   Member(&Settings::Theme, &Theme::LabelFg)   a member of a member
// A kind is anything callable as kind(DataExchange&, int controlId, Field&):
//   bind::CheckBox, bind::DropDownList, bind::Text, bind::Unsigned
//   bind::HandlersOnly   no value in the control: the page's handlers change the field
//                        (a colour chosen with a button, the list of players)
//   bind::ByPage         a control of the page's own kind (a list of player names): the
//                        page's exchange step moves the value, the table stores it
// A kind that does not fit its field's type does not compile.

#include <functional>
#include <span>

#include "app/settings.h"
#include "rules/desk/data_exchange.h"

namespace quorvel::desk {

class FieldBinding {
 public:
  template <typename Field, typename Kind>
  FieldBinding(int controlId, Field field, Kind kind)
      : controlId_(controlId),
        exchange_([field, kind](DataExchange& exchange, int id, Settings& values) {
          std::invoke(kind, exchange, id, std::invoke(field, values));
        }),
        store_([field](const Settings& from, Settings& to) {
          std::invoke(field, to) = std::invoke(field, from);
        }) {}

  int ControlId() const { return controlId_; }
  // Shows the field of `values` in the control, or reads the control into it.
  void Exchange(DataExchange& exchange, Settings& values) const {
    exchange_(exchange, controlId_, values);
  }
  // Copies the field from `from` into `to`.
  void Store(const Settings& from, Settings& to) const { store_(from, to); }

 private:
  int controlId_;
  std::function<void(DataExchange&, int, Settings&)> exchange_;
  std::function<void(const Settings&, Settings&)> store_;
};

using BindingTable = std::span<const FieldBinding>;

// A field of a member of the settings, such as one colour of the theme.
template <typename Outer, typename Inner, typename Value>
struct MemberOfMember {
  Outer Settings::*outer;
  Value Inner::*inner;

  Value& operator()(Settings& settings) const { return settings.*outer.*inner; }
  const Value& operator()(const Settings& settings) const { return settings.*outer.*inner; }
};

template <typename Outer, typename Inner, typename Value>
MemberOfMember<Outer, Inner, Value> Member(Outer Settings::*outer, Value Inner::*inner) {
  return {outer, inner};
}

namespace bind {

inline constexpr auto CheckBox = &DataExchange::CheckBox;
inline constexpr auto DropDownList = &DataExchange::DropDownList;
inline constexpr auto Text = &DataExchange::Text;
inline constexpr auto Unsigned = &DataExchange::Unsigned;

struct NoExchangeKind {
  template <typename Value>
  void operator()(DataExchange&, int, Value&) const {}
};
inline constexpr NoExchangeKind HandlersOnly{};
inline constexpr NoExchangeKind ByPage{};

}  // namespace bind

}  // namespace quorvel::desk
