#pragma once
// Filesystem labels read from the filesystem's own bytes.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Reads the label of the filesystem on `device`, a block device or an image file, with
// libblkid: the label (possibly "") when a filesystem was recognised; nullopt when the
// device cannot be opened or holds no filesystem libblkid knows.
std::optional<std::string> ProbeFilesystemLabel(std::string_view device);

// Undoes the "\xNN" escapes that udev writes into /dev/disk/by-label names and its
// ID_FS_LABEL_ENC values.
std::string UnescapeUdevName(std::string_view name);

}  // namespace quorvel
