#pragma once
// The depth-first walk of one drive for the product's fonts: every .otf and .ttc file is
// identified; each product font is recorded and then removed (uninstalled when it lies directly
// in the Fonts folder and the system calls for it, deleted otherwise). No other file is changed.

#include <cstdint>
#include <functional>

#include "discovery/font_file_name.h"
#include "discovery/found_fonts.h"

namespace kc {

// A product font as the walk meets it, for whoever watches the walk (a run's log). The texts live
// only as long as the call that gets them.
struct ProductFont {
  FontFileType type;     // kOpenType or kCollection
  const char* path;      // the full path
  const char* name;      // as the result lists it: the full name, or the collection's file name
  const char* tag;       // the tag that identified it
  bool uninstall;        // it lies in the Fonts folder and is uninstalled; otherwise it is deleted
  const char* fileName;  // file name with extension, as uninstallation takes it
};

class FontSearchObserver {
 public:
  // The font has been recorded and its removal is next. False leaves the file where it is (a
  // preview): nothing is done to it and its record stays "not removed".
  virtual bool BeforeRemoval(const ProductFont& font) = 0;
  // Its removal has been attempted; `removed` is what its record now says.
  virtual void AfterRemoval(const ProductFont& font, bool removed) = 0;

 protected:
  ~FontSearchObserver() = default;
};

struct FontSearch {
  // Receives the OpenType product fonts; collections go to the module's collection list.
  OpenTypeFontList& openTypeFonts;
  // Lets the thread's pending window messages through (the program's message pump). The walk
  // calls it whenever kDrainIntervalMs have passed since the last call, checked after every entry,
  // so windows stay responsive without a message-queue round trip per directory entry.
  std::function<void()> drainMessages;
  // Sees every product font before and after its removal; none: each is removed unwatched. Its
  // calls count as part of the removal: a standard-library exception from them gives kOutOfMemory.
  FontSearchObserver* observer = nullptr;
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
