#pragma once
// How this program decides that two ANSI names or paths name the same file.

namespace kc {

// Whole-string equality, letter case aside, in the system's ANSI code page. The comparison works on
// characters, so the second byte of a double-byte character (which may look like an ASCII letter)
// is never case-folded. String sort: a hyphen counts like any other character.
bool SameFileNameIgnoringCase(const char* a, const char* b);

}  // namespace kc
