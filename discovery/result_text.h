#pragma once
// The text of the result dialog, in up to three parts, each font on a line of its own, OpenType
// fonts first, then collections, each in the order found, every line ending in CR LF:
//   1. the fonts removed now, without a heading;
//   2. the fonts in use that Windows deletes at the next restart, after `removedAtRestartHeading`;
//   3. the fonts still on disk (neither deleted nor scheduled), after `notRemovedHeading`.
// A part without fonts is left out; an empty line sets each heading apart from what precedes it.
// A run that removed everything it found gives just the list, and one that found nothing "".
// The text is UTF-16, as the result dialog hands it to Windows (natively, one wchar_t a character).

#include <string>

#include "found_fonts/found_fonts.h"

namespace kc {

// Reads the collection list through GetCollectionFontCount / GetCollectionFont.
std::wstring BuildResultText(const OpenTypeFontList& openTypeFonts, const std::wstring& removedAtRestartHeading,
                             const std::wstring& notRemovedHeading);

}  // namespace kc
