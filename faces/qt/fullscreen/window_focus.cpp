#include "faces/qt/fullscreen/window_focus.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>

#if defined(Q_OS_LINUX)
#include <QtGui/qguiapplication_platform.h>
#endif

#include "platform/window_focus.h"

namespace quorvel {

void FocusTopLevelWindow(QWidget& window, WindowFocus* focus) {
#if defined(Q_OS_LINUX)
  if (focus == nullptr || QGuiApplication::platformName() != QLatin1String("xcb") ||
      !window.isVisible()) {
    return;
  }
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  focus->FocusTopLevelWindow(static_cast<std::uintptr_t>(window.winId()), x11->connection());
#else
  (void)window;
  (void)focus;
#endif
}

}  // namespace quorvel
