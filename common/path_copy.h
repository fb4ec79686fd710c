#pragma once
// Copying and joining paths in fixed buffers (common/path_buffer.h). A path that does not fit is
// refused, never cut: cut short it would name another file or folder, which the caller would then
// open, delete or walk. Nothing here splits a string anywhere but at its end, so a double-byte
// character whose trail byte is 0x5C (a backslash) can never be halved.

#include <cstddef>

namespace kc {

// Copies the `length` bytes at `from` (no zero among them) and a terminating zero into `out` of
// `capacity` bytes. False when they would not fit; `out` then holds the empty string. Bytes after
// the terminator are left as they were. Appending to a path in place is a copy to its end:
// CopyPath(path + length, capacity - length, ...).
//
// A refused copy or join writes nothing but zero bytes (none when capacity is 0), so a buffer
// cleared before use is still cleared after a refusal.
bool CopyPath(char* out, size_t capacity, const char* from, size_t length);
// The same for a zero-terminated `from`.
bool CopyPath(char* out, size_t capacity, const char* from);

// `folder` (ending in its backslash, or empty) followed by `name`, by plain concatenation, into
// `out`. False, with `out` the empty string, when the whole would not fit. `out` must not overlap
// either part.
bool JoinPath(char* out, size_t capacity, const char* folder, const char* name);

template <size_t N>
bool CopyPath(char (&out)[N], const char* from) {
  return CopyPath(out, N, from);
}

template <size_t N>
bool JoinPath(char (&out)[N], const char* folder, const char* name) {
  return JoinPath(out, N, folder, name);
}

}  // namespace kc
