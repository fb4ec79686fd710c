#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "fontid/ansi_converter.h"

namespace kc {
namespace {

struct WindowsMapping {
  char16_t unit;
  const char* bytes;
};

// Where Windows' code page 932 (WideCharToMultiByte with its best-fit mappings) and glibc's CP932
// part ways, compared unit by unit over the whole Basic Multilingual Plane under Wine 8: best-fit
// mappings that iconv lacks, and five units that iconv maps and Windows turns into '?'. Every
// other unit iconv cannot convert is '?' on Windows. Sorted by unit.
constexpr WindowsMapping kWindowsMappings[] = {
    {0x0080, "\x80"}, {0x00A1, "!"}, {0x00A6, "|"}, {0x00A9, "c"}, {0x00AA, "a"}, {0x00AB, "\x81\xE1"},
    {0x00AD, "-"}, {0x00AE, "R"}, {0x00AF, "\x81\x50"}, {0x00B2, "2"}, {0x00B3, "3"},
    {0x00B5, "\x83\xCA"}, {0x00B7, "\x81\x45"}, {0x00B8, "\x81\x43"}, {0x00B9, "1"}, {0x00BA, "o"},
    {0x00BB, "\x81\xE2"}, {0x00C0, "A"}, {0x00C1, "A"}, {0x00C2, "A"}, {0x00C3, "A"}, {0x00C4, "A"},
    {0x00C5, "A"}, {0x00C6, "A"}, {0x00C7, "C"}, {0x00C8, "E"}, {0x00C9, "E"}, {0x00CA, "E"},
    {0x00CB, "E"}, {0x00CC, "I"}, {0x00CD, "I"}, {0x00CE, "I"}, {0x00CF, "I"}, {0x00D0, "D"},
    {0x00D1, "N"}, {0x00D2, "O"}, {0x00D3, "O"}, {0x00D4, "O"}, {0x00D5, "O"}, {0x00D6, "O"},
    {0x00D8, "O"}, {0x00D9, "U"}, {0x00DA, "U"}, {0x00DB, "U"}, {0x00DC, "U"}, {0x00DD, "Y"},
    {0x00DE, "T"}, {0x00DF, "s"}, {0x00E0, "a"}, {0x00E1, "a"}, {0x00E2, "a"}, {0x00E3, "a"},
    {0x00E4, "a"}, {0x00E5, "a"}, {0x00E6, "a"}, {0x00E7, "c"}, {0x00E8, "e"}, {0x00E9, "e"},
    {0x00EA, "e"}, {0x00EB, "e"}, {0x00EC, "i"}, {0x00ED, "i"}, {0x00EE, "i"}, {0x00EF, "i"},
    {0x00F0, "d"}, {0x00F1, "n"}, {0x00F2, "o"}, {0x00F3, "o"}, {0x00F4, "o"}, {0x00F5, "o"},
    {0x00F6, "o"}, {0x00F8, "o"}, {0x00F9, "u"}, {0x00FA, "u"}, {0x00FB, "u"}, {0x00FC, "u"},
    {0x00FD, "y"}, {0x00FE, "t"}, {0x00FF, "y"}, {0x2014, "?"}, {0x2016, "?"}, {0x203E, "?"},
    {0x2212, "?"}, {0x301C, "?"}, {0x3094, "\x83\x94"}, {0xF8F0, "\xA0"}, {0xF8F1, "\xFD"},
    {0xF8F2, "\xFE"}, {0xF8F3, "\xFF"},
};

const char* WindowsMappingOf(char16_t unit) {
  const WindowsMapping* end = std::end(kWindowsMappings);
  const WindowsMapping* found = std::lower_bound(
      std::begin(kWindowsMappings), end, unit,
      [](const WindowsMapping& mapping, char16_t wanted) { return mapping.unit < wanted; });
  return found != end && found->unit == unit ? found->bytes : nullptr;
}

// Writes one unit's code page 932 bytes (one or two) into `bytes` and returns their count.
int ConvertUnit(iconv_t converter, char16_t unit, char (&bytes)[2]) {
  if (unit < 0x80) {
    bytes[0] = static_cast<char>(unit);
    return 1;
  }
  if (const char* mapped = WindowsMappingOf(unit)) {
    const int length = static_cast<int>(std::strlen(mapped));
    std::memcpy(bytes, mapped, static_cast<size_t>(length));
    return length;
  }
  // Windows converts each half of a surrogate pair on its own, to '?'; iconv would pair them.
  const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
  char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};  // UTF-16LE
  char* inPos = in;
  size_t inLeft = sizeof in;
  char* outPos = bytes;
  size_t outLeft = sizeof bytes;
  if (surrogate || iconv(converter, &inPos, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1)) {
    bytes[0] = '?';
    return 1;
  }
  return static_cast<int>(sizeof bytes - outLeft);
}

// Every unit's bytes, worked out once per process: a conversion is then as cheap as Windows' own
// table lookup, which the fuzzers, feeding many texts, need.
struct UnitTable {
  bool ready = false;
  char bytes[0x10000][2] = {};
  unsigned char length[0x10000] = {};
};

const UnitTable& Cp932Units() {
  static const UnitTable* const table = [] {
    static UnitTable built;
    const iconv_t converter = iconv_open("CP932", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return &built;  // not ready: conversions fail
    for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
      built.length[unit] = static_cast<unsigned char>(
          ConvertUnit(converter, static_cast<char16_t>(unit), built.bytes[unit]));
    }
    iconv_close(converter);
    built.ready = true;
    return &built;
  }();
  return *table;
}

}  // namespace

int ConvertToAnsiCodePage(const char16_t* text, int unitCount, char* out, int outSize) {
  const UnitTable& units = Cp932Units();
  if (!units.ready) return 0;
  int written = 0;
  for (int i = 0; i < unitCount && text[i] != 0; ++i) {
    const int length = units.length[text[i]];
    if (out != nullptr) {
      if (written + length >= outSize) return 0;  // no room for these bytes and the zero
      std::memcpy(out + written, units.bytes[text[i]], static_cast<size_t>(length));
    }
    written += length;
  }
  if (out != nullptr) {
    if (written >= outSize) return 0;
    out[written] = '\0';
  }
  return written + 1;
}

}  // namespace kc
