#pragma once
// Owners for the Win32 handles the program opens, one per kind: each releases its handle exactly
// once. Move-only, so a handle can never be closed twice by two copies.

#include <windows.h>

#include <utility>

namespace kc {

// A kernel handle (file, file mapping, process, token, event). CreateFileW reports failure as
// INVALID_HANDLE_VALUE, most other calls as null: both count as "no handle".
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // For OpenProcessToken and friends: closes any handle held, then lends the slot to write into.
  HANDLE* receive() {
    reset();
    return &handle_;
  }
  // Hands the handle to a new owner (the C runtime's stream): this object no longer closes it.
  HANDLE release() { return std::exchange(handle_, nullptr); }
  void reset() {
    if (valid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// An open registry key.
class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() { reset(); }
  ScopedRegKey(ScopedRegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      reset();
      key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  HKEY get() const { return key_; }
  // For RegOpenKeyExW and friends: closes any key held, then lends the slot to write into.
  HKEY* receive() {
    reset();
    return &key_;
  }
  void reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// A directory listing of FindFirstFileW.
class ScopedFindHandle {
 public:
  explicit ScopedFindHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedFindHandle() {
    if (valid()) FindClose(handle_);
  }
  ScopedFindHandle(ScopedFindHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  ScopedFindHandle& operator=(ScopedFindHandle&&) = delete;
  ScopedFindHandle(const ScopedFindHandle&) = delete;
  ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A mapped view of a file (MapViewOfFile).
class ScopedView {
 public:
  explicit ScopedView(void* view) : view_(view) {}
  ~ScopedView() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }
  ScopedView(ScopedView&& other) noexcept : view_(std::exchange(other.view_, nullptr)) {}
  ScopedView& operator=(ScopedView&&) = delete;
  ScopedView(const ScopedView&) = delete;
  ScopedView& operator=(const ScopedView&) = delete;

  bool valid() const { return view_ != nullptr; }
  const unsigned char* bytes() const { return static_cast<const unsigned char*>(view_); }

 private:
  void* view_;
};

}  // namespace kc
