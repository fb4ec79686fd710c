#pragma once
// The product marks each of its fonts by a four-byte tag at the start of the nameID-13 text
// (licence description) of the font's name table. This is the one place where the tags live.
//
// A description is a code-page-932 text of at most kDescriptionMax bytes; it ends at its first
// zero byte or after kDescriptionMax bytes. Comparisons are exact bytes: case matters and what
// follows the tag plays no part.

#include <cstdint>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

constexpr int kDescriptionMax = 64;

// OpenType files. Writes `kind` with 1 (another vendor's tag: recognised, left in place),
// 2 (a product tag) or 0 (no known tag). A description shorter than four bytes leaves `kind`
// unchanged, so an earlier nameID-13 record's answer stands. Always returns 0.
ResultCode ClassifyDescriptionTag(const char* description, FontKind& kind);

// Collections. Returns 0 with `kind` 3 ("KCOV") or 4 (the other collection tags), or
// kUnknownCollectionTag, `kind` unchanged, for any other, empty or short description.
ResultCode ClassifyCollectionTag(const char* description, FontKind& kind);

// The same answer in one number, a kind or a code: 3, 4 or kUnknownCollectionTag.
int32_t ClassifyCollectionTag(const char* description);

}  // namespace kc
