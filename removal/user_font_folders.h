#pragma once
// Fonts installed for one user, as Windows 10 (1809) and later install them: the file lies in the
// Fonts folder of that user's profile (AppData\Local\Microsoft\Windows\Fonts\) and is registered,
// by its full path, in that user's own font table. Earlier systems have no such folders.

#include <string>
#include <vector>

#include "common/file_identity.h"

namespace kc {

struct UserFontFolder {
  std::wstring sid;       // the profile's security identifier, as HKLM ProfileList names it
  std::wstring folder;    // the profile's Fonts folder, ending in a backslash (UTF-16, as stored)
  FileIdentity identity;  // of that folder: the walk knows it by this, whatever path leads there
  bool currentUser = false;  // the running user's profile: its font table is HKEY_CURRENT_USER's
  // This run has said already that the user's font table cannot be reached (not signed in).
  bool registrationLeftReported = false;
};

using UserFontFolders = std::vector<UserFontFolder>;

// The folder of `folders` whose identity is `identity`, or null.
UserFontFolder* FindUserFontFolder(UserFontFolders& folders, const FileIdentity& identity);

// Every profile of HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList" whose Fonts folder
// exists: ProfileImagePath (read as UTF-16), environment strings expanded, followed by
// "\AppData\Local\Microsoft\Windows\Fonts\". A profile that cannot be read and a folder that does
// not exist or gives no identity are left out; none on a system without the list. Throws
// std::bad_alloc when memory runs out.
UserFontFolders ReadUserFontFolders();

}  // namespace kc
