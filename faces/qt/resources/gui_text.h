#pragma once
// The edge between the core's byte texts and Qt's strings.

#include <QString>
#include <string>
#include <string_view>

namespace quorvel {

// Valid UTF-8 is read as UTF-8; anything else as Windows-1252, the code page that the
// stored texts and the files on movie disks were written in.
QString ToQString(std::string_view bytes);

// The bytes the core stores for a text typed in the GUI: UTF-8.
std::string FromQString(const QString& text);

}  // namespace quorvel
