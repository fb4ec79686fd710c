#pragma once
// Splitting an ANSI path where double-byte characters of code page 932 may hide a backslash or a
// slash in their second byte ("ソ" is 0x83 0x5C): lead bytes are stepped over whole, so a trail
// byte is never taken for a separator.

#include <cstddef>

namespace kc {

// True for a lead byte of a double-byte character in the ANSI code page.
using LeadByteTest = bool (*)(unsigned char byte);

// Code page 932's lead bytes, for code that cannot ask the system (and for tests).
bool IsCp932LeadByte(unsigned char byte);

struct BaseName {
  const char* start;  // the final component, without its extension
  size_t length;
};

// The final component of `path` (after the last backslash, slash or drive colon) without its
// extension (from the component's last dot).
BaseName BaseNameOf(const char* path, LeadByteTest isLeadByte);

// True when the last character of `path` is a backslash or a slash (not the trail byte of a
// double-byte character), as a drive root or a folder given with its separator ends.
bool EndsWithSeparator(const char* path, LeadByteTest isLeadByte);

}  // namespace kc
