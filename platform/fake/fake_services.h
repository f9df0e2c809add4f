#pragma once
// A fake of every platform service, in one place, and the seam over them: what a test
// of the subsystems or the GUI hands in instead of the platform's own services. Each
// fake can also be used alone, or mixed with real services in a Services of the test's
// own.

#include "platform/fake/fake_disk_events.h"
#include "platform/fake/fake_file_tree.h"
#include "platform/fake/fake_private_files.h"
#include "platform/fake/fake_volumes.h"
#include "platform/fake/memory_registry.h"
#include "platform/fake/recording_messages.h"
#include "platform/fake/recording_processes.h"
#include "platform/fake/recording_system.h"
#include "platform/services.h"

namespace quorvel {

struct FakeServices {
  FakeFileTree files;
  FakeVolumes volumes;
  RecordingProcesses processes;
  RecordingSystem system;
  MemoryRegistry registry;
  RecordingMessages messages;
  FakePrivateFiles privateFiles;
  FakeDiskEvents diskEvents;

  // The seam over the fakes above; valid as long as this object lives.
  Services View() {
    return {files, volumes, processes, system, registry, messages, privateFiles, diskEvents};
  }
  // The same seam, but disks read through `disks`' files and volumes (the platform's own,
  // for tests that read real folders): nothing is started, switched or stored all the same.
  Services ViewReadingDisksWith(const Services& disks) {
    return {disks.files, disks.volumes, processes,    system,
            registry,    messages,      privateFiles, diskEvents};
  }
};

}  // namespace quorvel
