// The device-change reports of Windows as a window receives them (WM_DEVICECHANGE's
// wParam and the DEV_BROADCAST record its lParam points to): which ones may change a disk.
#include <windows.h>
// windows.h first: dbt.h uses its types.
#include <dbt.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/win32/win32_disk_events.h"

namespace quorvel {
namespace {

std::intptr_t Details(const void* record) { return reinterpret_cast<std::intptr_t>(record); }

TEST(Win32DiskEventsTest, AVolumeThatArrivesOrGoesMayChangeADiskAndNothingElseDoes) {
  Win32DiskEvents events;
  EXPECT_TRUE(events.Sources().empty()) << "the system reports to the windows";
  EXPECT_FALSE(events.Drain(0));

  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << 3;  // D:
  volume.dbcv_flags = DBTF_MEDIA;
  EXPECT_TRUE(events.DeviceChangeReport(DBT_DEVICEARRIVAL, Details(&volume)));
  EXPECT_TRUE(events.DeviceChangeReport(DBT_DEVICEREMOVECOMPLETE, Details(&volume)));
  volume.dbcv_flags = 0;  // a stick rather than a medium in a drive
  EXPECT_TRUE(events.DeviceChangeReport(DBT_DEVICEARRIVAL, Details(&volume)));

  // Another kind of report about the volume, or the same reports about a port.
  EXPECT_FALSE(events.DeviceChangeReport(DBT_DEVICEQUERYREMOVE, Details(&volume)));
  EXPECT_FALSE(events.DeviceChangeReport(DBT_DEVNODES_CHANGED, 0));
  DEV_BROADCAST_HDR port{};
  port.dbch_size = sizeof port;
  port.dbch_devicetype = DBT_DEVTYP_PORT;
  EXPECT_FALSE(events.DeviceChangeReport(DBT_DEVICEARRIVAL, Details(&port)));

  // A report without its record, or with a record too short to be one, is no change.
  EXPECT_FALSE(events.DeviceChangeReport(DBT_DEVICEARRIVAL, 0));
  DEV_BROADCAST_HDR shortRecord{};
  shortRecord.dbch_size = 4;
  shortRecord.dbch_devicetype = DBT_DEVTYP_VOLUME;
  EXPECT_FALSE(events.DeviceChangeReport(DBT_DEVICEARRIVAL, Details(&shortRecord)));
}

}  // namespace
}  // namespace quorvel
