#pragma once
// The first test the search applies to a .otf file: only OpenType fonts with CFF outlines
// (signature "OTTO") can be the product's.

#include <cstdio>

namespace kc {

// True when the file named by `path` (code-page-932) begins with "OTTO", in any letter case.
// A file that cannot be opened, is shorter than four bytes or begins otherwise answers false.
bool IsOpenTypeCffFile(const char* path);

// The same check over an open stream, read from its start whatever its position; the stream stays
// open, positioned after what was read.
bool IsOpenTypeCffStream(std::FILE* file);

}  // namespace kc
