#pragma once
// The REGEDIT4 text form of a registry tree, as the Windows registry editor exports it:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Ostrell\Quorvel]
//   "FullScreen"=dword:00000001
//   "DivX Player"="BSPlayer"
//   "LabelFont"=hex:14,00,00,00,...   (long hex data goes on over several lines,
//                                      each but the last ending in a backslash)
//   @="default value"
//   "Other"=hex(2):41,00
//
// Texts and names are bytes in the ANSI code page, with `\` and `"` escaped by `\`;
// any other byte is taken as it is, so bytes above 127 round-trip unchanged.
//
// The reader also takes the form today's registry editor exports by default: the first
// line "Windows Registry Editor Version 5.00", the file in UTF-16LE with a byte-order
// mark (or in UTF-8, with or without one), and the data of hex(1), hex(2) and hex(7)
// values (texts, expandable texts, lists of texts) in UTF-16LE. Its texts are held as
// Windows-1252 bytes, as Windows hands them to a program that reads texts in that code
// page; a character without a Windows-1252 byte makes the file unreadable. The writer
// always writes REGEDIT4.
//
// The store writes a marker comment on the second line and ends the file with the
// comment line "; end". A file that carries the marker must end with that line, so a
// store file cut short anywhere is recognised as damaged. A file without the marker
// (one exported on Windows) must end with a line end and hold at least one key.

#include <cstddef>
#include <string>
#include <string_view>

#include "registry_store/key_tree.h"

namespace quorvel {

// The longest line the store writes or reads, and the largest store file it reads.
inline constexpr std::size_t kMaxRegistryLineLength = 64 * 1024;
inline constexpr std::size_t kMaxRegistryFileSize = 64 * 1024 * 1024;

struct RegeditParseResult {
  bool ok = false;
  std::size_t line = 0;  // 1-based line of the first fault
  std::string reason;    // what is wrong there, for the user
};

// Reads `text` into `tree`, which should be empty. On failure `tree` holds what was
// read before the fault; the caller decides whether to use it.
RegeditParseResult ParseRegeditFile(std::string_view text, KeyTree& tree);

// The whole tree in the form above, with line ends "\n". Every key is written, also an
// empty one; a root only when it holds values.
std::string FormatRegeditFile(const KeyTree& tree);

}  // namespace quorvel
