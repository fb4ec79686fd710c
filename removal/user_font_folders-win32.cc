#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "common/scoped_handles-win32.h"
#include "common/wide_text-win32.h"
#include "removal/user_font_folders.h"

namespace kc {
namespace {

constexpr wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr wchar_t kFontsBelowProfile[] = L"\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
constexpr DWORD kSidNameSize = 256;  // a key name's limit, and far beyond any SID's text

// The running process's user, as a SID string ("S-1-5-21-..."); "" when it cannot be had.
std::wstring CurrentUserSid() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) return std::wstring();
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return std::wstring();
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::wstring();
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return std::wstring();
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

// The profile's folder with environment strings expanded and no trailing backslash; "" when the
// value cannot be read as text.
std::wstring ProfileFolder(HKEY profile) {
  wchar_t raw[MAX_PATH * 2] = {};
  DWORD size = sizeof raw - sizeof raw[0];  // one zero stays: registry text need not end in one
  DWORD type = 0;
  if (RegQueryValueExW(profile, L"ProfileImagePath", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::wstring();
  }
  wchar_t expanded[MAX_PATH * 2] = {};
  const DWORD length = ExpandEnvironmentStringsW(raw, expanded, MAX_PATH * 2);
  if (length == 0 || length > MAX_PATH * 2) return std::wstring();
  std::wstring folder(expanded);
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
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ, list.receive()) != ERROR_SUCCESS) return folders;
  const std::wstring currentUser = CurrentUserSid();
  wchar_t sid[kSidNameSize];
  for (DWORD index = 0;; ++index) {
    DWORD size = kSidNameSize;
    const LONG status = RegEnumKeyExW(list.get(), index, sid, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    ScopedRegKey profile;
    if (RegOpenKeyExW(list.get(), sid, 0, KEY_QUERY_VALUE, profile.receive()) != ERROR_SUCCESS) continue;
    const std::wstring profileFolder = ProfileFolder(profile.get());
    if (profileFolder.empty()) continue;

    UserFontFolder folder;
    folder.sid = sid;
    folder.folder = profileFolder + kFontsBelowProfile;
    folder.currentUser = !currentUser.empty() && currentUser == folder.sid;
    // A folder two profiles share is one folder, known by the first.
    if (!ReadFileIdentity(ExtendedLengthPath(folder.folder).c_str(), folder.identity) ||
        FindUserFontFolder(folders, folder.identity) != nullptr) {
      continue;
    }
    folders.push_back(folder);
  }
  return folders;
}

}  // namespace kc
