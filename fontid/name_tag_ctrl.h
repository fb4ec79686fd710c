#pragma once
// The walk over a mapped font file (a collection "ttcf", or a single "OTTO" font) that finds the
// text of the nameID-13 name record (licence description). Portable: it sees only a pointer to
// the view and its size; the Windows reader maps the file (collection_reader-win32.cc).
//
// Every structure (collection offsets, table directory, name header, name records, strings) is
// checked to lie within the file before it is read; one that does not fit ends the read with
// false. Counts from the file size nothing before the bytes they describe are known to exist.
//
// The work is bounded by the file's size, so that no file can stall the search:
// - a font listed more than once in the collection header, and a name table that several fonts
//   point at, are read once: reading them again could only give the same outcome;
// - the table and name records examined in one file number at most fileSize / 12, as many
//   12-byte records as the file holds; fonts whose structures do not overlap never reach that,
//   so only a file whose fonts reuse each other's bytes runs out, and it fails (false);
// - a Unicode text is looked at only as far as it can still fit, and converted to the ANSI code
//   page at most once per record to measure it; only the winning record's text is kept.

#include <cstdint>
#include <vector>

#include "fontid/ansi_converter.h"
#include "fontid/description_tag.h"

namespace kc {

class CNameTagCtrl {
 public:
  explicit CNameTagCtrl(AnsiConverter toAnsi);
  virtual ~CNameTagCtrl();
  CNameTagCtrl(const CNameTagCtrl&) = delete;
  CNameTagCtrl& operator=(const CNameTagCtrl&) = delete;

  // Reads the file of `fileSize` bytes at `view`. On true, the first kDescriptionMax bytes of
  // `nameTag` hold the description text of the last nameID-13 record of the last font in header
  // order that has one (zero bytes when no font has one). False for a file shorter than 4 bytes,
  // one beginning neither "OTTO" nor "ttcf", a font without tables or without a name table, a
  // structure that does not fit in the file, a description longer than kDescriptionMax bytes,
  // a file that runs out of records to examine (see above), or memory running out.
  // `view` is borrowed for the call.
  bool ReadNameTag(int32_t fileSize, const unsigned char* view, char* nameTag);

  // The steps of ReadNameTag; they need the view that ReadNameTag has set.
  bool ReadCollection();
  bool ReadCollectionHeader();
  bool ReadFontNameTag(uint32_t fontOffset);

  // Unicode units of one text looked at: every unit converts to at least one byte (one that the
  // code page lacks to '?'), or every surrogate pair where a system converts the pair as one, so
  // a text still going after this many units cannot fit kDescriptionMax bytes.
  static constexpr int kUnitsExamined = 2 * (kDescriptionMax + 1);

 private:
  // Where one nameID-13 record's text lies: only the record that wins is converted for keeps.
  struct DescriptionRecord {
    bool present;
    bool macintosh;
    uint64_t start;
    uint16_t length;
  };

  bool FindNameTable(uint32_t fontOffset, uint32_t& nameTable);
  bool ReadNameTable(uint32_t nameTable, DescriptionRecord& last);
  int GatherUnits(uint64_t start, uint16_t length, char16_t (&units)[kUnitsExamined]) const;
  bool UnicodeTextFits(uint64_t start, uint16_t length) const;
  void TakeText(const DescriptionRecord& record);
  bool Fits(uint64_t offset, uint64_t length) const;
  uint16_t U16At(uint64_t offset) const;  // callers have checked Fits
  uint32_t U32At(uint64_t offset) const;
  bool Spend(int64_t records);
  void Clear();

  char m_pszNameTag[kDescriptionMax + 1];
  int32_t m_nNameTagMax;
  int32_t m_nFileSize;
  const unsigned char* m_pView;
  int32_t m_nFontCount;
  std::vector<uint32_t> m_aFontOffsets;
  AnsiConverter m_toAnsi;
  int64_t m_nRecordsLeft;
  DescriptionRecord m_description;  // the record whose text the read hands out
};

}  // namespace kc
