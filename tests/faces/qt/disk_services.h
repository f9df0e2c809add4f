#pragma once
// Services for the GUI tests that read real disks: the platform's own files and
// volumes, so that real folders are read as the program reads them, and the fakes for
// everything else, so that nothing is started, switched or stored.

#include <memory>

#include "platform/fake/fake_services.h"
#include "platform/services.h"

namespace quorvel {

struct DiskServices {
  FakeServices fake;
  std::unique_ptr<PlatformServices> platform = CreatePlatformServices(fake.messages);

  // Valid as long as this object lives.
  Services View() { return fake.ViewReadingDisksWith(platform->services); }
};

}  // namespace quorvel
