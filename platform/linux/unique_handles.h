#pragma once
// Small owners of the Linux backend's handles: descriptors, directory streams, sd-bus
// objects and xcb replies. Each releases what it holds on every way out of a scope, so
// an early return never leaks a handle; all are move-only.

#include <dirent.h>
#include <systemd/sd-bus.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace quorvel {

// Owns a file descriptor; -1 is none.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  explicit operator bool() const { return ok(); }

  // Gives the descriptor up without closing it.
  int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor held and takes `fd` instead.
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now and reports whether the close succeeded (a write-back error of a file
  // shows only here); true when nothing was held.
  bool Close() {
    const int fd = release();
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

// Calls `Release` on a non-null pointer: the deleter of the C libraries' owners below.
template <auto Release>
struct CallRelease {
  template <typename T>
  void operator()(T* handle) const {
    if (handle != nullptr) Release(handle);
  }
};

// A directory stream.
using UniqueDir = std::unique_ptr<DIR, CallRelease<::closedir>>;

// An sd-bus connection, flushed and closed when released; a message or reply.
using UniqueBus = std::unique_ptr<sd_bus, CallRelease<::sd_bus_flush_close_unref>>;
using UniqueBusMessage = std::unique_ptr<sd_bus_message, CallRelease<::sd_bus_message_unref>>;

// An sd-bus error record, freed when it goes out of scope.
class BusError {
 public:
  BusError() = default;
  BusError(const BusError&) = delete;
  BusError& operator=(const BusError&) = delete;
  ~BusError() { sd_bus_error_free(&error_); }

  sd_bus_error* get() { return &error_; }
  // The error's message, or "" when there is none.
  const char* message() const { return error_.message != nullptr ? error_.message : ""; }

 private:
  sd_bus_error error_{};  // SD_BUS_ERROR_NULL, without its C compound literal
};

// A connection to the X server.
using UniqueXcbConnection = std::unique_ptr<xcb_connection_t, CallRelease<::xcb_disconnect>>;

// A reply of xcb, or anything else a C library hands out from malloc.
struct FreeMemory {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using UniqueMalloc = std::unique_ptr<T, FreeMemory>;

}  // namespace quorvel
