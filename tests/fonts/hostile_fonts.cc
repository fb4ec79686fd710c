#include "tests/fonts/hostile_fonts.h"

#include <vector>

#include "tests/fonts/font_builder.h"

namespace kc::testfonts {
namespace {

constexpr uint32_t kCollectionHeaderSize = 12;
constexpr uint32_t kOffsetTableSize = 12;
constexpr uint32_t kTableRecordSize = 16;
constexpr uint32_t kNameRecordSize = 12;

std::string U16(uint16_t value) {
  std::string out(2, '\0');
  PutU16(out, 0, value);
  return out;
}

std::string U32(uint32_t value) {
  std::string out(4, '\0');
  PutU32(out, 0, value);
  return out;
}

std::string CollectionHeader(const std::vector<uint32_t>& fontOffsets) {
  std::string out = "ttcf" + U32(0x00010000) + U32(static_cast<uint32_t>(fontOffsets.size()));
  for (uint32_t offset : fontOffsets) out += U32(offset);
  return out;
}

std::string OffsetTable(uint16_t numTables) { return "OTTO" + U16(numTables) + U16(0) + U16(0) + U16(0); }

std::string TableRecord(const char* tag, uint32_t offset) { return tag + U32(0) + U32(offset) + U32(0); }

}  // namespace

std::string BuildRepeatedFontCollection(uint32_t fontCount, uint16_t recordCount,
                                        const std::u16string& text) {
  FontSpec font;
  font.names.assign(recordCount, WindowsDescription(u""));
  for (NameRecord& record : font.names) {
    record.lengthOverride = static_cast<uint16_t>(2 * text.size());
    record.offsetOverride = 0;  // every record points at the first one's string
  }
  if (recordCount > 0) font.names[0] = WindowsDescription(text);
  const uint32_t fontOffset = kCollectionHeaderSize + 4 * fontCount;
  return CollectionHeader(std::vector<uint32_t>(fontCount, fontOffset)) + BuildFontAt(font, fontOffset);
}

std::string BuildOverlappingNameTables(uint32_t fontCount, uint16_t recordCount) {
  const uint32_t firstDirectory = kCollectionHeaderSize + 4 * fontCount;
  const uint32_t directorySize = kOffsetTableSize + kTableRecordSize;
  const uint32_t firstTable = firstDirectory + directorySize * fontCount;
  std::vector<uint32_t> fontOffsets;
  std::string directories;
  for (uint32_t k = 0; k < fontCount; ++k) {
    fontOffsets.push_back(firstDirectory + directorySize * k);
    directories += OffsetTable(1) + TableRecord("name", firstTable + kNameRecordSize * k);
  }
  // Units of 12 bytes. Table k reads unit k as its header (format, count, stringOffset) and the
  // first half of its first record (platformID, encodingID, languageID); each record's second
  // half (nameID, length, offset) is the next unit's first half. So every record is a Windows
  // description of recordCount bytes at twice stringOffset from its table: after the units.
  const uint32_t unitCount = fontCount + recordCount;
  const uint16_t stringOffset = static_cast<uint16_t>(kNameRecordSize * unitCount / 2);
  const std::string unit =
      U16(13) + U16(recordCount) + U16(stringOffset) + U16(3) + U16(1) + U16(0x0409);
  std::string units;
  for (uint32_t i = 0; i < unitCount; ++i) units += unit;
  // Table k's strings begin 12 k bytes into this area, each a katakana and a zero unit.
  std::string strings;
  for (uint32_t k = 0; k < fontCount; ++k) strings += Utf16BigEndian(u"\u30E9") + std::string(10, '\0');
  strings.append(recordCount, '\0');
  return CollectionHeader(fontOffsets) + directories + units + strings;
}

std::string BuildOverlappingDirectories(uint32_t fontCount) {
  // Directory record i lies at base + 12 + 16 i. The offset table of font k, at base + 16 k, is
  // the last 12 bytes of record k - 1, whose offset field makes its numTables 0xFFFF.
  const uint32_t base = kCollectionHeaderSize + 4 * fontCount;
  std::vector<uint32_t> fontOffsets;
  for (uint32_t k = 0; k < fontCount; ++k) fontOffsets.push_back(base + kTableRecordSize * k);
  const uint32_t recordCount = fontCount + 1;
  const uint32_t nameTable = base + kOffsetTableSize + kTableRecordSize * recordCount;
  std::string out = OffsetTable(0xFFFF);
  for (uint32_t i = 0; i + 1 < recordCount; ++i) out += TableRecord("abcd", 0xFFFF0000);
  out += TableRecord("name", nameTable);
  const std::string description = Utf16BigEndian(u"KCOV");
  out += U16(0) + U16(1) + U16(6 + kNameRecordSize);  // format, count, stringOffset
  out += U16(3) + U16(1) + U16(0x0409) + U16(13) + U16(static_cast<uint16_t>(description.size())) + U16(0);
  return CollectionHeader(fontOffsets) + out + description;
}

}  // namespace kc::testfonts
