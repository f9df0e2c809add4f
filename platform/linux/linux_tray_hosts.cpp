#include "platform/linux/linux_tray_hosts.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace quorvel {
namespace {

// The freedesktop.org system tray: its host owns this selection per screen and says so
// with a MANAGER client message on the root window.
constexpr const char* kTraySelectionPrefix = "_NET_SYSTEM_TRAY_S";
constexpr const char* kManager = "MANAGER";
// The D-Bus status icon protocol's watcher.
constexpr const char* kStatusNotifierWatcher = "org.kde.StatusNotifierWatcher";
// The most bus messages taken in one Drain; the rest wait for the next, as the
// descriptor stays readable while they do.
constexpr int kMaxBusMessagesPerDrain = 64;

void Debug(const char* text) {
  if (std::getenv("QUORVEL_DEBUG") != nullptr) std::fprintf(stderr, "quorvel tray: %s\n", text);
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const std::string& name) {
  const UniqueMalloc<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
      nullptr));
  return reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Whether the session has a bus: connecting where it has none would fail only after a
// while, and some systems would even launch one.
bool SessionBusKnown() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && address[0] != '\0') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] == '\0') return false;
  struct stat status {};
  return ::stat((std::string(runtime) + "/bus").c_str(), &status) == 0;
}

}  // namespace

LinuxTrayHosts::LinuxTrayHosts(LinuxTrayHostSources sources) : sources_(std::move(sources)) {}

LinuxTrayHosts::~LinuxTrayHosts() { sd_bus_slot_unref(match_); }

std::vector<EventSource> LinuxTrayHosts::Sources() {
  if (!started_) {
    started_ = true;
    if (sources_.watchXEmbed) WatchXEmbed();
    if (sources_.watchBus) WatchBus();
  }
  std::vector<EventSource> sources;
  if (x_ != nullptr)
    sources.push_back({xcb_get_file_descriptor(x_.get()), EventSource::Wait::Readable});
  if (bus_ != nullptr) sources.push_back({sd_bus_get_fd(bus_.get()), EventSource::Wait::Readable});
  return sources;
}

void LinuxTrayHosts::WatchXEmbed() {
  const char* display =
      sources_.display.empty() ? std::getenv("DISPLAY") : sources_.display.c_str();
  if (display == nullptr || display[0] == '\0') return;
  int screenNumber = 0;
  UniqueXcbConnection x(xcb_connect(display, &screenNumber));
  if (x == nullptr || xcb_connection_has_error(x.get()) != 0) return;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x.get()));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return;
  const xcb_window_t root = screens.data->root;
  manager_ = InternAtom(x.get(), kManager);
  selection_ = InternAtom(x.get(), kTraySelectionPrefix + std::to_string(screenNumber));
  if (manager_ == XCB_ATOM_NONE || selection_ == XCB_ATOM_NONE) return;
  // MANAGER is sent to the root window with the structure-notify mask.
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(x.get(), root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x.get());
  x_ = std::move(x);
  Debug("watching the X tray selection");
}

void LinuxTrayHosts::WatchBus() {
  if (!SessionBusKnown()) return;
  sd_bus* opened = nullptr;
  if (sd_bus_open_user(&opened) < 0) return;
  UniqueBus bus(opened);
  // The bus daemon's signal for every name that gets, changes or loses its owner,
  // only for the watcher's name.
  const int added = sd_bus_match_signal(bus.get(), &match_, "org.freedesktop.DBus",
                                        "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                        "NameOwnerChanged", &LinuxTrayHosts::OnOwnerChanged, this);
  if (added < 0) return;
  sd_bus_flush(bus.get());
  bus_ = std::move(bus);
  Debug("watching the status notifier watcher on the session bus");
}

int LinuxTrayHosts::OnOwnerChanged(sd_bus_message* message, void* self, sd_bus_error*) {
  const char* name = nullptr;
  const char* oldOwner = nullptr;
  const char* newOwner = nullptr;
  if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
  // A name that had no owner has one now: the watcher was registered.
  if (std::string_view(name) == kStatusNotifierWatcher && oldOwner[0] == '\0' &&
      newOwner[0] != '\0') {
    static_cast<LinuxTrayHosts*>(self)->appeared_ = true;
  }
  return 0;
}

bool LinuxTrayHosts::Drain(std::intptr_t source) {
  if (x_ != nullptr && source == xcb_get_file_descriptor(x_.get())) return DrainX();
  if (bus_ != nullptr && source == sd_bus_get_fd(bus_.get())) return DrainBus();
  return false;
}

bool LinuxTrayHosts::DrainX() {
  bool appeared = false;
  while (xcb_generic_event_t* taken = xcb_poll_for_event(x_.get())) {
    const UniqueMalloc<xcb_generic_event_t> event(taken);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) continue;
    const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
    // data32: timestamp, the selection acquired, the owner window, ...
    if (message->type == manager_ && message->format == 32 &&
        message->data.data32[1] == selection_) {
      appeared = true;
    }
  }
  // The X server went away: nothing more will come, and its descriptor is given up.
  if (xcb_connection_has_error(x_.get()) != 0) x_.reset();
  return appeared;
}

bool LinuxTrayHosts::DrainBus() {
  appeared_ = false;
  for (int i = 0; i < kMaxBusMessagesPerDrain; ++i) {
    const int processed = sd_bus_process(bus_.get(), nullptr);
    if (processed < 0) {
      // The bus went away: nothing more will come.
      sd_bus_slot_unref(match_);
      match_ = nullptr;
      bus_.reset();
      break;
    }
    if (processed == 0) break;
  }
  return appeared_;
}

}  // namespace quorvel
