#pragma once
// The Linux form of the taskbar's "TaskbarCreated" message: a tray host that appears,
// for instance after the desktop's panel was restarted. Every icon was lost with the old
// host, so the window may have to put its icon back.

#include <QObject>
#include <memory>

class QDBusServiceWatcher;
class QSocketNotifier;

namespace quorvel {

class TrayHostWatcher final : public QObject {
  Q_OBJECT

 public:
  // Watches both kinds of tray host: a new owner of the X tray selection
  // _NET_SYSTEM_TRAY_S<screen> (XEmbed trays, announced by the MANAGER message on the
  // root window; only on the xcb platform) and a new StatusNotifierWatcher on the
  // session bus (desktops with D-Bus status icons; watched from the first turn of the
  // event loop on). Watches nothing where neither exists.
  explicit TrayHostWatcher(QObject* parent = nullptr);
  ~TrayHostWatcher() override;

  // Whether an X tray selection is watched.
  bool WatchesXEmbed() const { return connection_ != nullptr; }

 signals:
  void TrayHostAppeared();

 private:
  static bool SessionBusKnown();
  void WatchXEmbed();
  void WatchBus();
  void ReadXEvents();

  struct XConnection;
  std::unique_ptr<XConnection> connection_;
  QSocketNotifier* notifier_ = nullptr;
  QDBusServiceWatcher* busWatcher_ = nullptr;
};

}  // namespace quorvel
