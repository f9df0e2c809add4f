// The tray hosts' arrival on Linux, from real hosts: a status notifier watcher that comes
// onto a private session bus, and an XEmbed tray (trayer) that takes the tray selection of
// a private X server. The sources are watched with poll, as an event loop watches them.

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/linux_tray_hosts.h"
#include "support/child_process.h"
#include "support/xvfb.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

// Long enough for a host to start on a busy machine; nothing waits for it to pass.
constexpr auto kHostStartLimit = 30s;

// Waits on `source` and drains it until the service says a host appeared, or the limit.
bool AppearedWithin(LinuxTrayHosts& hosts, const EventSource& source,
                    std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    pollfd watched{static_cast<int>(source.handle), POLLIN, 0};
    if (::poll(&watched, 1, 100) > 0 && hosts.Drain(source.handle)) return true;
  }
  return false;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(LinuxTrayHostsTest, AStatusNotifierWatcherComingOntoTheBusIsATrayHost) {
  ChildProcess daemon({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address"}, {},
                      true);
  ASSERT_TRUE(daemon.started()) << "dbus-daemon is missing (package dbus)";
  const std::string address = daemon.ReadLine();
  ASSERT_FALSE(address.empty());
  const ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", address);

  LinuxTrayHosts hosts({.display = "", .watchXEmbed = false, .watchBus = true});
  const std::vector<EventSource> sources = hosts.Sources();
  ASSERT_EQ(sources.size(), 1u);
  EXPECT_TRUE(hosts.WatchesBus());
  EXPECT_EQ(sources[0].wait, EventSource::Wait::Readable);
  EXPECT_FALSE(hosts.Drain(sources[0].handle)) << "nothing came yet";
  EXPECT_FALSE(hosts.Drain(-1));

  // Another name is no tray host; the watcher is one.
  ChildProcess other({"/usr/bin/python3", "-m", "dbusmock", "--session", "org.example.Other", "/",
                      "org.example.Other"},
                     {});
  ChildProcess watcher(
      {"/usr/bin/python3", "-m", "dbusmock", "--session", "org.kde.StatusNotifierWatcher",
       "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher"},
      {});
  ASSERT_TRUE(watcher.started());
  EXPECT_TRUE(AppearedWithin(hosts, sources[0], kHostStartLimit))
      << "the watcher's arrival was not seen (package python3-dbusmock)";
  // The same sources serve on.
  EXPECT_EQ(hosts.Sources(), sources);
}

TEST(LinuxTrayHostsTest, AnXEmbedTrayTakingTheSelectionIsATrayHost) {
  testing::Xvfb xvfb;
  ASSERT_TRUE(xvfb.Running()) << "Xvfb did not start (package xvfb)";
  LinuxTrayHosts hosts({.display = xvfb.Display(), .watchXEmbed = true, .watchBus = false});
  const std::vector<EventSource> sources = hosts.Sources();
  ASSERT_EQ(sources.size(), 1u);
  EXPECT_TRUE(hosts.WatchesXEmbed());
  {
    ChildProcess tray({"/usr/bin/trayer", "--edge", "bottom"}, {"DISPLAY=" + xvfb.Display()});
    ASSERT_TRUE(tray.started());
    EXPECT_TRUE(AppearedWithin(hosts, sources[0], kHostStartLimit))
        << "trayer's MANAGER message was not seen (package trayer)";
  }
  // A display that is not there: nothing is watched.
  LinuxTrayHosts none({.display = ":999999", .watchXEmbed = true, .watchBus = false});
  EXPECT_TRUE(none.Sources().empty());
  EXPECT_FALSE(none.WatchesXEmbed());
}

}  // namespace
}  // namespace quorvel
