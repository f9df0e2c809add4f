#include "faces/qt/resources/menu_builder.h"

#include "faces/qt/resources/gui_text.h"

namespace quorvel {

void BuildMenu(QMenu& target, const res::MenuTemplate& menu) {
  for (const res::MenuItem& item : menu.items) {
    if (item.command == 0) {
      target.addSeparator();
      continue;
    }
    QAction* action = target.addAction(ToQString(item.text));
    action->setData(item.command);
    if (item.isDefault) target.setDefaultAction(action);
  }
}

int MenuCommand(const QAction& action) { return action.data().toInt(); }

}  // namespace quorvel
