#pragma once
// The program's icon in the tray: tip "Quorvel", menu 131 with "&Open Quorvel" as its
// bold default item, a click that brings the full-screen window back.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include "resources/string_table.h"

namespace quorvel {

class CTrayIcon final : public QObject {
  Q_OBJECT

 public:
  explicit CTrayIcon(QObject* parent = nullptr);

  // Adds the icon; false, with nothing added, when no tray host can take it.
  bool AddTrayIcon();
  // Removes the icon; harmless when it is not there.
  void RemoveTrayIcon();
  bool IsShown() const { return icon_.isVisible(); }
  QMenu& Menu() { return menu_; }
  QSystemTrayIcon& Icon() { return icon_; }

 signals:
  // An item of the menu was chosen: what it does.
  void Command(res::TrayCommand command);
  // The icon was clicked or double-clicked with the left button: an XEmbed tray reports
  // a click, then a double click; a D-Bus status icon host only ever reports a click.
  void Clicked();

 private:
  const res::MenuTemplate* template_;  // null: no menu
  QMenu menu_;
  QSystemTrayIcon icon_;
};

}  // namespace quorvel
