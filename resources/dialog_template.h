#pragma once
// Dialog templates as data: a dialog's caption, size, font and style, and its controls in
// template (and tab) order, each with its id, kind, rectangle in dialog units, text and
// style. The builder (dialog_builder.h) turns one into widgets. No Qt here.

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvel::res {

// A rectangle in dialog units: x and width in quarters of the font's average character
// width, y and height in eighths of its height.
struct DuRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind {
  Label,     // static text
  Icon,      // static picture showing the program's icon
  GroupBox,  // frame with a title; it does not own the controls drawn inside it
  PushButton,
  DefPushButton,  // the button that Enter presses
  CheckBox,
  RadioButton,
  Edit,
  DropDownList,  // combo box whose list cannot be edited; its height includes the list
  ListBox,
  ListView,  // report view: rows with columns
};

// Control styles; a control combines them.
enum ControlStyle : std::uint32_t {
  kTabStop = 1u << 0,
  kGroup = 1u << 1,  // starts a group of radio buttons (and of arrow-key moves)
  kDisabled = 1u << 2,
  kBorder = 1u << 3,
  kCenter = 1u << 4,  // text centred horizontally
  kCenterVertical = 1u << 5,
  kSorted = 1u << 6,     // list and drop-down list keep their items sorted
  kNumber = 1u << 7,     // edit takes digits only
  kNotify = 1u << 8,     // list reports selection changes
  kOwnerDraw = 1u << 9,  // list rows of variable height drawn by the owner
  kNoIntegralHeight = 1u << 10,
  kWantKeys = 1u << 11,  // list hands key presses to its owner
  kAutoHScroll = 1u << 12,
  kReportView = 1u << 13,
  kVerticalScroll = 1u << 14,
  kMultiline = 1u << 15,  // label text may wrap and holds line breaks
};

// Dialog styles.
enum DialogStyle : std::uint32_t {
  kPopup = 1u << 0,
  kChild = 1u << 1,  // a page inside another window
  kCaption = 1u << 2,
  kSystemMenu = 1u << 3,
  kMinimizeBox = 1u << 4,
  kModalFrame = 1u << 5,
  kAppWindow = 1u << 6,  // has its own entry in the taskbar
  kNoBorder = 1u << 7,
  kHidden = 1u << 8,  // not visible when created
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  DuRect rect;
  std::string_view text;
  std::uint32_t style;
};

struct DialogTemplate {
  int id;
  std::string_view caption;
  DuRect rect;  // x and y place a dialog on screen; width and height are its client size
  std::string_view fontName;
  int fontPointSize;
  std::uint32_t style;
  std::span<const ControlTemplate> controls;

  // The first control with `controlId`, or null.
  const ControlTemplate* FindControl(int controlId) const;
};

// The template with `id`, or null when the program has none.
const DialogTemplate* FindDialogTemplate(int id);

// Every template the program has, in id order.
std::span<const DialogTemplate* const> AllDialogTemplates();

}  // namespace quorvel::res
