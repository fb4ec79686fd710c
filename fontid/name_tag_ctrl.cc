#include "fontid/name_tag_ctrl.h"

#include <cstring>
#include <new>
#include <string>

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

}  // namespace

CNameTagCtrl::CNameTagCtrl(AnsiConverter toAnsi)
    : m_pszNameTag{}, m_nNameTagMax(0), m_nFileSize(0), m_pView(nullptr), m_nFontCount(0),
      m_toAnsi(toAnsi), m_nRecordsLeft(0) {}

CNameTagCtrl::~CNameTagCtrl() { Clear(); }

void CNameTagCtrl::Clear() {
  std::memset(m_pszNameTag, 0, sizeof m_pszNameTag);
  m_aFontOffsets.clear();
  m_nNameTagMax = 0;
  m_nFileSize = 0;
  m_nFontCount = 0;
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
  m_nRecordsLeft = kRecordBudget;

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
    // Memory for the offsets or a Unicode string ran out: the file cannot be judged.
    found = false;
  }
  if (found) std::memcpy(nameTag, m_pszNameTag, kDescriptionMax);
  m_pView = nullptr;
  return found;
}

bool CNameTagCtrl::ReadCollection() {
  if (!ReadCollectionHeader()) return false;
  for (uint32_t fontOffset : m_aFontOffsets) {
    if (!ReadFontNameTag(fontOffset)) return false;
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
  if (!Fits(fontOffset, kOffsetTableSize)) return false;
  const uint16_t numTables = U16At(fontOffset + 4);
  if (numTables == 0) return false;

  bool haveNameTable = false;
  uint32_t nameTable = 0;
  for (uint16_t i = 0; i < numTables && !haveNameTable; ++i) {
    const uint64_t record = fontOffset + kOffsetTableSize + kTableRecordSize * i;
    if (!Spend(1) || !Fits(record, kTableRecordSize)) return false;
    if (std::memcmp(m_pView + record, "name", 4) == 0) {
      haveNameTable = true;
      nameTable = U32At(record + 8);
    }
  }
  if (!haveNameTable) return false;

  if (!Fits(nameTable, kNameHeaderSize)) return false;
  const uint16_t count = U16At(nameTable + 2);
  const uint16_t stringOffset = U16At(nameTable + 4);
  const uint64_t storageBase = static_cast<uint64_t>(nameTable) + stringOffset;

  // Every nameID-13 record replaces the text of the one before, so the last one in order wins.
  for (uint16_t j = 0; j < count; ++j) {
    const uint64_t record = nameTable + kNameHeaderSize + kNameRecordSize * j;
    if (!Spend(1) || !Fits(record, kNameRecordSize)) return false;
    if (U16At(record + 6) != kNameIdDescription) continue;
    const uint16_t platformID = U16At(record);
    const uint16_t length = U16At(record + 8);
    const uint64_t start = storageBase + U16At(record + 10);
    const bool taken = platformID == kPlatformMacintosh ? TakeMacintoshText(start, length)
                                                        : TakeUnicodeText(start, length);
    if (!taken) return false;
  }
  return true;
}

// Macintosh strings are single-byte or Shift-JIS text, taken as they stand.
bool CNameTagCtrl::TakeMacintoshText(uint64_t start, uint16_t length) {
  if (length > m_nNameTagMax || !Fits(start, length)) return false;
  std::memset(m_pszNameTag, 0, sizeof m_pszNameTag);
  std::memcpy(m_pszNameTag, m_pView + start, length);
  return true;
}

// Other platforms store UTF-16 big-endian; the text must fit m_nNameTagMax bytes once converted.
bool CNameTagCtrl::TakeUnicodeText(uint64_t start, uint16_t length) {
  if (!Fits(start, length)) return false;
  const int unitCount = length / 2;
  std::u16string units(static_cast<size_t>(unitCount), u'\0');
  for (int i = 0; i < unitCount; ++i) units[i] = static_cast<char16_t>(U16At(start + 2 * i));
  const int needed = m_toAnsi(units.data(), unitCount, nullptr, 0);
  if (needed - 1 > m_nNameTagMax) return false;
  std::memset(m_pszNameTag, 0, sizeof m_pszNameTag);
  if (needed > 0) m_toAnsi(units.data(), unitCount, m_pszNameTag, needed);
  return true;
}

}  // namespace kc
