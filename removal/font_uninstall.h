#pragma once
// Undoing the installation of one font file in the Windows Fonts folder, then deleting it.

#include <cstdint>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

class OpenFontFile;

// `file` is the font file's open file (the walk's: common/open_font_file-win32.h), which lies
// directly in the Fonts folder under `fileName`, its name with extension and no folder
// (ABC-Regular.otf), as the folder's listing gives it (UTF-16). In this order: unloads the font resource; when the file was held open (by
// that very loading, say), opens it anew by the Fonts folder's own path, if that path leads to the
// same file; removes every value of HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" whose
// data is the bare name or the full path in the Fonts folder (whole UTF-16 string, letter case
// aside as the file system compares names);
// removes the file through its handle (RemoveFontFile: now, or at the next restart when it is in
// use) and broadcasts WM_FONTCHANGE to the top-level windows, skipping hung ones and waiting a
// bounded time for each. The file is closed on return. Returns
//   0                        unregistered (or was not registered) and the file is gone;
//   kFontsFolderUnavailable  no Fonts folder: only the resource was unloaded;
//   kFontTableUnavailable    the font table cannot be opened, or a matching value cannot be deleted
//                            (values after it are left, the file stays, nothing is broadcast);
//   kFontFileDeleteFailed    the file cannot be deleted now: its values are already gone; the
//                            broadcast is sent only when its deletion at restart was scheduled.
// `outcome` tells what became of the file: with 0 kRemoved; with kFontFileDeleteFailed
// kRemovedAtRestart when Windows deletes it at the next restart (the font is unregistered and
// unloaded all the same, so WM_FONTCHANGE is broadcast), else kStillOnDisk; with every other code
// kStillOnDisk. Nothing is undone on failure and nothing is shown. Each value removed, the file's
// deletion and every failure (with its Win32 error) are reported to the removal journal.
ResultCode UninstallFont(OpenFontFile& file, const wchar_t* fileName, RemovalOutcome& outcome);

// The same for the file of that name in the Fonts folder, opened here by the Fonts folder's path.
ResultCode UninstallFont(const wchar_t* fileName, RemovalOutcome& outcome);
ResultCode UninstallFont(const wchar_t* fileName);

// Tells every top-level window that the set of fonts changed (WM_FONTCHANGE), skipping hung ones
// and waiting a bounded time for each other one; both uninstallations end with it.
void BroadcastFontChange();

// What UninstallFont would remove, changing nothing: reports each value of the font table that
// names the file to the removal journal as one that would be removed (the table is only read).
// Returns 0, kFontsFolderUnavailable or kFontTableUnavailable, each reported too.
ResultCode PreviewUninstallFont(const wchar_t* fileName);

}  // namespace kc
