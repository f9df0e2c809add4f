#pragma once
// How the rules of a desk window reach its controls: by template id, with the values the
// controls hold. A face implements this once over its own controls (widgets, dialog item
// handles); the rules walk their binding tables over it and change nothing else of a
// control than what is here.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel::desk {

class ControlValues {
 public:
  // Check boxes and radio buttons. Checking a radio button clears the others of its
  // group.
  virtual bool Checked(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;

  // Edits: the text as bytes, as the face stores what the user typed.
  virtual std::string Text(int id) const = 0;
  // Whether the edit still shows `text` as this face shows those bytes: a text the user
  // did not change keeps its stored bytes, whatever code page they were written in.
  virtual bool ShowsText(int id, std::string_view text) const = 0;
  // Shows `text`; a text longer than the edit shows its beginning.
  virtual void SetText(int id, std::string_view text) = 0;

  // Drop-down lists and list boxes: the selected item, -1 when none (a list box with
  // several selected items: the first of them).
  virtual int ListIndex(int id) const = 0;
  // Selects item `index` alone, scrolled into view; an index the list does not have
  // (-1 among them) selects nothing.
  virtual void SetListIndex(int id, int index) = 0;
  // Replaces every item of a list; which one is selected afterwards is left to the next
  // SetListIndex.
  virtual void SetListItems(int id, const std::vector<std::string>& items) = 0;
  // Inserts `text` as item `index` (the items from there on move down one place), or
  // removes item `index`.
  virtual void InsertListItem(int id, int index, std::string_view text) = 0;
  virtual void RemoveListItem(int id, int index) = 0;

  virtual void EnableControl(int id, bool enabled) = 0;

  // The text of the edit was refused and the user has been told why: the focus goes to
  // the edit, its text selected, so that the user can type it again.
  virtual void FocusRefused(int id) = 0;

 protected:
  ~ControlValues() = default;
};

}  // namespace quorvel::desk
