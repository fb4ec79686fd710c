#pragma once
// Narrow text made UTF-16 for the W functions, through the code page its bytes are in. Windows
// converts what an A function takes through the system's code page, which on an English Windows
// (1252) or one set to UTF-8 (65001) holds no Japanese: the program converts its Japanese bytes
// itself and hands every text to Windows wide.

#include <string>

namespace kc {

// Code page 932 bytes (a font's Macintosh Japanese name, the names the records hold, the tests'
// literals) as UTF-16, whatever the system's code page; bytes that are no character become the
// code page's default character, U+30FB. Natively (tests, fuzzing) through iconv, one wchar_t a
// character.
std::wstring WideFromCp932(const std::string& text);

// Windows only: text an A function gave (an argument of the command line, a drive root), which is
// in the system's code page, back as UTF-16.
std::wstring WideFromSystemAnsi(const std::string& text);

}  // namespace kc
