#pragma once
// Paths are zero-terminated ANSI (code page 932) strings in fixed caller-owned buffers of this size,
// cleared before use. Folder paths end in exactly one backslash; longer paths are built by plain
// concatenation, never with a separator of their own.

#include <cstddef>

namespace kc {

constexpr size_t kPathBufferSize = 1024;

}  // namespace kc
