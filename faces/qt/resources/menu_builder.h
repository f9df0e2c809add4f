#pragma once
// Turns a menu template into a QMenu: one action per item, carrying its command id as
// its data, the default item as the menu's default action (drawn bold).

#include <QAction>
#include <QMenu>

#include "resources/string_table.h"

namespace quorvel {

// Adds the items of `menu` to `target`.
void BuildMenu(QMenu& target, const res::MenuTemplate& menu);

// The command id an action was built with, or 0.
int MenuCommand(const QAction& action);

}  // namespace quorvel
