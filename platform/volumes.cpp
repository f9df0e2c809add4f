#include "platform/volumes.h"

#include <array>

namespace quorvel {

namespace {
constexpr std::array<std::string_view, 7> kDriveTypeNames = {
    "The drive type cannot be determined",
    "The root path is invalid",
    "Removable disk",
    "Fixed disk",
    "Remote (network) drive",
    "CD-ROM drive",
    "RAM disk",
};
}  // namespace

std::string DriveTypeName(std::int32_t code) {
  if (code < 0 || static_cast<std::size_t>(code) >= kDriveTypeNames.size()) return {};
  return std::string(kDriveTypeNames[static_cast<std::size_t>(code)]);
}

}  // namespace quorvel
