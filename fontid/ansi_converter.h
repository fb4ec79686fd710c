#pragma once
// Unicode name strings become text in the system's ANSI code page before their tag is compared.
// The walk over a collection is portable, so the conversion is handed to it: the Windows program
// uses WideCharToMultiByte(CP_ACP); the native build (tests, fuzzing) uses an ASCII stand-in.

#include <cstdint>

namespace kc {

// Converts the text formed by the first `unitCount` UTF-16 code units of `text`, ending earlier at
// a zero unit, with WideCharToMultiByte's contract for a zero-terminated source:
// - `out` null: returns the bytes the conversion needs, terminating zero included;
// - otherwise writes the text and its terminating zero into `out` (at most `outSize` bytes) and
//   returns the bytes written; 0 when they do not fit.
// Returns 0 on failure.
using AnsiConverter = int (*)(const char16_t* text, int unitCount, char* out, int outSize);

// Stand-in for systems without ANSI code pages: ASCII as it stands, every other unit one '?'.
int ConvertToAsciiStandIn(const char16_t* text, int unitCount, char* out, int outSize);

#ifdef _WIN32
// WideCharToMultiByte with CP_ACP (code page 932 on the systems the program is written for).
int ConvertToAnsiCodePage(const char16_t* text, int unitCount, char* out, int outSize);
#endif

}  // namespace kc
