#pragma once
// The controls of a window built from a template, as the desk rules read and write them:
// check boxes and radio buttons, edits, drop-down lists and list boxes, found by their
// template ids below a root widget. Texts cross the edge as the core's bytes
// (gui_text.h).

#include <QWidget>

#include "rules/desk/control_values.h"

namespace quorvel {

class QtControlValues final : public desk::ControlValues {
 public:
  explicit QtControlValues(QWidget& root) : root_(root) {}

  bool Checked(int id) const override;
  void SetChecked(int id, bool checked) override;
  std::string Text(int id) const override;
  bool ShowsText(int id, std::string_view text) const override;
  void SetText(int id, std::string_view text) override;
  int ListIndex(int id) const override;
  void SetListIndex(int id, int index) override;
  void SetListItems(int id, const std::vector<std::string>& items) override;
  void InsertListItem(int id, int index, std::string_view text) override;
  void RemoveListItem(int id, int index) override;
  void EnableControl(int id, bool enabled) override;
  void FocusRefused(int id) override;

 private:
  // The control with `id` as a T; null (and an assertion in debug builds) when the
  // template has no such control: a binding to it is a programming fault, and skipping
  // it keeps the field as it is.
  template <typename T>
  T* Control(int id) const;

  QWidget& root_;
};

}  // namespace quorvel
