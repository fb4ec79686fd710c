#pragma once
// The first test the search applies to a .otf file: only OpenType fonts with CFF outlines
// (signature "OTTO") can be the product's.

namespace kc {

// True when the file named by `path` (code-page-932) begins with "OTTO", in any letter case.
// A file that cannot be opened, is shorter than four bytes or begins otherwise answers false.
bool IsOpenTypeCffFile(const char* path);

}  // namespace kc
