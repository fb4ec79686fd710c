#pragma once
// Builds font files for tests: OpenType CFF ("OTTO"), TrueType-flavoured (00 01 00 00) and
// collections ("ttcf") with any name records, laid out as the OpenType format defines them
// (big-endian, table offsets absolute, also inside a collection). Hostile variants come from the
// override fields (counts and offsets that lie) and from patching or truncating the built bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kc::testfonts {

constexpr uint32_t kOttoVersion = 0x4F54544F;      // "OTTO"
constexpr uint32_t kTrueTypeVersion = 0x00010000;

constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kMacLanguageEnglish = 0;
constexpr uint16_t kMacLanguageJapanese = 11;
constexpr uint16_t kMacEncodingJapanese = 1;
constexpr uint16_t kWindowsEncodingUnicodeBmp = 1;
constexpr uint16_t kWindowsLanguageEnUs = 0x0409;
constexpr uint16_t kWindowsLanguageJaJp = 0x0411;
constexpr uint16_t kNameIdFullName = 4;
constexpr uint16_t kNameIdDescription = 13;

struct NameRecord {
  uint16_t platformID = kPlatformMacintosh;
  uint16_t encodingID = 0;
  uint16_t languageID = 0;
  uint16_t nameID = kNameIdDescription;
  std::string bytes;                         // the string's raw bytes, stored as they stand
  std::optional<uint16_t> lengthOverride;    // a length that lies about the stored bytes
  std::optional<uint16_t> offsetOverride;    // an offset from the storage base that lies
};

// A Macintosh record with the bytes as they stand (Roman or Shift-JIS text).
NameRecord MacName(uint16_t nameID, uint16_t languageID, const std::string& bytes);
// A Windows Unicode record, the text stored as UTF-16 big-endian.
NameRecord WindowsName(uint16_t nameID, const std::u16string& text,
                       uint16_t languageID = kWindowsLanguageEnUs);
std::string Utf16BigEndian(const std::u16string& text);
// Shorthands of the readers' tests: a description (nameID 13) on either platform, a font of names.
NameRecord WindowsDescription(const std::u16string& text);
NameRecord MacDescription(const std::string& text);

struct FontSpec {
  uint32_t sfntVersion = kOttoVersion;
  std::vector<NameRecord> names;
  bool withNameTable = true;
  int tablesBeforeName = 2;   // small dummy tables ahead of "name", so the directory walk has work
  int tablesAfterName = 1;
  std::optional<uint16_t> numTablesOverride;
  std::optional<uint16_t> nameCountOverride;
  std::optional<uint16_t> stringOffsetOverride;
};

FontSpec FontWith(std::vector<NameRecord> names);

// One font at file offset 0.
std::string BuildFont(const FontSpec& font);
// The bytes of one font whose offset table lies at `base` in a larger file (table offsets are
// absolute), for files laid out by hand.
std::string BuildFontAt(const FontSpec& font, uint32_t base);

// A "ttcf" collection of the fonts in order; each font's tables follow its own directory.
std::string BuildCollection(const std::vector<FontSpec>& fonts,
                            std::optional<uint32_t> numFontsOverride = std::nullopt);

// Where the structures of a built file lie (font at `fontOffset`), for tests that corrupt them.
uint32_t ReadU32At(const std::string& bytes, size_t offset);
uint16_t ReadU16At(const std::string& bytes, size_t offset);
void PutU16(std::string& bytes, size_t offset, uint16_t value);
void PutU32(std::string& bytes, size_t offset, uint32_t value);
// Offset of the "name" table of the font whose offset table lies at fontOffset (0 when none).
uint32_t NameTableOffset(const std::string& bytes, uint32_t fontOffset = 0);
// Where that table's bytes end (tables are padded to 4 bytes; the padding is not the table's).
uint32_t NameTableEnd(const std::string& bytes, uint32_t fontOffset = 0);
// Offset of the font at `index` in a collection's header.
uint32_t CollectionFontOffset(const std::string& bytes, uint32_t index);

// The usual shapes of the program's fixtures: an "OTTO" font with a Macintosh Japanese full name
// and a Macintosh description beginning with `tag`; a collection of two fonts whose second carries
// a Windows (UTF-16) description beginning with `tag` (ASCII).
std::string BuildTaggedOpenType(const std::string& fullName, const std::string& tag);
std::string BuildTaggedCollection(const std::string& tag);

// Writes the bytes to `path` (created or replaced); false when that fails.
bool WriteFontFile(const std::string& path, const std::string& bytes);

}  // namespace kc::testfonts
