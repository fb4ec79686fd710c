#pragma once
// Text that comes from outside the program (a font's name, a file's or a folder's name, a registry
// value, a system message) shown where one line must stay one line: the run's log, where a script
// reads each line as one event, and the dialog's result list, one font a line.
//
// The texts are UTF-8 (made from what Windows stores in UTF-16). Bytes that would break the line
// are written as %XX (two capital hexadecimal digits of the byte): every control character (below
// 0x20, 0x7F, and U+0080 to U+009F), U+2028 and U+2029, and every byte that is not part of a
// well-formed UTF-8 character (which would swallow what follows when the text is converted). In
// the log '"' and '%' too, so that a quoted text ends only at its closing quote and every %XX
// reads back to one byte.

#include <cstddef>
#include <string>

namespace kc {

enum class EscapeFor {
  kDisplay,   // control characters, line separators, broken characters
  kLogField,  // those, '"' and '%'
};

// Appends "%XX" for `byte`, the one form every escape of the program's texts takes.
void AppendPercentEscape(std::string& out, unsigned char byte);

// The text up to its terminating zero, escaped.
std::string EscapedText(const char* text, EscapeFor use);
inline std::string EscapedText(const std::string& text, EscapeFor use) { return EscapedText(text.c_str(), use); }

}  // namespace kc
