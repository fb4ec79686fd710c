#pragma once
// Decides whether a .ttc file is one of the product's collections: maps the file read-only,
// reads the nameID-13 text of its fonts (the last one in file order wins) and classifies its tag.

#include <cstdint>

#include "common/result_code.h"
#include "discovery/found_fonts.h"

namespace kc {

// Reads the file named by record.path through one open and a read-only mapping of it. Returns 0
// with record.kind 3 or 4 and record.tag for a product collection, or
//   kCollectionOpenFailed (-1076)      the file cannot be opened (missing, no access, or held
//                                      open by another process that shares no reading: a file
//                                      held with read sharing is read through an open that
//                                      shares all access);
//   kCollectionMapFailed (-8011)       the mapping or its view cannot be made (an empty file too);
//   kCollectionMalformed (-8012)       the file cannot be read as fonts (see CNameTagCtrl);
//   kUnknownCollectionTag (-8009)      no product tag (also when no font has a description).
// kind and tag keep their values on every failure. Nothing of the file is held open on return.
ResultCode ReadCollectionNameTag(CollectionFontRecord& record);

// Resets the record, copies `path` and `baseName` (file name without directory and extension)
// into it and returns ReadCollectionNameTag's result. A path that does not fit its buffer gives
// kCollectionOpenFailed (cut, it would name another file); a base name is cut to its buffer.
ResultCode IdentifyCollectionFont(const char* path, const char* baseName, CollectionFontRecord& record);

}  // namespace kc
