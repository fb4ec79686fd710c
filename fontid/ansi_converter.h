#pragma once
// Unicode name strings become code page 932 text before their tag is compared. The walk over a
// collection is portable, so the conversion is handed to it. The Windows program uses
// WideCharToMultiByte(932); the native build (tests, fuzzing) converts to code page 932 as Windows
// does, so that it meets the same byte limits as the program.

#include <cstdint>

namespace kc {

// Converts the text formed by the first `unitCount` UTF-16 code units of `text`, ending earlier at
// a zero unit, with WideCharToMultiByte's contract for a zero-terminated source:
// - `out` null: returns the bytes the conversion needs, terminating zero included;
// - otherwise writes the text and its terminating zero into `out` (at most `outSize` bytes) and
//   returns the bytes written; 0 when they do not fit.
// Returns 0 on failure.
using AnsiConverter = int (*)(const char16_t* text, int unitCount, char* out, int outSize);

// Windows: WideCharToMultiByte with code page 932 (whatever the system's code page; the system's
// only where 932 is not installed), flags 0 and no default character.
// Elsewhere: code page 932 through iconv, made to agree with WideCharToMultiByte(932) for every
// unit of the Basic Multilingual Plane: ASCII as it stands, every unit without a mapping one '?'
// (each half of a surrogate pair too), and Windows' best-fit mappings (U+00E9 "e", U+00AB
// 0x81 0xE1) where iconv has none or a different one. Fails (0) only when iconv cannot be opened.
int ConvertToAnsiCodePage(const char16_t* text, int unitCount, char* out, int outSize);

}  // namespace kc
