#pragma once
// The ANSI code page's lead bytes as the system knows them, for the path helpers of
// common/path_split.h.

#include <windows.h>

namespace kc {

inline bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace kc
