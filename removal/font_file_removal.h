#pragma once
// Removing a product font's file for good, through the open that identified it
// (common/open_font_file-win32.h): now, or, for a file in use that lies directly in the Fonts
// folder, by Windows itself at the next restart, before any application can hold it again.
//
// A deletion left to the restart is carried out by path, at a time nobody here controls: only the
// Fonts folder's own path (from the shell, not the spelling the walk reached it by) is one that
// nobody but an administrator can redirect. A font in use anywhere else is left where it is and
// said to be in use, for the user to close what holds it and run the removal again.

#include <string>

#include "found_fonts/found_fonts.h"

namespace kc {

class OpenFontFile;

// What holds a font in use, as far as the removal can tell: an application (or Windows itself),
// or, for a font installed for one user, that user's session, which loaded it at sign-in.
enum class InUseBy { kAProgram, kAUserSession };

// `file` is the font's open file; `path` the UTF-16 path it was opened by (named in the removal
// journal, and asked after the deletion whether the file is still there, never acted on); `fontsFolderFileName` the file's name (with extension) when it lies directly in the Fonts
// folder, else null; `inUseBy` what the journal says holds a font in use left in place. The file
// is closed on return. Returns
//   kRemoved           marked for deletion through its handle and closed: gone (also when the
//                      open found no file: ERROR_FILE_NOT_FOUND). A file of the same identity
//                      still at `path` after the close stayed: kStillOnDisk, journaled;
//   kRemovedAtRestart  in use, directly in the Fonts folder: its deletion at the next restart is
//                      scheduled by the Fonts folder's path, which was first checked to lead to
//                      this very file; it loses its read-only attribute, which would stop that;
//   kStillOnDisk       in use anywhere else (journal: kFileInUse, or kFileInUserSession for
//                      kAUserSession); or not deletable for another
//                      reason (no right), or the scheduling failed (both journaled with their error).
// Nothing is shown; nothing happens by `path`.
RemovalOutcome RemoveFontFile(OpenFontFile& file, const std::wstring& path, const wchar_t* fontsFolderFileName,
                              InUseBy inUseBy = InUseBy::kAProgram);

}  // namespace kc
