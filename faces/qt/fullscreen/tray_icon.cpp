#include "faces/qt/fullscreen/tray_icon.h"

#include "faces/qt/resources/app_icon.h"
#include "faces/qt/resources/gui_text.h"
#include "faces/qt/resources/menu_builder.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

CTrayIcon::CTrayIcon(QObject* parent)
    : QObject(parent), template_(res::FindMenuTemplate(res::kTrayMenu)) {
  if (template_ != nullptr) BuildMenu(menu_, *template_);
  icon_.setIcon(AppIcon());
  icon_.setToolTip(ToQString(res::LoadString(res::kStrProgramName)));
  // A right click (or the context-menu key) opens the menu at the pointer.
  icon_.setContextMenu(&menu_);
  // The chosen item says what it does.
  connect(&menu_, &QMenu::triggered, this, [this](QAction* action) {
    const res::MenuItem* item =
        template_ != nullptr ? res::FindMenuItem(*template_, MenuCommand(*action)) : nullptr;
    if (item != nullptr && item->action) emit Command(*item->action);
  });
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) emit Clicked();
  });
}

bool CTrayIcon::AddTrayIcon() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  icon_.show();
  return true;
}

void CTrayIcon::RemoveTrayIcon() { icon_.hide(); }

}  // namespace quorvel
