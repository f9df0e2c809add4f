#pragma once
// The path rules every disk operation shares, written once for both separators.
// The platform's own separator and current folder are in platform/native_path.h.

#include <string>
#include <string_view>

namespace quorvel {

// Joins `folder` and `name` with exactly one `separator` between them: trailing white
// space of `folder` is dropped, then its trailing separators, then one separator is
// appended and `name` follows without its leading separators. Nothing else is touched:
// "." and ".." stay as they are.
//   JoinPath("D:\\", "mdvd.mvd", '\\') == "D:\\mdvd.mvd"
//   JoinPath("", "film.avi", '\\') == "\\film.avi"
std::string JoinPath(std::string_view folder, std::string_view name, char separator);

// The volume root of a Windows path: "D:\\" for "D:\\films\\x" or "D:",
// "\\\\server\\share\\" for "\\\\server\\share" or "\\\\server\\share\\dir", and ""
// for anything else (a relative path, "\\\\srv"). Pure text rule; used by the Windows
// backend.
std::string DriveLetterVolumeRoot(std::string_view path);

// True for the characters that the white-space trim of JoinPath removes: blank, tab,
// line feed, vertical tab, form feed, carriage return.
bool IsBlankByte(char c);

// `text` without white space (IsBlankByte) at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace quorvel
