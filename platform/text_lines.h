#pragma once
// The line rule of Files::ReadTextLines, written once for every backend: the bytes of a
// file come in chunks of any size, its lines go out without their line ends.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace quorvel {

class TextLineSplitter {
 public:
  using LineHandler = std::function<bool(std::string_view line)>;

  // `line` must outlive the splitter.
  explicit TextLineSplitter(const LineHandler& line) : line_(line) {}

  // Hands on every line that `data` completes; false once the handler asked to stop.
  bool Feed(std::string_view data) {
    while (!data.empty()) {
      const std::size_t lf = data.find('\n');
      const std::string_view piece = data.substr(0, lf);
      const std::size_t room = kKeep - current_.size();
      current_.append(piece.substr(0, room));
      overlong_ = overlong_ || piece.size() > room;
      if (lf == std::string_view::npos) {
        pending_ = true;
        return true;
      }
      if (!Finish(true)) return false;
      data.remove_prefix(lf + 1);
    }
    return true;
  }

  // The end of the file: a last line without a line end still counts.
  void End() {
    if (pending_) Finish(false);
  }

 private:
  // A line is kept up to one byte beyond the limit, so that a line of exactly the limit
  // still sees the CR of its CR LF; bytes beyond that are dropped.
  static constexpr std::size_t kKeep = Files::kMaxLineBytes + 1;

  bool Finish(bool atLineEnd) {
    std::string_view text(current_);
    if (atLineEnd && !overlong_ && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.size() > Files::kMaxLineBytes) text = text.substr(0, Files::kMaxLineBytes);
    const bool more = line_(text);
    current_.clear();
    overlong_ = false;
    pending_ = false;
    return more;
  }

  const LineHandler& line_;
  std::string current_;
  bool overlong_ = false;
  bool pending_ = false;  // bytes seen since the last line end
};

}  // namespace quorvel
