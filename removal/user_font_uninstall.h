#pragma once
// Undoing the installation of one font file in a user's Fonts folder (removal/user_font_folders.h)
// for that user, then deleting it.

#include <string>

#include "found_fonts/found_fonts.h"
#include "removal/user_font_folders.h"

namespace kc {

class OpenFontFile;

// The font's value data in a user's font table names its file by full path: `data` names the file
// at `fullPath` when the two are the same string, letter case aside.
bool UserFontValueNamesFile(const wchar_t* data, const std::wstring& fullPath);

// `file` is the font file's open file (the walk's), lying directly in `folder` under `fileName`
// (name with extension, no folder, as the listing gives it). In this order:
//   - unloads the font resource from the running session, by its full path in `folder`, for as
//     long as that succeeds (a font added more than once is loaded as often), at most 64 times;
//   - deletes every value of the user's font table, "Software\Microsoft\Windows NT\CurrentVersion\Fonts"
//     and its subkeys, whose data names the file (UserFontValueNamesFile): under HKEY_CURRENT_USER
//     for the running user, else under HKEY_USERS\<sid> when that user's hive is loaded (signed
//     in). A hive that is not loaded is left alone, and said once per user (journal:
//     kUserFontTableNotLoaded): loading another user's hive could break their next sign-in, and
//     Windows skips a value whose file is missing. Registry links in a user's keys are never
//     followed: the user can shape their own hive;
//   - deletes the file through its handle (RemoveFontFile); one still in use (loaded in another
//     user's session) is left in place and said to be (journal: kFileInUserSession), nothing being
//     left to a restart in a folder its user can change;
//   - broadcasts WM_FONTCHANGE as the uninstallation from the Fonts folder does.
// The file is closed on return. Returns what became of the file. A table that cannot be opened,
// or a value that cannot be deleted, is reported and does not keep the file: it is still removed.
RemovalOutcome UninstallUserFont(OpenFontFile& file, UserFontFolder& folder, const wchar_t* fileName);

// What UninstallUserFont would do, changing nothing: reports the unload it would make and each value
// it would delete (a hive that is not loaded is said once per user, as the removal says it).
void PreviewUninstallUserFont(UserFontFolder& folder, const wchar_t* fileName);

}  // namespace kc
