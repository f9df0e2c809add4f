// Fuzz target: whatever the template and the file name, the composed player command
// line splits back into the program path and the template's arguments with the file
// in place of every "%f".
//
// Input: byte 0 = length of the program path, byte 1 = length of the template, then
// the program path, the template and the file name. In the template the byte 0xFF
// also stands for "%f", so that placeholders are common.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "playback/player_choice.h"
#include "playback/process_list.h"
#include "windows_rules/windows_command_line.h"

namespace {

constexpr int kPlaceholder = 0x100;

// The template's arguments with "%f" as one ordinary character, then the file put in.
std::vector<std::string> Expected(const std::string& cmdLine, const std::string& file) {
  quorvel::CommandSymbols symbols;
  for (std::size_t i = 0; i < cmdLine.size(); ++i) {
    if (cmdLine.compare(i, 2, "%f") == 0) {
      symbols.push_back(kPlaceholder);
      ++i;
    } else {
      symbols.push_back(static_cast<unsigned char>(cmdLine[i]));
    }
  }
  std::vector<std::string> args;
  for (const auto& arg : quorvel::SplitArgumentSymbols(symbols)) {
    std::string text;
    for (int s : arg) text += s == kPlaceholder ? file : std::string(1, static_cast<char>(s));
    args.push_back(text);
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::size_t programLength = data[0];
  std::size_t templateLength = data[1];
  data += 2;
  size -= 2;
  programLength = programLength < size ? programLength : size;
  std::string program;
  for (std::size_t i = 0; i < programLength; ++i) {
    // A program path holds no double quote (none is allowed in Windows file names).
    if (data[i] != '"') program += static_cast<char>(data[i]);
  }
  data += programLength;
  size -= programLength;
  templateLength = templateLength < size ? templateLength : size;
  std::string cmdLine;
  for (std::size_t i = 0; i < templateLength; ++i) {
    if (data[i] == 0xFF) {
      cmdLine += "%f";
    } else {
      cmdLine += static_cast<char>(data[i]);
    }
  }
  const std::string file(reinterpret_cast<const char*>(data + templateLength),
                         size - templateLength);

  quorvel::PlayerRecord player("fuzz", program, cmdLine, quorvel::PlaylistType::NoPlaylist);
  const std::string arguments = quorvel::BuildArguments(player, file);
  std::vector<std::string> split =
      quorvel::SplitCommandLine(quorvel::ComposeCommandLine(program, arguments));
  if (split.empty() || split[0] != program) std::abort();
  split.erase(split.begin());
  if (split != Expected(cmdLine, file)) std::abort();
  // Templates and files the plain way: the text is the template's own. (Two "%f" side
  // by side are not plain: their quotes would meet as "" and join the two.)
  if (file.find_first_of("\" \t\\") == std::string::npos &&
      cmdLine.find('\\') == std::string::npos && cmdLine.find('"') == std::string::npos &&
      cmdLine.find("%f%f") == std::string::npos) {
    std::string plain;
    for (std::size_t at = 0;;) {
      std::size_t found = cmdLine.find("%f", at);
      plain += cmdLine.substr(at, found - at);
      if (found == std::string::npos) break;
      plain += '"' + file + '"';
      at = found + 2;
    }
    if (arguments != plain) std::abort();
  }
  return 0;
}
