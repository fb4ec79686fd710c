#pragma once
// UTF-16 and UTF-8, the conversions the program's texts take on their way into its log and its
// records' display names, and back out to the result list. Portable: the font readers use them on
// names read from a file, the result text on the records' names.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kc {

// `count` UTF-16 units as UTF-8; a unit of a broken surrogate pair becomes U+FFFD (as Windows Vista
// and later convert it: never bytes that are not UTF-8).
std::string Utf8FromUtf16(const char16_t* units, size_t count);

// UTF-8 as UTF-16 units (one wchar_t each, also where wchar_t is wider, as natively); a byte that is
// no part of a well-formed character becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& text);

}  // namespace kc
