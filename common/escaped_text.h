#pragma once
// Text that comes from outside the program (a font's name, a file's or a folder's name, a registry
// value, a system message) shown where one line must stay one line: the run's log, where a script
// reads each line as one event, and the dialog's result list, one font a line.
//
// Bytes that would break the line are written as %XX (two capital hexadecimal digits of the byte).
// The log is UTF-8: there every control character (below 0x20, 0x7F, and U+0080 to U+009F), U+2028
// and U+2029, every byte that is not part of a well-formed UTF-8 character, and '"' and '%', so
// that a quoted text ends only at its closing quote and every %XX reads back to one byte. The
// result list's text is code page 932: there control characters below 0x20 and 0x7F, and a lone
// byte of a double-byte character (a lead byte with no trail byte after it, which would swallow
// what follows when the text is converted).

#include <cstddef>
#include <string>

namespace kc {

enum class EscapeFor {
  kDisplay,   // code page 932: control characters and lone lead bytes
  kLogField,  // UTF-8: control characters, line separators, broken characters, '"' and '%'
};

// Appends "%XX" for `byte`, the one form every escape of the program's texts takes.
void AppendPercentEscape(std::string& out, unsigned char byte);

// The text up to its terminating zero, escaped.
std::string EscapedText(const char* text, EscapeFor use);
inline std::string EscapedText(const std::string& text, EscapeFor use) { return EscapedText(text.c_str(), use); }

}  // namespace kc
