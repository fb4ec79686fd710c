#pragma once
// The walk over a mapped font file (a collection "ttcf", or a single "OTTO" font) that finds the
// text of the nameID-13 name record (licence description). Portable: it sees only a pointer to
// the view and its size; the Windows reader maps the file (collection_reader-win32.cc).
//
// Every structure (collection offsets, table directory, name header, name records, strings) is
// checked to lie within the file before it is read; one that does not fit ends the read with
// false. Counts from the file size nothing before the bytes they describe are known to exist,
// and the number of records examined per file is bounded, so hostile files cost little.

#include <cstdint>
#include <vector>

#include "fontid/ansi_converter.h"
#include "fontid/description_tag.h"

namespace kc {

class CNameTagCtrl {
 public:
  // Upper bound on table and name records examined in one file: far beyond any real collection
  // (a few dozen fonts of a few hundred records), and small enough to stay quick on hostile files
  // whose fonts all point at one huge name table.
  static constexpr int64_t kRecordBudget = int64_t{1} << 22;

  explicit CNameTagCtrl(AnsiConverter toAnsi);
  virtual ~CNameTagCtrl();
  CNameTagCtrl(const CNameTagCtrl&) = delete;
  CNameTagCtrl& operator=(const CNameTagCtrl&) = delete;

  // Reads the file of `fileSize` bytes at `view`. On true, the first kDescriptionMax bytes of
  // `nameTag` hold the description text of the last nameID-13 record in file order (zero bytes
  // when no font has one). False for a file shorter than 4 bytes, one beginning neither "OTTO"
  // nor "ttcf", a font without tables or without a name table, a structure that does not fit in
  // the file, or a description longer than kDescriptionMax bytes. `view` is borrowed for the call.
  bool ReadNameTag(int32_t fileSize, const unsigned char* view, char* nameTag);

  // The steps of ReadNameTag; they need the view that ReadNameTag has set.
  bool ReadCollection();
  bool ReadCollectionHeader();
  bool ReadFontNameTag(uint32_t fontOffset);

 private:
  bool Fits(uint64_t offset, uint64_t length) const;
  uint16_t U16At(uint64_t offset) const;  // callers have checked Fits
  uint32_t U32At(uint64_t offset) const;
  bool Spend(int64_t records);
  bool TakeMacintoshText(uint64_t start, uint16_t length);
  bool TakeUnicodeText(uint64_t start, uint16_t length);
  void Clear();

  char m_pszNameTag[kDescriptionMax + 1];
  int32_t m_nNameTagMax;
  int32_t m_nFileSize;
  const unsigned char* m_pView;
  int32_t m_nFontCount;
  std::vector<uint32_t> m_aFontOffsets;
  AnsiConverter m_toAnsi;
  int64_t m_nRecordsLeft;
};

}  // namespace kc
