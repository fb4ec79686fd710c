#pragma once
// The depth-first walk of one drive for the product's fonts: every .otf and .ttc file is opened
// once and identified through that open; each product font is recorded and then removed through
// the same open (uninstalled when it lies directly in the Fonts folder and the system calls for
// it, deleted otherwise; one in use is left to Windows to delete at the next restart when it lies
// directly in the Fonts folder, and left in place, said to be in use, anywhere else). No other
// file is changed, and no file is removed by its path: a folder renamed, or replaced by a link,
// between a font's identification and its removal cannot make the walk remove another file.
//
// Junctions, symbolic links and mount points to folders are entered, so that fonts reachable only
// through them are found, but a walk always ends. Folders are told apart by identity (volume
// serial number and file index, read through the very handle the folder is listed by), and only a
// folder whose listing shows a name-surrogate reparse point (common/reparse_tag.h) can lead back,
// so a tree without links, a synced one included, costs no identity at all. Within one run:
//   - a link is never followed into a folder on the walk's own path (a loop);
//   - a folder is walked through links at most once: a link to a folder already walked through
//     another link, or below one, is not followed (two links to one target; a chain of folders
//     each holding two links to the next costs one walk of each, not 2^n);
//   - a folder the plain walk reaches may be walked once more through a link, unless the link was
//     met while the walk was inside it or inside a folder holding an earlier link (telling every
//     plain folder's identity would cost every walk an open per folder);
//   - a product font is recorded once: one left on disk is known by identity when met again.
// A link whose target cannot be identified (missing, unreachable) is not followed. Every folder
// entered through a link is compared with the Fonts folder by identity, and so is every folder
// that could be a user's Fonts folder (removal/user_font_folders.h): one named Fonts, or one
// entered through a link, since a link may lead there under any name.

#include <cstdint>
#include <functional>
#include <string>

#include "common/file_identity.h"
#include "discovery/font_file_name.h"
#include "found_fonts/found_fonts.h"
#include "removal/user_font_folders.h"

namespace kc {

// What the walks of one run remember across its drives.
struct SearchMemory {
  // Folders walked through links or below them, and folders on a walk's path whose identity was
  // taken when a link was met there.
  FileIdentitySet walkedFolders;
  // Product fonts recorded whose files are still on disk (in use, left for the restart, or not
  // removable).
  FileIdentitySet fontsLeftOnDisk;
  // The Fonts folders of the users' profiles, read from the profile list once per run, when the
  // first folder that could be one is met.
  bool userFontFoldersRead = false;
  UserFontFolders userFontFolders;
};

// A product font as the walk meets it, for whoever watches the walk (a run's log). The texts live
// only as long as the call that gets them.
struct ProductFont {
  FontFileType type;     // kOpenType or kCollection
  const wchar_t* path;   // the full path as the walk opened it (extended-length: "\\?\D:\...")
  const char* name;      // UTF-8, as the result lists it: the full name, or the collection's file name
  const char* tag;       // the tag that identified it
  bool uninstall;        // it is uninstalled (from the Fonts folder, or for its user); otherwise deleted
  bool inFontsFolder;    // directly in the Fonts folder: one in use is left to the next restart
  UserFontFolder* userFontFolder;  // directly in this user's Fonts folder (uninstalled for that
                                   // user), else null
  const wchar_t* fileName;  // file name with extension, as the listing gives it
};

class FontSearchObserver {
 public:
  // The font has been recorded and its removal is next. False leaves the file where it is (a
  // preview): nothing is done to it and its record stays "still on disk".
  virtual bool BeforeRemoval(const ProductFont& font) = 0;
  // Its removal has been attempted; `outcome` is what its record now says.
  virtual void AfterRemoval(const ProductFont& font, RemovalOutcome outcome) = 0;

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
  // One for the whole run: a FontSearch is made once and handed to the walk of every drive.
  SearchMemory memory = {};
  // Sees every product font before and after its removal; none: each is removed unwatched. Its
  // calls count as part of the removal: a standard-library exception from them gives kOutOfMemory.
  FontSearchObserver* observer = nullptr;
};

constexpr unsigned long kDrainIntervalMs = 20;

// Walks `directory` (a full UTF-16 path ending in a backslash, such as "C:\") and everything below
// it in listing order. Every name is taken as the file system stores it and every folder and file
// is reached by its extended-length path ("\\?\C:\..."), so no name is folded, best-fitted or
// cut: a folder named "..¥x" is a folder like any other, and paths may grow to 32,767 characters.
// Returns 0 when the directory was walked to its end; kRootNotListable when it cannot be listed;
// kFontsFolderUnavailable when the Fonts folder cannot be determined (the walk of a directory then
// stops at its first file; subdirectories met before it are still walked); kOutOfMemory when a
// standard-library exception arose while a found font was recorded or removed, or while the walk
// remembered a folder. Results of subdirectories never stop their parent.
ResultCode SearchFontFiles(const std::wstring& directory, FontSearch& search);

}  // namespace kc
