#pragma once
// Small owners of Win32 handles: every early return closes them.

#include <windows.h>

namespace quorvel::win32 {

// A kernel object handle (file, process, snapshot); INVALID_HANDLE_VALUE and null are
// both "none", as the API uses both.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  ~Handle() { Close(); }

  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (ok()) ::CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A FindFirstFileA search.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (ok()) ::FindClose(handle_);
  }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Critical-error boxes ("There is no disk in the drive") off for the owner's
// lifetime; the previous mode comes back afterwards.
class NoCriticalErrorBoxes {
 public:
  NoCriticalErrorBoxes() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
  NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;
  ~NoCriticalErrorBoxes() { ::SetErrorMode(previous_); }

 private:
  UINT previous_;
};

}  // namespace quorvel::win32
