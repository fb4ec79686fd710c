#pragma once
// Unicode name strings become text in the system's ANSI code page before their tag is compared.
// The walk over a collection is portable, so the conversion is handed to it. The Windows program
// uses WideCharToMultiByte(CP_ACP); the native build (tests, fuzzing) converts to code page 932
// as Windows does, so that it meets the same byte limits as the program on a Japanese system.

#include <cstdint>

namespace kc {

// Converts the text formed by the first `unitCount` UTF-16 code units of `text`, ending earlier at
// a zero unit, with WideCharToMultiByte's contract for a zero-terminated source:
// - `out` null: returns the bytes the conversion needs, terminating zero included;
// - otherwise writes the text and its terminating zero into `out` (at most `outSize` bytes) and
//   returns the bytes written; 0 when they do not fit.
// Returns 0 on failure.
using AnsiConverter = int (*)(const char16_t* text, int unitCount, char* out, int outSize);

// Windows: WideCharToMultiByte with CP_ACP, flags 0 and no default character (code page 932 on
// the systems the program is written for).
// Elsewhere: code page 932 through iconv, made to agree with WideCharToMultiByte(932) for every
// unit of the Basic Multilingual Plane: ASCII as it stands, every unit without a mapping one '?'
// (each half of a surrogate pair too), and Windows' best-fit mappings (U+00E9 "e", U+00AB
// 0x81 0xE1) where iconv has none or a different one. Fails (0) only when iconv cannot be opened.
int ConvertToAnsiCodePage(const char16_t* text, int unitCount, char* out, int outSize);

}  // namespace kc
