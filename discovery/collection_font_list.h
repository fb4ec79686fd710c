#pragma once
// The list of the product collections the walk finds, kept until the result is shown. The walk
// owns it; the readers and the removal only fill and act on its records (found_fonts/found_fonts.h).

#include <cstdint>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

// The list is module-level: it lives for the whole process.

// Appends a copy at the back. Throws std::bad_alloc or std::length_error, leaving the list as it was.
ResultCode AppendCollectionFont(const CollectionFontRecord& record);

int32_t GetCollectionFontCount();

// Copies the element at `position` (0 = front) into `record` and returns 0. Returns
// kCollectionIndexOutOfRange for a negative position or one past the count, kCollectionIndexAtEnd
// for position == count; `record` is untouched then.
ResultCode GetCollectionFont(int32_t position, CollectionFontRecord& record);

// Notes the outcome of the removal of the element appended last (the search records a font first
// and removes it afterwards). Does nothing on an empty list.
void SetLastCollectionFontOutcome(RemovalOutcome outcome);

void ClearCollectionFontList();

}  // namespace kc
