#pragma once
// Owners of the three handles of a read-only file mapping; each releases its handle once.

#include <windows.h>

namespace kc {

class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~ScopedFileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  ScopedFileHandle(ScopedFileHandle&& other) noexcept : handle_(other.handle_) {
    other.handle_ = INVALID_HANDLE_VALUE;
  }
  ScopedFileHandle& operator=(ScopedFileHandle&&) = delete;
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// CreateFileMapping answers null, not INVALID_HANDLE_VALUE, on failure.
class ScopedMapping {
 public:
  explicit ScopedMapping(HANDLE mapping) : mapping_(mapping) {}
  ~ScopedMapping() {
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }
  ScopedMapping(ScopedMapping&& other) noexcept : mapping_(other.mapping_) { other.mapping_ = nullptr; }
  ScopedMapping& operator=(ScopedMapping&&) = delete;
  ScopedMapping(const ScopedMapping&) = delete;
  ScopedMapping& operator=(const ScopedMapping&) = delete;

  bool valid() const { return mapping_ != nullptr; }
  HANDLE get() const { return mapping_; }

 private:
  HANDLE mapping_;
};

class ScopedView {
 public:
  explicit ScopedView(void* view) : view_(view) {}
  ~ScopedView() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }
  ScopedView(ScopedView&& other) noexcept : view_(other.view_) { other.view_ = nullptr; }
  ScopedView& operator=(ScopedView&&) = delete;
  ScopedView(const ScopedView&) = delete;
  ScopedView& operator=(const ScopedView&) = delete;

  bool valid() const { return view_ != nullptr; }
  const unsigned char* bytes() const { return static_cast<const unsigned char*>(view_); }

 private:
  void* view_;
};

}  // namespace kc
