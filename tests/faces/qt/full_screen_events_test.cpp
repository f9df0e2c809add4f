// The full-screen window woken by the platform's disk-change events: each wake-up runs
// the poll's rules at once (the disk read again, autoplay of a disk that came, launcher
// closing), exactly as a tick does; without an event nothing runs before the next tick.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <functional>

#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "rules/screen/screen_fixture.h"

namespace quorvel {
namespace {

using testing::MoviesDisk;
using testing::ScreenFixture;

// Runs the event loop until `done` or 10 s passed.
bool RunUntil(const std::function<bool()>& done) {
  const QDeadlineTimer deadline(10000);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return done();
}

TEST(FullScreenEventsTest, AWakeUpRunsThePollsRulesAtOnce) {
  ScreenFixture f;
  f.settings.Autoplay = 1;
  FakeDiskEvents& events = f.fake.diskEvents;
  CFullScreenDlg window(
      f.settings, f.Services(), [](QWidget&) { return false; }, nullptr, nullptr, f.DevicePath());
  window.Create();
  ASSERT_EQ(window.Label().text(), "No Disk");

  // A disk comes; until the system reports it, the window waits for its tick.
  f.Insert(MoviesDisk("FILMS", 2));
  QCoreApplication::processEvents();
  EXPECT_EQ(window.Label().text(), "No Disk");
  EXPECT_EQ(events.drains, 0);

  // Reported: read, shown and played at once, as a tick that sees a new disk does.
  ASSERT_TRUE(events.Signal());
  ASSERT_TRUE(RunUntil([&] { return events.drains == 1; }));
  EXPECT_EQ(window.Label().text(), "FILMS");
  EXPECT_EQ(f.processes.started.size(), 1u);

  // Reports without a change (another filesystem mounted) read the same disk: no
  // second play.
  ASSERT_TRUE(events.Signal());
  ASSERT_TRUE(events.Signal());
  ASSERT_TRUE(RunUntil([&] { return events.drains >= 2; }));
  EXPECT_EQ(f.processes.started.size(), 1u);

  // The disk taken out: "No Disk" at once.
  f.Eject();
  const int before = events.drains;
  ASSERT_TRUE(events.Signal());
  ASSERT_TRUE(RunUntil([&] { return events.drains > before; }));
  EXPECT_EQ(window.Label().text(), "No Disk");
  EXPECT_EQ(window.DiskChangeWakeUps(), events.drains);
}

}  // namespace
}  // namespace quorvel
