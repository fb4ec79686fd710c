#pragma once
// The text of the result dialog: the fonts the run removed, one per line, OpenType fonts first,
// then collections, each in the order found, every line ending in CR LF. Fonts that were found
// but are still on disk (their removal failed) are never listed as removed: they follow apart,
// under `notRemovedHeading`. A run that removed everything it found gives just the list.

#include <string>

#include "discovery/found_fonts.h"

namespace kc {

// Reads the collection list through GetCollectionFontCount / GetCollectionFont.
std::string BuildResultText(const OpenTypeFontList& openTypeFonts, const std::string& notRemovedHeading);

}  // namespace kc
