#pragma once
// The depth-first walk of one drive for the product's fonts: every .otf and .ttc file is
// identified; each product font is recorded and then removed (uninstalled when it lies directly
// in the Fonts folder and the system calls for it, deleted otherwise). No other file is changed.

#include <cstdint>
#include <functional>

#include "discovery/found_fonts.h"

namespace kc {

struct FontSearch {
  // Receives the OpenType product fonts; collections go to the module's collection list.
  OpenTypeFontList& openTypeFonts;
  // Lets the thread's pending window messages through (the program's message pump). The walk
  // calls it whenever kDrainIntervalMs have passed since the last call, checked after every entry,
  // so windows stay responsive without a message-queue round trip per directory entry.
  std::function<void()> drainMessages;
};

constexpr unsigned long kDrainIntervalMs = 20;

// Walks `directory` (ends in a backslash, such as "C:\") and everything below it in listing order.
// Returns 0 when the directory was walked to its end; kRootNotListable when it cannot be listed;
// kFontsFolderUnavailable when the Fonts folder cannot be determined (the walk of a directory then
// stops at its first file; subdirectories met before it are still walked); kOutOfMemory when a
// standard-library exception arose while a found font was recorded or removed. Results of
// subdirectories never stop their parent.
int16_t SearchFontFiles(const char* directory, FontSearch& search);

}  // namespace kc
