#pragma once
// Filesystem labels read from the filesystem's own bytes.

#include <string>
#include <string_view>

namespace quorvel {

// Reads the label of the filesystem on `device`, a block device or an image file, with
// libblkid. True with the label (possibly "") when a filesystem was recognised; false
// when the device cannot be opened or holds no filesystem libblkid knows.
bool ProbeFilesystemLabel(std::string_view device, std::string& label);

// Undoes the "\xNN" escapes that udev writes into /dev/disk/by-label names and its
// ID_FS_LABEL_ENC values.
std::string UnescapeUdevName(std::string_view name);

}  // namespace quorvel
