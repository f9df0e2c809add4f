// How soon the full-screen window shows a disk that the system mounted: an ISO image
// mounted with fuseiso while the window runs on Qt's offscreen platform, against the
// five-second poll alone. The window reads a folder of the image, so that unmounting
// takes the folder away and the window shows "No Disk". A reaction is over when the label
// says what the read found and has been painted. The window and the services are the
// program's own (the Linux backend, the real mount table), in this process.
//
//   build/bench/reaction_bench [MOUNTS] [POLL_MOUNTS]
//
// MOUNTS (default 10) mounts and unmounts with the disk-change events, POLL_MOUNTS
// (default 10) with the poll alone, each change at a random moment of the poll's period
// as a user's would be; the medians and extremes of both are printed, and
// how often the event service woke the window while nothing changed. Goal: the event
// median under 1 s both ways.

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QObject>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "platform/services.h"
#include "platform/user_messages.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

void WriteFile(const fs::path& path, std::size_t size, char fill) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

constexpr double kGoalMs = 1000;
constexpr auto kLimit = 12s;  // longer than two polls: a reaction that never comes

// Messages would stop the measurement; there should be none.
class PrintedMessages final : public quorvel::UserMessages {
 public:
  quorvel::MessageAnswer Show(std::string_view text, std::string_view, quorvel::MessageButtons,
                              quorvel::MessageIcon) override {
    std::fprintf(stderr, "reaction_bench: message: %.*s\n", static_cast<int>(text.size()),
                 text.data());
    return quorvel::MessageAnswer::Ok;
  }
};

// No events at all: the window sees changes at its poll only.
class NoDiskEvents final : public quorvel::DiskEvents {
 public:
  std::vector<quorvel::EventSource> Sources() const override { return {}; }
  bool Drain(std::intptr_t) override { return false; }
  bool DeviceChangeReport(std::uintptr_t, std::intptr_t) override { return false; }
};

// Notes when the label was first painted showing what is waited for.
class PaintWatch final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && painted < 0 && wanted && wanted()) {
      painted = timer.nsecsElapsed();
    }
    return QObject::eventFilter(watched, event);
  }
  QElapsedTimer timer;
  std::function<bool()> wanted;
  qint64 painted = -1;
};

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Reactions {
  std::vector<double> shown;   // ms from the mount's start to the disk painted
  std::vector<double> noDisk;  // ms from the unmount's start to "No Disk" painted
  int failures = 0;
};

// Runs `command` on a thread of its own while the window's loop goes on, and waits until
// the label says `wanted` (or, with `negate`, anything else) and was painted after it
// did; the milliseconds from the command's start, or -1.
double React(quorvel::CFullScreenDlg& window, PaintWatch& watch, const std::string& command,
             const QString& text, bool negate) {
  watch.wanted = [&window, text, negate] { return (window.Label().text() == text) != negate; };
  watch.painted = -1;
  const qint64 start = watch.timer.nsecsElapsed();
  bool ran = false;
  std::thread runner([&] { ran = RunCommand(command); });
  while (watch.painted < 0 &&
         watch.timer.nsecsElapsed() - start < std::chrono::nanoseconds(kLimit).count()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  runner.join();
  watch.wanted = nullptr;
  if (!ran || watch.painted < 0) return -1;
  return static_cast<double>(watch.painted - start) / 1e6;
}

// Runs the loop for `ms` milliseconds.
void Pause(int ms) {
  QElapsedTimer pause;
  pause.start();
  while (pause.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// `spread`: each change comes at a random moment of the poll's period, as a user's does,
// rather than right after the tick that showed the last one.
Reactions Measure(const quorvel::Services& services, const fs::path& image, const fs::path& point,
                  int mounts, bool spread) {
  std::mt19937 random(2026);
  std::uniform_int_distribution<int> moment(0, 4999);
  quorvel::Settings settings;
  settings.Autoplay = 0;
  quorvel::CFullScreenDlg window(
      settings, services, [](QWidget&) { return false; }, nullptr, nullptr,
      (point / "MOVIES").string());
  window.Create();
  PaintWatch watch;
  watch.timer.start();
  window.Label().installEventFilter(&watch);
  const QString noDisk = QStringLiteral("No Disk");

  Reactions reactions;
  // Settle: the first read and paint are done.
  Pause(500);
  for (int i = 0; i < mounts; ++i) {
    if (spread) Pause(moment(random));
    const double shown = React(
        window, watch, "fuseiso " + ShellQuote(image.string()) + " " + ShellQuote(point.string()),
        noDisk, true);
    if (spread) Pause(moment(random));
    const double gone =
        React(window, watch, "fusermount -u " + ShellQuote(point.string()), noDisk, false);
    if (shown < 0 || gone < 0) {
      ++reactions.failures;
      RunCommand("fusermount -u -q " + ShellQuote(point.string()) + " 2>/dev/null");
      continue;
    }
    reactions.shown.push_back(shown);
    reactions.noDisk.push_back(gone);
  }
  return reactions;
}

void Print(const char* name, const Reactions& reactions) {
  const auto line = [](const char* what, const std::vector<double>& ms) {
    if (ms.empty()) {
      std::printf("    %-28s no measurement\n", what);
      return;
    }
    const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
    std::printf("    %-28s median %7.1f ms   min %7.1f   max %7.1f   (%zu)\n", what, Median(ms),
                *low, *high, ms.size());
  };
  std::printf("  %s:\n", name);
  line("mounted -> disk shown", reactions.shown);
  line("unmounted -> \"No Disk\"", reactions.noDisk);
  if (reactions.failures > 0) std::printf("    %d rounds failed\n", reactions.failures);
}

}  // namespace

int main(int argc, char** argv) {
  const int mounts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const int pollMounts = argc > 2 ? std::max(0, std::atoi(argv[2])) : 10;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);

  const fs::path dir =
      fs::temp_directory_path() / ("quorvel-reaction-bench-" + std::to_string(::getpid()));
  WriteFile(dir / "src/MOVIES/HOLIDAY.MPG", 64 * 1024, 'm');
  WriteFile(dir / "src/MOVIES/BEACH.MPG", 64 * 1024, 'b');
  const fs::path image = dir / "disk.iso";
  if (!RunCommand("genisoimage -quiet -J -V HOLIDAY -o " + ShellQuote(image.string()) + " " +
                  ShellQuote((dir / "src").string()))) {
    std::fprintf(stderr, "reaction_bench: genisoimage failed\n");
    return 1;
  }
  const fs::path point = dir / "mnt";
  fs::create_directories(point);

  PrintedMessages messages;
  const std::unique_ptr<quorvel::PlatformServices> platform =
      quorvel::CreatePlatformServices(messages);
  const quorvel::Services& events = platform->services;
  NoDiskEvents none;
  const quorvel::Services poll{events.files,    events.volumes,  events.processes,    events.system,
                               events.registry, events.messages, events.privateFiles, none};

  // While nothing changes, the event service must not wake the window.
  int idleWakeUps = -1;
  {
    quorvel::Settings settings;
    quorvel::CFullScreenDlg window(
        settings, events, [](QWidget&) { return false; }, nullptr, nullptr,
        (point / "MOVIES").string());
    window.Create();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 200);
    idleWakeUps = window.DiskChangeWakeUps();
  }

  const Reactions withEvents = Measure(events, image, point, mounts, false);
  const Reactions withPoll =
      pollMounts > 0 ? Measure(poll, image, point, pollMounts, true) : Reactions{};

  std::printf("The full-screen window reading a folder of a fuseiso-mounted image:\n");
  Print("disk-change events (mount table, udev)", withEvents);
  if (pollMounts > 0) Print("the 5 s poll alone (changes at random moments)", withPoll);
  std::printf("  event wake-ups in 10 s without a change: %d\n", idleWakeUps);
  const bool met = !withEvents.shown.empty() && Median(withEvents.shown) < kGoalMs &&
                   Median(withEvents.noDisk) < kGoalMs && withEvents.failures == 0 &&
                   idleWakeUps == 0;
  std::printf("  goal: event medians < %.0f ms both ways, no idle wake-up: %s\n", kGoalMs,
              met ? "met" : "MISSED");
  fs::remove_all(dir);
  return met ? 0 : 1;
}
