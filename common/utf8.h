#pragma once
// UTF-16 to UTF-8, the one conversion the program's texts take on their way into its log and its
// records' display names. Portable: the font readers use it on names read from a file.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kc {

// `count` UTF-16 units as UTF-8; a unit of a broken surrogate pair becomes U+FFFD (as Windows Vista
// and later convert it: never bytes that are not UTF-8).
std::string Utf8FromUtf16(const char16_t* units, size_t count);

}  // namespace kc
