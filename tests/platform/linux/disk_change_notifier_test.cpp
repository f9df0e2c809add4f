// The disk-change notifier in a real Qt event loop: recorded udev events of an optical
// drive, fed through the recorded-event source, each run the full-screen window's poll
// rules once, unrelated events never; the real Linux source wakes it when fuseiso mounts
// or unmounts a disk.
#include "faces/qt/fullscreen/disk_change_notifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QSignalSpy>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "platform/linux/linux_disk_events.h"
#include "recorded_disk_events.h"
#include "rules/screen/screen_fixture.h"
#include "support/fuseiso_mount.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::ParseUdevMonitorText;
using testing::RecordedDiskEvents;

constexpr int kWaitMs = 10000;

std::string Recording(const std::string& name) {
  std::ifstream in(std::string(QUORVEL_TEST_DATA) + "/udev/" + name);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The recording cut into the text of each event, with the banner before the first.
std::vector<std::string> EventTexts(const std::string& recording) {
  std::vector<std::string> texts;
  std::size_t start = 0;
  while (start < recording.size()) {
    std::size_t end = recording.find("\n\n", start);
    end = end == std::string::npos ? recording.size() : end + 2;
    texts.push_back(recording.substr(start, end - start));
    start = end;
  }
  return texts;
}

// Runs the event loop until the source has taken `count` events in all.
bool ProcessUntilTaken(const RecordedDiskEvents& source, int count) {
  const QDeadlineTimer deadline(kWaitMs);
  while (source.Taken() < count && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return source.Taken() >= count;
}

// The processes service of the fixture, with the snapshots counted that launcher closing
// takes: one for each run of the window's poll rules over a movie disk.
class CountedSnapshots final : public Processes {
 public:
  explicit CountedSnapshots(Processes& inner) : inner_(inner) {}
  StartResult Start(std::string_view commandLine) override { return inner_.Start(commandLine); }
  std::string FindProgram(std::string_view program) override { return inner_.FindProgram(program); }
  std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() override {
    ++snapshots;
    return inner_.Snapshot();
  }
  std::optional<ModuleInfo> MainModule(ProcessId id) override { return inner_.MainModule(id); }
  WindowHandle FindTopLevelWindow(ProcessId id) override { return inner_.FindTopLevelWindow(id); }
  void AskToClose(WindowHandle window, std::chrono::milliseconds timeout) override {
    inner_.AskToClose(window, timeout);
  }
  bool Terminate(ProcessId id) override { return inner_.Terminate(id); }
  ProcessId CurrentProcessId() override { return inner_.CurrentProcessId(); }

  int snapshots = 0;

 private:
  Processes& inner_;
};

// Counts the window's poll ticks, which run the same rules as a wake-up.
class TickCounter final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Timer) ++ticks;
    return QObject::eventFilter(watched, event);
  }
  int ticks = 0;
};

TEST(DiskChangeNotifier, EachRecordedMediumEventRunsTheWindowsRulesOnce) {
  // The full-screen window over a movie disk in an optical drive, closing launchers at
  // every run of its poll rules, woken by the recorded events of all three recordings.
  testing::ScreenFixture f;
  f.settings.CloseLaunch = 1;
  f.Insert(testing::MoviesDisk("FILMS", 1));
  RecordedDiskEvents source;
  CountedSnapshots processes(f.processes);
  const Services fixture = f.Services();
  const Services services{
      fixture.files,    fixture.volumes,      processes, fixture.system, fixture.registry,
      fixture.messages, fixture.privateFiles, source};
  CFullScreenDlg window(
      f.settings, services, [](QWidget&) { return false; }, nullptr, nullptr, f.DevicePath());
  window.Create();
  ASSERT_EQ(window.Label().text(), "FILMS");
  TickCounter ticks;
  window.installEventFilter(&ticks);
  const int first = processes.snapshots;

  struct Case {
    const char* recording;
    std::size_t events;  // kernel and udev events in the recording
    int refreshes;       // the optical drive's medium events that udev passed on
  };
  const Case cases[] = {
      {"sr0-movie-disk-inserted.txt", 2, 1},
      {"sr0-eject-button.txt", 4, 2},  // the button, then the medium leaving
      {"unrelated-block-events.txt", 14, 0},
  };
  int taken = 0;
  int expected = 0;
  for (const Case& c : cases) {
    const std::string recording = Recording(c.recording);
    ASSERT_EQ(ParseUdevMonitorText(recording).size(), c.events) << c.recording;
    const int before = expected;
    for (const std::string& text : EventTexts(recording)) {
      const auto events = ParseUdevMonitorText(text);
      ASSERT_TRUE(source.Send(text));
      taken += static_cast<int>(events.size());
      ASSERT_TRUE(ProcessUntilTaken(source, taken));
      for (const auto& event : events) {
        if (event.processed && IsOpticalMediumEvent(event.properties)) ++expected;
      }
      // A tick that fell in between ran the rules too.
      // One run at the moment a relevant event arrives, never one for the kernel's raw
      // copy of it; a tick that fell in between ran the rules too.
      EXPECT_EQ(processes.snapshots - first, expected + ticks.ticks) << c.recording << "\n" << text;
    }
    EXPECT_EQ(expected - before, c.refreshes) << c.recording;
  }
}

TEST(DiskChangeNotifier, EventsTakenTogetherWakeTheWindowOnce) {
  RecordedDiskEvents source;
  DiskChangeNotifier notifier(source);
  QSignalSpy changed(&notifier, &DiskChangeNotifier::diskChanged);
  // An event split across two reads is taken whole, once.
  const std::string eject = Recording("sr0-eject-button.txt");
  const std::size_t middle = eject.size() / 2;
  ASSERT_TRUE(source.Send(eject.substr(0, middle)));
  ASSERT_TRUE(ProcessUntilTaken(source, 1));
  ASSERT_TRUE(source.Send(eject.substr(middle)));
  ASSERT_TRUE(ProcessUntilTaken(source, 4));
  EXPECT_GE(changed.count(), 1);
  EXPECT_LE(changed.count(), 2);
  EXPECT_EQ(source.Taken(), 4);
}

TEST(DiskChangeNotifier, RealMountTableWakesTheWindowOnMountAndUnmount) {
  testing::TempTree tree;
  tree.File("src/MOVIE.AVI", "not really a movie");
  const std::string image = tree.Path("disk.iso");
  ASSERT_TRUE(testing::MakeIsoImage(tree.Path("src"), "EVENTS", image));

  // The mount table alone, as in a container without udev.
  LinuxDiskEventSources sources;
  sources.udevControl = tree.Path("no-udev");
  LinuxDiskEvents events(sources);
  ASSERT_TRUE(events.WatchesMounts());
  EXPECT_FALSE(events.WatchesUdev());
  ASSERT_EQ(events.Sources().size(), 1u);
  EXPECT_EQ(events.Sources()[0].wait, EventSource::Wait::Priority);

  DiskChangeNotifier notifier(events);
  QSignalSpy changed(&notifier, &DiskChangeNotifier::diskChanged);
  {
    testing::FuseIsoMount mount(image, tree.Path("mnt"));
    ASSERT_TRUE(mount.Mounted());
    EXPECT_TRUE(changed.wait(kWaitMs));
    changed.clear();
  }
  EXPECT_TRUE(changed.count() > 0 || changed.wait(kWaitMs));
}

TEST(DiskChangeNotifier, UdevMonitorStartsBesideTheMountTable) {
  // Where udev runs, its monitor's loop is a second descriptor, read for readability;
  // with no event waiting it tells of no change.
  testing::TempTree tree;
  LinuxDiskEventSources sources;
  sources.udevControl = tree.File("control");
  LinuxDiskEvents events(sources);
  ASSERT_TRUE(events.WatchesUdev());
  const std::vector<EventSource> watched = events.Sources();
  ASSERT_EQ(watched.size(), 2u);
  EXPECT_EQ(watched[1].wait, EventSource::Wait::Readable);
  EXPECT_FALSE(events.Drain(watched[1].handle));
  EXPECT_FALSE(events.DeviceChangeReport(0x8000, 0)) << "Linux reports no changes to windows";
}

TEST(DiskChangeNotifier, WithoutAnySourceNothingIsWatched) {
  testing::TempTree tree;
  LinuxDiskEventSources sources;
  sources.mountInfo = tree.File("mountinfo", "26 1 0:99999 / / rw - ext4 /dev/vda rw\n");
  sources.udevControl = tree.Path("no-udev");
  LinuxDiskEvents events(sources);
  EXPECT_FALSE(events.WatchesMounts());
  EXPECT_FALSE(events.WatchesUdev());
  EXPECT_TRUE(events.Sources().empty());
  EXPECT_FALSE(events.Drain(0));
  EXPECT_FALSE(events.Drain(-1));
  DiskChangeNotifier notifier(events);
  EXPECT_EQ(notifier.WakeUps(), 0);
}

}  // namespace
}  // namespace quorvel
