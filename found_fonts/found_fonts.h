#pragma once
// Records of the product fonts that the search finds. Records are plain values: copied whole into
// and out of the lists (the OpenType list below, the collection list of
// discovery/collection_font_list.h), no pointers. Headers only: the readers fill these records
// and the removal acts on them, neither of them knowing the walk.

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/path_buffer.h"
#include "common/result_code.h"

namespace kc {

// A path buffer's size: a font's path on a deep tree is held whole (up to the ANSI path limit).
constexpr int kOpenTypePathSize = static_cast<int>(kPathBufferSize);
constexpr int kFullNameSize = 256;
constexpr int kCollectionPathSize = static_cast<int>(kPathBufferSize);
// A name as the result list and the log show it: UTF-8, up to 255 UTF-16 units of a name (three
// bytes each at most), and its terminating zero.
constexpr int kDisplayNameSize = 768;
// The four bytes of a description tag and a terminating zero.
constexpr int kTagSize = 5;

// Description-tag kinds (see fontid/description_tag.h), one type for both records: 0 to 2 for an
// OpenType font, -1, 3 and 4 for a collection. A kind is neither a result code nor a count.
enum FontKind : int16_t {
  kKindNotIdentified = -1,  // a collection not (yet) identified
  kKindNone = 0,
  kKindOtherVendor = 1,  // recognised, never removed
  kKindProductOpenType = 2,
  kKindProductCollectionCov = 3,
  kKindProductCollection = 4,
};

// What the removal that followed the recording did with the file. A font is recorded first and
// removed second, so one whose removal failed is still listed, apart from those removed. Zero, the
// state of a cleared record, is "still on disk": nothing counts as removed until it is. The one
// type of the outcome: the removals give it, the result list and the run's log tell it.
enum class RemovalOutcome : uint8_t {
  kStillOnDisk = 0,   // the file stays: it could neither be deleted nor scheduled for deletion
  kRemoved,           // the file is gone
  kRemovedAtRestart,  // in use: Windows deletes it when the PC next restarts
};

// One .otf product font. Cleared to zero before each use, so a font without a description
// keeps kind 0 and one without a usable full name keeps an empty fullName.
// `path` and `fullName` are code page 932 text; a path's characters that code page lacks are '?'
// there, since the walk holds the path as Windows stores it and opens nothing by this spelling.
struct OpenTypeFontRecord {
  char path[kOpenTypePathSize];
  char fullName[kFullNameSize];
  // The name shown and logged, UTF-8: the font's Unicode (Windows, Japanese) full name where it
  // has one, else fullName read as code page 932; for a name taken from the file, that name.
  char displayName[kDisplayNameSize];
  FontKind kind;
  // The tag that decided `kind` (empty when no description of four bytes or more was read), for
  // the run's log.
  char tag[kTagSize];
  RemovalOutcome outcome;
};

// One .ttc product font; the result list shows its fileName (no directory, no extension).
struct CollectionFontRecord {
  char path[kCollectionPathSize];
  char fileName[kCollectionPathSize];
  char displayName[kDisplayNameSize];  // fileName as Windows stores it, UTF-8
  FontKind kind;
  char tag[kTagSize];      // the product tag that identified it
  RemovalOutcome outcome;  // as for OpenTypeFontRecord
};

// Order of discovery; duplicates stay. Appending copies the record; a failed append throws a
// standard-library exception and leaves the list unchanged (vector::push_back is strong-safe).
using OpenTypeFontList = std::vector<OpenTypeFontRecord>;

// Clears path, fileName and tag over their full length, sets kind to "not identified" and outcome
// to kStillOnDisk. Returns 0.
inline ResultCode InitCollectionFontRecord(CollectionFontRecord& record) {
  std::memset(record.path, 0, sizeof record.path);
  std::memset(record.fileName, 0, sizeof record.fileName);
  std::memset(record.displayName, 0, sizeof record.displayName);
  std::memset(record.tag, 0, sizeof record.tag);
  record.kind = kKindNotIdentified;
  record.outcome = RemovalOutcome::kStillOnDisk;
  return kOk;
}

}  // namespace kc
