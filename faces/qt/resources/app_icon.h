#pragma once
// Icon 128, the program's icon, at every size it is drawn in.

#include <QIcon>

namespace quorvel {

QIcon AppIcon();

}  // namespace quorvel
