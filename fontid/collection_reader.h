#pragma once
// Decides whether a .ttc file is one of the product's collections: maps the file read-only,
// reads the nameID-13 text of its fonts (the last one in file order wins) and classifies its tag.

#include <cstdint>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

class OpenFontFile;

// Reads `file` (common/open_font_file-win32.h, opened by the walk, which removes through it what
// is identified here) through a read-only mapping of it. Returns 0 with record.kind 3 or 4 and
// record.tag for a product collection, or
//   kCollectionOpenFailed (-1076)      the file is not open (missing, no access, or held open by
//                                      another process that shares no reading);
//   kCollectionMapFailed (-8011)       the mapping or its view cannot be made (an empty file too);
//   kCollectionMalformed (-8012)       the file cannot be read as fonts (see CNameTagCtrl);
//   kUnknownCollectionTag (-8009)      no product tag (also when no font has a description).
// kind and tag keep their values on every failure. The file stays open; the mapping and its view
// are closed on return, so nothing else of the file is held when it is removed.
ResultCode ReadCollectionNameTag(const OpenFontFile& file, CollectionFontRecord& record);

// Resets the record, copies `path` (its code page 932 spelling: never opened) and `baseName` (file
// name without directory and extension) into it and returns ReadCollectionNameTag's result for
// `file`, the open file at that path. A path
// that does not fit its buffer gives kCollectionOpenFailed (cut, it would name another file); a
// base name is cut to its buffer.
ResultCode IdentifyCollectionFont(const OpenFontFile& file, const char* path, const char* baseName,
                                  CollectionFontRecord& record);

// The same, opening `path` (UTF-16) itself and closing it on return; `ansiPath` is its spelling
// for the record.
ResultCode IdentifyCollectionFont(const wchar_t* path, const char* ansiPath, const char* baseName,
                                  CollectionFontRecord& record);

}  // namespace kc
