#pragma once
// One font file, opened once by the walk and held from its identification to its removal. The
// readers read through this handle and the removal deletes through it, so the file removed is the
// file identified, whatever happens to the names of its folders in between: the program runs as an
// administrator over folders that ordinary users can rename, and a path resolves anew at every
// call.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#include "common/file_identity.h"
#include "common/scoped_handles-win32.h"

namespace kc {

class OpenFontFile {
 public:
  enum class Access : uint8_t {
    kNone,       // not open: missing, unreadable, or a path that does not fit
    kRemovable,  // read and delete access, sharing reading only: while it is held nobody else can
                 // write, rename or delete the file
    kHeldElsewhere,  // another process holds it so that it cannot be deleted now (the open with
                     // delete access met a sharing violation): opened to read, sharing all access
    kNotDeletable,   // the open with delete access was refused for another reason (no right, a
                     // medium that cannot be written): opened to read only
  };

  OpenFontFile() = default;
  // Opens the file at `path` (a full UTF-16 path, as the walk lists it) with the most access it can
  // have, in the order of Access.
  explicit OpenFontFile(const wchar_t* path);
  OpenFontFile(OpenFontFile&& other) noexcept { *this = std::move(other); }
  OpenFontFile& operator=(OpenFontFile&& other) noexcept;
  OpenFontFile(const OpenFontFile&) = delete;
  OpenFontFile& operator=(const OpenFontFile&) = delete;

  Access access() const { return access_; }
  bool IsOpen() const { return access_ != Access::kNone; }
  // For the collection reader's mapping. Never closed by the readers.
  HANDLE handle() const { return handle_; }
  // For the OpenType reader: a buffered stream over the handle, made on first use (null when it
  // cannot be; out of memory, the file is then closed). Its position is the handle's. Owned here:
  // closing it is this object's Close.
  std::FILE* Stream();
  // Why the open with delete access failed (0 when it succeeded or was never made).
  unsigned long removalOpenError() const { return removalOpenError_; }

  // The volume serial number and file index of the open file (read once). False when the file
  // system gives none.
  bool Identity(FileIdentity& identity) const;

  // Clears the read-only attribute and sets the delete disposition, both through the handle. The
  // file is gone once the handle is closed (Close). Returns 0, or the Win32 error of the step that
  // failed, with the attribute as it was: ERROR_FILE_READ_ONLY when the attribute cannot be
  // cleared, the disposition's (ERROR_ACCESS_DENIED for a file mapped by another process), and
  // ERROR_ACCESS_DENIED without delete access.
  unsigned long MarkForDeletion();

  // For a file opened without delete access (held by the font's own loading, say): opens `path`
  // again as the constructor does and keeps that open in place of this one only when it is
  // removable and leads to this very file, by identity, which this open keeps from being reused
  // meanwhile. False, this open unchanged, otherwise. Whoever renames what lies on `path` can at
  // most make the reopening fail.
  bool ReopenRemovable(const wchar_t* path);

  // Closes the handle: a file marked for deletion goes now.
  void Close();

 private:
  struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
  };

  // The handle is owned by file_ until a stream is made over it, by the stream from then on.
  ScopedHandle file_;
  std::unique_ptr<std::FILE, StreamCloser> stream_;
  HANDLE handle_ = nullptr;
  Access access_ = Access::kNone;
  unsigned long removalOpenError_ = 0;
  mutable bool identityRead_ = false;
  mutable bool identityKnown_ = false;
  mutable FileIdentity identity_;
};

// Clears the read-only attribute of an open file through its handle, leaving its other attributes
// and its times as they are; `wasReadOnly` tells whether there was one. 0 or the Win32 error.
unsigned long ClearReadOnlyAttribute(HANDLE file, bool& wasReadOnly);

}  // namespace kc
