#include "platform/win32/win32_disk_events.h"

#include <windows.h>
// windows.h first: dbt.h uses its types.
#include <dbt.h>

namespace quorvel {

bool Win32DiskEvents::DeviceChangeReport(std::uintptr_t event, std::intptr_t details) {
  // A volume that arrived or went: a medium put into a drive or taken out, a stick
  // plugged in or pulled out. The other reports (a removal asked for, a device node
  // changed) change no disk, and carry no volume.
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(details);
  if (header == nullptr || header->dbch_size < sizeof(DEV_BROADCAST_HDR)) return false;
  return header->dbch_devicetype == DBT_DEVTYP_VOLUME;
}

}  // namespace quorvel
