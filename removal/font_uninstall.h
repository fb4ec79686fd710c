#pragma once
// Undoing the installation of one font file in the Windows Fonts folder, then deleting it.

#include <cstdint>

namespace kc {

// `fileName` is the font file's name with extension and no folder (ABC-Regular.otf); the file is
// taken to lie in the Fonts folder. In this order: unloads the font resource, removes every value
// of HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" whose data is the bare name or the
// full path in the Fonts folder (whole string, letter case aside), deletes the file and broadcasts
// WM_FONTCHANGE to the top-level windows, skipping hung ones and waiting a bounded time for each.
// Returns
//   0                        unregistered (or was not registered) and the file is gone;
//   kFontsFolderUnavailable  no Fonts folder: only the resource was unloaded;
//   kFontTableUnavailable    the font table cannot be opened, or a matching value cannot be deleted
//                            (values after it are left, the file stays, nothing is broadcast);
//   kFontFileDeleteFailed    the file cannot be deleted: its values are already gone, nothing is
//                            broadcast.
// Nothing is undone on failure and nothing is shown. Each value removed, the file's deletion and
// every failure (with its Win32 error) are reported to the removal journal.
int16_t UninstallFont(const char* fileName);

// What UninstallFont would remove, changing nothing: reports each value of the font table that
// names the file to the removal journal as one that would be removed (the table is only read).
// Returns 0, kFontsFolderUnavailable or kFontTableUnavailable, each reported too.
int16_t PreviewUninstallFont(const char* fileName);

}  // namespace kc
