#pragma once
// Text that comes from outside the program (a font's name, a file's or a folder's name, a registry
// value, a system message) shown where one line must stay one line: the run's log, where a script
// reads each line as one event, and the dialog's result list, one font a line.
//
// Bytes that would break the line are written as %XX (two capital hexadecimal digits of the byte):
// every control character (below 0x20, and 0x7F), and a lone byte of a double-byte character of
// code page 932 (a lead byte with no trail byte after it, which would swallow the quote or the
// line end that follows when the text is converted). For the log, '"' and '%' too, so that a
// quoted text ends only at its closing quote and every %XX reads back to one byte.

#include <string>

namespace kc {

enum class EscapeFor {
  kDisplay,   // control characters and lone lead bytes
  kLogField,  // those, '"' and '%'
};

// Appends "%XX" for `byte`, the one form every escape of the program's texts takes.
void AppendPercentEscape(std::string& out, unsigned char byte);

// The text up to its terminating zero, escaped.
std::string EscapedText(const char* text, EscapeFor use);
inline std::string EscapedText(const std::string& text, EscapeFor use) { return EscapedText(text.c_str(), use); }

}  // namespace kc
