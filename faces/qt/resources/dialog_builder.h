#pragma once
// Turns a dialog template into widgets. Dialog units become pixels by the template
// font's average character width (x: quarters of it) and height (y: eighths of it);
// every control is tagged with its template id so that code and tests find it by id.

#include <QFont>
#include <QRect>
#include <QWidget>
#include <functional>

#include "resources/dialog_template.h"

namespace quorvel {

// The template font's size in pixels, the base of every dialog-unit conversion.
struct DialogBaseUnits {
  int charWidth = 0;   // average width of the letters A-Z and a-z, rounded
  int charHeight = 0;  // full line height
};

// The font a template names. When that face is not installed, the standard substitute
// for "MS Sans Serif" is tried, then the desktop's general font, at the same point size.
QFont DialogFont(const res::DialogTemplate& dialog);

DialogBaseUnits BaseUnitsOf(const QFont& font);

// A dialog-unit rectangle in pixels: each edge is converted and rounded on its own, so
// that controls that touch in dialog units touch in pixels too.
QRect MapDialogRect(const res::DuRect& rect, DialogBaseUnits units);

// Creates a widget for one control; returns null to let the builder create its standard
// widget. Windows with controls of their own kind (owner-drawn lists) pass one.
using ControlFactory = std::function<QWidget*(const res::ControlTemplate&, QWidget* parent)>;

// Builds the controls of `dialog` as children of `target`, in template order (which is
// also the tab order), gives `target` the template's font, caption and fixed client
// size, and returns the base units used.
DialogBaseUnits BuildDialog(QWidget& target, const res::DialogTemplate& dialog,
                            const ControlFactory& factory = {});

// The id a control was built with; res::kNoId for widgets the builder did not tag.
int ControlId(const QWidget& widget);

// The control with `id` among the descendants of `root`, or null.
QWidget* FindControl(const QWidget& root, int id);

template <typename T>
T* FindControlAs(const QWidget& root, int id) {
  return qobject_cast<T*>(FindControl(root, id));
}

}  // namespace quorvel
