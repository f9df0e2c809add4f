// Fuzzes the store file reader in both export forms: any input either fails cleanly or
// reads into a tree that the writer puts into a form the reader takes back to the same
// text. An input that starts with byte 1 is taken as Windows-1252 text and handed to
// the reader as a version-5 export in UTF-16LE with a byte-order mark (byte 2: in UTF-8
// with a byte-order mark), so that mutations of the text reach the version-5 reader as
// well-formed UTF-16 more often than byte mutations would. Any other input goes to the
// reader as it is (the seeds hold UTF-16 files too).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "registry_store/regedit_file.h"
#include "support/utf16_text.h"
#include "windows_rules/text_encoding.h"

namespace {

std::string Utf16LeFromWindows1252(std::string_view text) {
  return "\xff\xfe" + quorvel::testing::Utf8ToUtf16Le(quorvel::Windows1252ToUtf8(text));
}

void RoundTrip(std::string_view text) {
  quorvel::KeyTree tree;
  if (!quorvel::ParseRegeditFile(text, tree).ok) return;
  const std::string written = quorvel::FormatRegeditFile(tree);
  quorvel::KeyTree again;
  if (!quorvel::ParseRegeditFile(written, again).ok) std::abort();
  if (quorvel::FormatRegeditFile(again) != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (!input.empty() && input.front() == '\x01') {
    RoundTrip(Utf16LeFromWindows1252(input.substr(1)));
  } else if (!input.empty() && input.front() == '\x02') {
    RoundTrip("\xef\xbb\xbf" + quorvel::Windows1252ToUtf8(input.substr(1)));
  } else {
    RoundTrip(input);
  }
  return 0;
}
