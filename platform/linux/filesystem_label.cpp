#include "platform/linux/filesystem_label.h"

#include <blkid/blkid.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <type_traits>

#include "platform/linux/unique_handles.h"
#include "windows_rules/ascii.h"

namespace quorvel {

namespace {
using UniqueProbe =
    std::unique_ptr<std::remove_pointer_t<blkid_probe>, CallRelease<blkid_free_probe>>;
}  // namespace

std::optional<std::string> ProbeFilesystemLabel(std::string_view device) {
  // Opened by us (not by libblkid) so that a FIFO or a tray-less drive cannot block.
  const UniqueFd fd(
      ::open(std::string(device).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!fd) return std::nullopt;
  const UniqueProbe probe(blkid_new_probe());
  if (!probe || blkid_probe_set_device(probe.get(), fd.get(), 0, 0) != 0) return std::nullopt;
  blkid_probe_enable_superblocks(probe.get(), 1);
  blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_LABEL | BLKID_SUBLKS_TYPE);
  if (blkid_do_safeprobe(probe.get()) != 0) return std::nullopt;
  std::string label;
  const char* value = nullptr;
  std::size_t length = 0;
  if (blkid_probe_lookup_value(probe.get(), "LABEL", &value, &length) == 0 && value != nullptr) {
    // The length counts the terminating NUL.
    label.assign(value, length > 0 ? length - 1 : 0);
    label.resize(label.find('\0') == std::string::npos ? label.size() : label.find('\0'));
  }
  return label;
}

std::string UnescapeUdevName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
        HexDigitValue(name[i + 2]) >= 0 && HexDigitValue(name[i + 3]) >= 0) {
      out.push_back(
          static_cast<char>(HexDigitValue(name[i + 2]) * 16 + HexDigitValue(name[i + 3])));
      i += 3;
      continue;
    }
    out.push_back(name[i]);
  }
  return out;
}

}  // namespace quorvel
