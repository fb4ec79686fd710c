#include "fontid/opentype_signature.h"

#include <cstdio>

namespace kc {
namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares two zero-terminated strings, ASCII letters without regard to case.
bool EqualsIgnoringAsciiCase(const char* text, const char* expected) {
  for (; *text != '\0' || *expected != '\0'; ++text, ++expected) {
    if (AsciiUpper(*text) != AsciiUpper(*expected)) return false;
  }
  return true;
}

}  // namespace

bool IsOpenTypeCffFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  const bool cff = IsOpenTypeCffStream(file);
  std::fclose(file);
  return cff;
}

bool IsOpenTypeCffStream(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_SET) != 0) return false;
  // Zero-filled, so a short file (or a zero byte among the four) yields a shorter string that
  // fails the comparison; the count read need not be tested.
  char signature[32] = {};
  (void)std::fread(signature, 1, 4, file);
  return EqualsIgnoringAsciiCase(signature, "OTTO");
}

}  // namespace kc
