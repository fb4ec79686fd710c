#include "tests/fonts/font_builder.h"

#include <cstdio>

namespace kc::testfonts {
namespace {

constexpr size_t kOffsetTableSize = 12;
constexpr size_t kTableRecordSize = 16;
constexpr size_t kNameHeaderSize = 6;
constexpr size_t kNameRecordSize = 12;

const char* const kDummyTags[] = {"CFF ", "OS/2", "head", "hhea", "post", "maxp"};

void AppendU16(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value & 0xFF));
}

void AppendU32(std::string& out, uint32_t value) {
  AppendU16(out, static_cast<uint16_t>(value >> 16));
  AppendU16(out, static_cast<uint16_t>(value & 0xFFFF));
}

void PadTo4(std::string& out) {
  while (out.size() % 4 != 0) out.push_back('\0');
}

std::string BuildNameTable(const FontSpec& font) {
  const size_t count = font.names.size();
  std::string records;
  std::string storage;
  for (const NameRecord& name : font.names) {
    AppendU16(records, name.platformID);
    AppendU16(records, name.encodingID);
    AppendU16(records, name.languageID);
    AppendU16(records, name.nameID);
    AppendU16(records, name.lengthOverride.value_or(static_cast<uint16_t>(name.bytes.size())));
    AppendU16(records, name.offsetOverride.value_or(static_cast<uint16_t>(storage.size())));
    storage += name.bytes;
  }
  std::string table;
  AppendU16(table, 0);  // format
  AppendU16(table, font.nameCountOverride.value_or(static_cast<uint16_t>(count)));
  AppendU16(table, font.stringOffsetOverride.value_or(
                       static_cast<uint16_t>(kNameHeaderSize + kNameRecordSize * count)));
  return table + records + storage;
}

}  // namespace

std::string BuildFontAt(const FontSpec& font, uint32_t base) {
  struct Table {
    std::string tag;
    std::string data;
  };
  std::vector<Table> tables;
  int dummy = 0;
  for (int i = 0; i < font.tablesBeforeName; ++i, ++dummy) {
    tables.push_back({kDummyTags[dummy % 6], std::string(4 + dummy, static_cast<char>('a' + dummy))});
  }
  if (font.withNameTable) tables.push_back({"name", BuildNameTable(font)});
  for (int i = 0; i < font.tablesAfterName; ++i, ++dummy) {
    tables.push_back({kDummyTags[dummy % 6], std::string(4 + dummy, static_cast<char>('a' + dummy))});
  }

  std::string out;
  AppendU32(out, font.sfntVersion);
  AppendU16(out, font.numTablesOverride.value_or(static_cast<uint16_t>(tables.size())));
  AppendU16(out, 0);  // searchRange, entrySelector, rangeShift: never read
  AppendU16(out, 0);
  AppendU16(out, 0);
  size_t dataOffset = kOffsetTableSize + kTableRecordSize * tables.size();
  std::string data;
  for (const Table& table : tables) {
    out += table.tag;
    AppendU32(out, 0);  // checkSum
    AppendU32(out, static_cast<uint32_t>(base + dataOffset + data.size()));
    AppendU32(out, static_cast<uint32_t>(table.data.size()));
    data += table.data;
    PadTo4(data);
  }
  return out + data;
}

NameRecord MacName(uint16_t nameID, uint16_t languageID, const std::string& bytes) {
  NameRecord record;
  record.platformID = kPlatformMacintosh;
  record.encodingID = languageID == kMacLanguageJapanese ? kMacEncodingJapanese : 0;
  record.languageID = languageID;
  record.nameID = nameID;
  record.bytes = bytes;
  return record;
}

std::string Utf16BigEndian(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) AppendU16(out, static_cast<uint16_t>(unit));
  return out;
}

NameRecord WindowsName(uint16_t nameID, const std::u16string& text, uint16_t languageID) {
  NameRecord record;
  record.platformID = kPlatformWindows;
  record.encodingID = kWindowsEncodingUnicodeBmp;
  record.languageID = languageID;
  record.nameID = nameID;
  record.bytes = Utf16BigEndian(text);
  return record;
}

std::string BuildFont(const FontSpec& font) { return BuildFontAt(font, 0); }

std::string BuildCollection(const std::vector<FontSpec>& fonts,
                            std::optional<uint32_t> numFontsOverride) {
  std::string out = "ttcf";
  AppendU32(out, 0x00010000);
  AppendU32(out, numFontsOverride.value_or(static_cast<uint32_t>(fonts.size())));
  const size_t headerSize = out.size() + 4 * fonts.size();
  std::string body;
  for (const FontSpec& font : fonts) {
    const uint32_t base = static_cast<uint32_t>(headerSize + body.size());
    AppendU32(out, base);
    body += BuildFontAt(font, base);
    PadTo4(body);
  }
  return out + body;
}

uint16_t ReadU16At(const std::string& bytes, size_t offset) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes.at(offset)) << 8 |
                               static_cast<unsigned char>(bytes.at(offset + 1)));
}

uint32_t ReadU32At(const std::string& bytes, size_t offset) {
  return static_cast<uint32_t>(ReadU16At(bytes, offset)) << 16 | ReadU16At(bytes, offset + 2);
}

void PutU16(std::string& bytes, size_t offset, uint16_t value) {
  bytes.at(offset) = static_cast<char>(value >> 8);
  bytes.at(offset + 1) = static_cast<char>(value & 0xFF);
}

void PutU32(std::string& bytes, size_t offset, uint32_t value) {
  PutU16(bytes, offset, static_cast<uint16_t>(value >> 16));
  PutU16(bytes, offset + 2, static_cast<uint16_t>(value & 0xFFFF));
}

namespace {

size_t NameTableRecord(const std::string& bytes, uint32_t fontOffset) {
  const uint16_t numTables = ReadU16At(bytes, fontOffset + 4);
  for (uint16_t i = 0; i < numTables; ++i) {
    const size_t record = fontOffset + kOffsetTableSize + kTableRecordSize * i;
    if (bytes.compare(record, 4, "name") == 0) return record;
  }
  return 0;
}

}  // namespace

uint32_t NameTableOffset(const std::string& bytes, uint32_t fontOffset) {
  const size_t record = NameTableRecord(bytes, fontOffset);
  return record == 0 ? 0 : ReadU32At(bytes, record + 8);
}

uint32_t NameTableEnd(const std::string& bytes, uint32_t fontOffset) {
  const size_t record = NameTableRecord(bytes, fontOffset);
  return record == 0 ? 0 : ReadU32At(bytes, record + 8) + ReadU32At(bytes, record + 12);
}

uint32_t CollectionFontOffset(const std::string& bytes, uint32_t index) {
  return ReadU32At(bytes, 12 + 4 * static_cast<size_t>(index));
}

bool WriteFontFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

NameRecord WindowsDescription(const std::u16string& text) { return WindowsName(kNameIdDescription, text); }

NameRecord MacDescription(const std::string& text) {
  return MacName(kNameIdDescription, kMacLanguageEnglish, text);
}

FontSpec FontWith(std::vector<NameRecord> names) {
  FontSpec font;
  font.names = std::move(names);
  return font;
}

std::string BuildTaggedOpenType(const std::string& fullName, const std::string& tag) {
  FontSpec font;
  font.names = {MacName(kNameIdFullName, kMacLanguageJapanese, fullName),
                MacName(kNameIdDescription, 0, tag + " licence")};
  return BuildFont(font);
}

std::string BuildTaggedCollection(const std::string& tag) {
  FontSpec plain;
  FontSpec tagged;
  tagged.names = {WindowsName(kNameIdDescription, std::u16string(tag.begin(), tag.end()))};
  return BuildCollection({plain, tagged});
}

}  // namespace kc::testfonts
