#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "common/scoped_handles-win32.h"
#include "removal/user_font_folders.h"

namespace kc {
namespace {

constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char kFontsBelowProfile[] = "\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
constexpr DWORD kSidNameSize = 256;  // a key name's limit, and far beyond any SID's text

// The running process's user, as a SID string ("S-1-5-21-..."); "" when it cannot be had.
std::string CurrentUserSid() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) return std::string();
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return std::string();
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::string();
  char* text = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return std::string();
  std::string sid(text);
  LocalFree(text);
  return sid;
}

// The profile's folder with environment strings expanded and no trailing backslash; "" when the
// value cannot be read as text.
std::string ProfileFolder(HKEY profile) {
  char raw[MAX_PATH * 2] = {};
  DWORD size = sizeof raw - 1;  // one zero stays: registry text need not end in one
  DWORD type = 0;
  if (RegQueryValueExA(profile, "ProfileImagePath", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::string();
  }
  char expanded[MAX_PATH * 2] = {};
  const DWORD length = ExpandEnvironmentStringsA(raw, expanded, sizeof expanded);
  if (length == 0 || length > sizeof expanded) return std::string();
  std::string folder(expanded);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

UserFontFolder* FindUserFontFolder(UserFontFolders& folders, const FileIdentity& identity) {
  for (UserFontFolder& folder : folders) {
    if (folder.identity == identity) return &folder;
  }
  return nullptr;
}

UserFontFolders ReadUserFontFolders() {
  UserFontFolders folders;
  ScopedRegKey list;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ, list.receive()) != ERROR_SUCCESS) return folders;
  const std::string currentUser = CurrentUserSid();
  char sid[kSidNameSize];
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof sid;
    const LONG status = RegEnumKeyExA(list.get(), index, sid, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    ScopedRegKey profile;
    if (RegOpenKeyExA(list.get(), sid, 0, KEY_QUERY_VALUE, profile.receive()) != ERROR_SUCCESS) continue;
    const std::string profileFolder = ProfileFolder(profile.get());
    if (profileFolder.empty()) continue;

    UserFontFolder folder;
    folder.sid = sid;
    folder.folder = profileFolder + kFontsBelowProfile;
    folder.currentUser = !currentUser.empty() && currentUser == folder.sid;
    // A folder two profiles share is one folder, known by the first.
    if (!ReadFileIdentity(folder.folder.c_str(), folder.identity) ||
        FindUserFontFolder(folders, folder.identity) != nullptr) {
      continue;
    }
    folders.push_back(folder);
  }
  return folders;
}

}  // namespace kc
