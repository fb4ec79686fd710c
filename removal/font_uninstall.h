#pragma once
// Undoing the installation of one font file in the Windows Fonts folder, then deleting it.

#include <cstdint>

#include "common/result_code.h"
#include "discovery/found_fonts.h"

namespace kc {

// `fileName` is the font file's name with extension and no folder (ABC-Regular.otf); the file is
// taken to lie in the Fonts folder. In this order: unloads the font resource, removes every value
// of HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" whose data is the bare name or the
// full path in the Fonts folder (whole string, letter case aside), deletes the file (or, when it is
// in use, schedules its deletion at the next restart: DeleteNowOrAtRestart) and broadcasts
// WM_FONTCHANGE to the top-level windows, skipping hung ones and waiting a bounded time for each.
// Returns
//   0                        unregistered (or was not registered) and the file is gone;
//   kFontsFolderUnavailable  no Fonts folder: only the resource was unloaded;
//   kFontTableUnavailable    the font table cannot be opened, or a matching value cannot be deleted
//                            (values after it are left, the file stays, nothing is broadcast);
//   kFontFileDeleteFailed    the file cannot be deleted now: its values are already gone; the
//                            broadcast is sent only when its deletion at restart was scheduled.
// Nothing is undone on failure and nothing is shown. Each value removed, the file's deletion and
// every failure (with its Win32 error) are reported to the removal journal.
ResultCode UninstallFont(const char* fileName);

// The same, the file deleted by DeleteNowOrAtRestart, telling in `outcome` what became of it: with
// 0 kRemoved; with kFontFileDeleteFailed kRemovedAtRestart when the file is in use and Windows
// deletes it at the next restart (the font is unregistered and unloaded all the same, so
// WM_FONTCHANGE is broadcast), else kStillOnDisk; with every other code kStillOnDisk.
ResultCode UninstallFont(const char* fileName, RemovalOutcome& outcome);

// What UninstallFont would remove, changing nothing: reports each value of the font table that
// names the file to the removal journal as one that would be removed (the table is only read).
// Returns 0, kFontsFolderUnavailable or kFontTableUnavailable, each reported too.
ResultCode PreviewUninstallFont(const char* fileName);

}  // namespace kc
