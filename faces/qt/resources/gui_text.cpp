#include "faces/qt/resources/gui_text.h"

#include "windows_rules/text_encoding.h"

namespace quorvel {

// The core's one rule for showing stored bytes decides; Qt only takes the UTF-8 result.
QString ToQString(std::string_view bytes) {
  const std::string utf8 = ToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace quorvel
