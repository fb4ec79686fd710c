#pragma once
// Collections built to make a reader work hard for their size: one font listed many times, and
// fonts whose structures overlap so that each reuses the bytes of the others. The readers' tests,
// the fuzzers' seeds and the benchmark share them.

#include <cstdint>
#include <string>

namespace kc::testfonts {

// A collection whose header lists one font `fontCount` times; that font's name table holds
// `recordCount` Windows nameID-13 records that all point at one UTF-16 string, `text`.
// (840, 5000, 64 ASCII letters) is 64 KB. (100, 65535, the same) is 787 KB; there the 16-bit
// string offsets cannot reach past the records, so the strings are made of record bytes.
std::string BuildRepeatedFontCollection(uint32_t fontCount, uint16_t recordCount,
                                        const std::u16string& text);

// `fontCount` fonts with directories of their own, whose name tables lie 12 bytes apart, so that
// each table's records are the next table's too: `recordCount` Windows nameID-13 records per
// table, each a string of `recordCount` bytes holding one katakana and a zero unit.
// fontCount + recordCount may be at most 10,922. Read naively, the records examined grow with
// the square of the file's size.
std::string BuildOverlappingNameTables(uint32_t fontCount, uint16_t recordCount);

// `fontCount` fonts whose offset tables lie 16 bytes apart inside one long table directory, so
// that each walks every directory record after its own to the one "name" record at the end
// (whose table holds the description "KCOV"). Read naively, the records examined grow with the
// square of the file's size.
std::string BuildOverlappingDirectories(uint32_t fontCount);

}  // namespace kc::testfonts
