#include "faces/qt/resources/app_icon.h"

#include <QString>

// The icon's pictures are compiled into this static library; registering them here makes
// sure the linker keeps them.
static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace quorvel {

QIcon AppIcon() {
  static const bool initialized = (InitIconResources(), true);
  (void)initialized;
  QIcon icon;
  for (const char* size : {"16", "32", "256"}) {
    icon.addFile(QStringLiteral(":/quorvel/icon/quorvel-%1.png").arg(QLatin1String(size)));
  }
  return icon;
}

}  // namespace quorvel
