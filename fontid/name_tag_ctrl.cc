#include "fontid/name_tag_ctrl.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kc {
namespace {

constexpr uint32_t kTagOtto = 0x4F54544F;  // "OTTO"
constexpr uint32_t kTagTtcf = 0x74746366;  // "ttcf"
constexpr uint64_t kOffsetTableSize = 12;
constexpr uint64_t kTableRecordSize = 16;
constexpr uint64_t kNameHeaderSize = 6;
constexpr uint64_t kNameRecordSize = 12;
constexpr uint64_t kCollectionHeaderSize = 12;
constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kNameIdDescription = 13;

// A font or name-table offset with the last position in the collection header that reaches it.
struct Occurrence {
  uint32_t offset;
  uint32_t lastPosition;
};

// Sorts by offset and keeps one entry per offset, the one with the latest position.
void KeepLastOccurrences(std::vector<Occurrence>& items) {
  std::sort(items.begin(), items.end(), [](const Occurrence& a, const Occurrence& b) {
    return a.offset != b.offset ? a.offset < b.offset : a.lastPosition < b.lastPosition;
  });
  size_t kept = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i + 1 < items.size() && items[i + 1].offset == items[i].offset) continue;
    items[kept++] = items[i];
  }
  items.resize(kept);
}

}  // namespace

CNameTagCtrl::CNameTagCtrl(AnsiConverter toAnsi)
    : m_pszNameTag{}, m_nNameTagMax(0), m_nFileSize(0), m_pView(nullptr), m_nFontCount(0),
      m_toAnsi(toAnsi), m_nRecordsLeft(0), m_description{} {}

CNameTagCtrl::~CNameTagCtrl() { Clear(); }

void CNameTagCtrl::Clear() {
  std::memset(m_pszNameTag, 0, sizeof m_pszNameTag);
  m_aFontOffsets.clear();
  m_nNameTagMax = 0;
  m_nFileSize = 0;
  m_nFontCount = 0;
  m_description = DescriptionRecord{};
}

bool CNameTagCtrl::Fits(uint64_t offset, uint64_t length) const {
  const uint64_t size = m_nFileSize > 0 ? static_cast<uint64_t>(m_nFileSize) : 0;
  return m_pView != nullptr && !(length > size || offset > size - length);
}

uint16_t CNameTagCtrl::U16At(uint64_t offset) const {
  return static_cast<uint16_t>(m_pView[offset] << 8 | m_pView[offset + 1]);
}

uint32_t CNameTagCtrl::U32At(uint64_t offset) const {
  return static_cast<uint32_t>(U16At(offset)) << 16 | U16At(offset + 2);
}

bool CNameTagCtrl::Spend(int64_t records) {
  m_nRecordsLeft -= records;
  return m_nRecordsLeft >= 0;
}

bool CNameTagCtrl::ReadNameTag(int32_t fileSize, const unsigned char* view, char* nameTag) {
  Clear();
  m_pView = view;
  m_nFileSize = fileSize;
  m_nNameTagMax = kDescriptionMax;
  m_nRecordsLeft = fileSize > 0 ? fileSize / static_cast<int64_t>(kNameRecordSize) : 0;

  bool found = false;
  try {
    if (Fits(0, 4)) {
      const uint32_t signature = U32At(0);
      if (signature == kTagOtto) {
        found = ReadFontNameTag(0);
      } else if (signature == kTagTtcf) {
        found = ReadCollection();
      }
    }
  } catch (const std::bad_alloc&) {
    // Memory for the offsets ran out: the file cannot be judged.
    found = false;
  }
  if (found) {
    TakeText(m_description);
    std::memcpy(nameTag, m_pszNameTag, kDescriptionMax);
  }
  m_pView = nullptr;
  return found;
}

// Reading a font gives the same outcome every time, and the text that counts is the one of the
// last font in header order that has one. So each distinct font, then each distinct name table,
// is read once, knowing the last header position that reaches it.
bool CNameTagCtrl::ReadCollection() {
  if (!ReadCollectionHeader()) return false;
  std::vector<Occurrence> fonts;
  fonts.reserve(m_aFontOffsets.size());
  for (size_t i = 0; i < m_aFontOffsets.size(); ++i) {
    fonts.push_back({m_aFontOffsets[i], static_cast<uint32_t>(i)});
  }
  KeepLastOccurrences(fonts);

  std::vector<Occurrence> tables;
  tables.reserve(fonts.size());
  for (const Occurrence& font : fonts) {
    uint32_t nameTable = 0;
    if (!FindNameTable(font.offset, nameTable)) return false;
    tables.push_back({nameTable, font.lastPosition});
  }
  KeepLastOccurrences(tables);

  uint32_t winnerPosition = 0;
  for (const Occurrence& table : tables) {
    DescriptionRecord last{};
    if (!ReadNameTable(table.offset, last)) return false;
    if (last.present && (!m_description.present || table.lastPosition > winnerPosition)) {
      m_description = last;
      winnerPosition = table.lastPosition;
    }
  }
  return true;
}

bool CNameTagCtrl::ReadCollectionHeader() {
  if (!Fits(0, kCollectionHeaderSize)) return false;
  const int32_t numFonts = static_cast<int32_t>(U32At(8));
  if (numFonts <= 0) {
    m_nFontCount = numFonts;
    return true;
  }
  // The offsets must all be in the file before any room is made for them.
  const uint64_t offsetsSize = 4 * static_cast<uint64_t>(numFonts);
  if (!Fits(kCollectionHeaderSize, offsetsSize)) return false;
  m_aFontOffsets.reserve(static_cast<size_t>(numFonts));
  for (int32_t i = 0; i < numFonts; ++i) {
    m_aFontOffsets.push_back(U32At(kCollectionHeaderSize + 4 * static_cast<uint64_t>(i)));
  }
  m_nFontCount = numFonts;
  return true;
}

bool CNameTagCtrl::ReadFontNameTag(uint32_t fontOffset) {
  uint32_t nameTable = 0;
  DescriptionRecord last{};
  if (!FindNameTable(fontOffset, nameTable) || !ReadNameTable(nameTable, last)) return false;
  if (last.present) m_description = last;
  return true;
}

// The offset of the first table tagged "name" in the font's directory.
bool CNameTagCtrl::FindNameTable(uint32_t fontOffset, uint32_t& nameTable) {
  if (!Fits(fontOffset, kOffsetTableSize)) return false;
  const uint16_t numTables = U16At(fontOffset + 4);
  for (uint16_t i = 0; i < numTables; ++i) {
    const uint64_t record = fontOffset + kOffsetTableSize + kTableRecordSize * i;
    if (!Spend(1) || !Fits(record, kTableRecordSize)) return false;
    if (std::memcmp(m_pView + record, "name", 4) == 0) {
      nameTable = U32At(record + 8);
      return true;
    }
  }
  return false;  // no tables, or none of them "name"
}

// Every nameID-13 record replaces the text of the one before, so the last one in order wins; each
// must still be valid, as one that is not fails the whole file.
bool CNameTagCtrl::ReadNameTable(uint32_t nameTable, DescriptionRecord& last) {
  if (!Fits(nameTable, kNameHeaderSize)) return false;
  const uint16_t count = U16At(nameTable + 2);
  const uint16_t stringOffset = U16At(nameTable + 4);
  const uint64_t storageBase = static_cast<uint64_t>(nameTable) + stringOffset;
  const uint64_t firstRecord = nameTable + kNameHeaderSize;
  // A record outside the file fails the file wherever it lies, so all are checked at once.
  if (!Fits(firstRecord, kNameRecordSize * count) || !Spend(count)) return false;

  for (uint16_t j = 0; j < count; ++j) {
    const uint64_t record = firstRecord + kNameRecordSize * j;
    if (U16At(record + 6) != kNameIdDescription) continue;
    const bool macintosh = U16At(record) == kPlatformMacintosh;
    const uint16_t length = U16At(record + 8);
    const uint64_t start = storageBase + U16At(record + 10);
    // Macintosh strings are single-byte or Shift-JIS text, taken as they stand; other platforms
    // store UTF-16 big-endian, which must fit m_nNameTagMax bytes once converted.
    const bool valid = macintosh ? length <= m_nNameTagMax && Fits(start, length)
                                 : Fits(start, length) && UnicodeTextFits(start, length);
    if (!valid) return false;
    last = {true, macintosh, start, length};
  }
  return true;
}

// Copies the text's units up to its first zero unit into `units` and returns their count, or -1
// when the text goes on past kUnitsExamined units (too long to fit, see there).
int CNameTagCtrl::GatherUnits(uint64_t start, uint16_t length,
                              char16_t (&units)[kUnitsExamined]) const {
  const int unitCount = length / 2;  // an odd last byte is no unit
  for (int i = 0; i < unitCount; ++i) {
    const char16_t unit = static_cast<char16_t>(U16At(start + 2 * static_cast<uint64_t>(i)));
    if (unit == 0) return i;
    if (i == kUnitsExamined) return -1;
    units[i] = unit;
  }
  return unitCount;
}

bool CNameTagCtrl::UnicodeTextFits(uint64_t start, uint16_t length) const {
  char16_t units[kUnitsExamined];
  const int unitCount = GatherUnits(start, length, units);
  if (unitCount < 0) return false;
  // Every ANSI code page keeps ASCII as it stands, a byte a unit: such text needs no converter
  // to be measured.
  const bool ascii = std::all_of(units, units + unitCount, [](char16_t unit) { return unit < 0x80; });
  // A failed conversion (0) measures as an empty text, as WideCharToMultiByte leaves it.
  const int bytes = ascii ? unitCount : m_toAnsi(units, unitCount, nullptr, 0) - 1;
  return bytes <= m_nNameTagMax;
}

void CNameTagCtrl::TakeText(const DescriptionRecord& record) {
  std::memset(m_pszNameTag, 0, sizeof m_pszNameTag);
  if (!record.present) return;
  if (record.macintosh) {
    std::memcpy(m_pszNameTag, m_pView + record.start, record.length);
    return;
  }
  char16_t units[kUnitsExamined];
  const int unitCount = GatherUnits(record.start, record.length, units);
  if (unitCount < 0) return;  // cannot happen: the record was measured before it could win
  const int needed = m_toAnsi(units, unitCount, nullptr, 0);
  if (needed > 0 && needed <= static_cast<int>(sizeof m_pszNameTag)) {
    m_toAnsi(units, unitCount, m_pszNameTag, needed);
  }
}

}  // namespace kc
