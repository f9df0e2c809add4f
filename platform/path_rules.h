#pragma once
// The path rules every disk operation shares, written once for both separators.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The separator of the platform's own paths ('\\' on Windows, '/' on Linux); the
// backend defines it.
char NativeSeparator();

// Joins `folder` and `name` with exactly one `separator` between them: trailing white
// space of `folder` is dropped, then its trailing separators, then one separator is
// appended and `name` follows without its leading separators. Nothing else is touched:
// "." and ".." stay as they are.
//   JoinPath("D:\\", "mdvd.mvd", '\\') == "D:\\mdvd.mvd"
//   JoinPath("", "film.avi", '\\') == "\\film.avi"
std::string JoinPath(std::string_view folder, std::string_view name, char separator);

// JoinPath with NativeSeparator().
std::string JoinNativePath(std::string_view folder, std::string_view name);

// `path` as an absolute path of the platform: unchanged when it is absolute already,
// else the current folder, a separator and `path` (nothing in `path` is touched: "."
// and ".." stay, and the file system resolves them as it would have for the relative
// path). "" stays "". nullopt when the current folder cannot be learned. The backend
// defines it.
std::optional<std::string> AbsoluteNativePath(std::string_view path);

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
