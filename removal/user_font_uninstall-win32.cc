#include <windows.h>

#include <string>

#include "common/open_font_file-win32.h"
#include "common/scoped_handles-win32.h"
#include "common/wide_text-win32.h"
#include "removal/font_file_removal.h"
#include "removal/font_table_values-win32.h"
#include "removal/font_uninstall.h"
#include "removal/removal_journal.h"
#include "removal/user_font_uninstall.h"

namespace kc {
namespace {

constexpr wchar_t kUserFontTable[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// A font the session loaded is unloaded in a few calls; a bound keeps a resource that always
// answers success from holding up the run.
constexpr int kMaxUnloads = 64;
// A user's own keys may be shaped to cost the run time: only so deep and so many are examined.
constexpr int kMaxKeyDepth = 8;
constexpr int kMaxKeys = 4096;

LONG SystemDeleteValue(HKEY key, const wchar_t* valueName) { return RegDeleteValueW(key, valueName); }

bool DataNamesFile(const wchar_t* data, const void* fullPath) {
  return UserFontValueNamesFile(data, *static_cast<const std::wstring*>(fullPath));
}

// Opens `path` below `root` one key at a time, never through a registry link: a link in a user's
// hive could lead the run into keys only the run itself may change.
LONG OpenWithoutLinks(HKEY root, const wchar_t* path, REGSAM access, ScopedRegKey& key) {
  HKEY parent = root;
  ScopedRegKey current;
  std::wstring rest = path;
  for (;;) {
    const size_t separator = rest.find(L'\\');
    const std::wstring name = rest.substr(0, separator);
    const bool last = separator == std::wstring::npos;
    ScopedRegKey next;
    const LONG opened = RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, last ? access : KEY_READ,
                                      next.receive());
    if (opened != ERROR_SUCCESS) return opened;
    current = std::move(next);
    parent = current.get();
    if (last) break;
    rest.erase(0, separator + 1);
  }
  key = std::move(current);
  return ERROR_SUCCESS;
}

struct TablePass {
  const std::wstring* fullPath;
  TableMode mode;
  REGSAM access;
  int keysLeft = kMaxKeys;
};

// The values of `key` and of its subkeys, depth first, each reported under `name`.
void CleanTable(HKEY key, const std::wstring& name, int depth, TablePass& pass) {
  if (--pass.keysLeft < 0) return;
  RemoveMatchingValues(key, DataNamesFile, pass.fullPath, name + L"\\", pass.mode, SystemDeleteValue);
  if (depth == kMaxKeyDepth) return;
  wchar_t subkey[256];
  for (DWORD index = 0; pass.keysLeft > 0; ++index) {
    DWORD size = 256;
    const LONG status = RegEnumKeyExW(key, index, subkey, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    ScopedRegKey child;
    if (RegOpenKeyExW(key, subkey, REG_OPTION_OPEN_LINK, pass.access, child.receive()) != ERROR_SUCCESS) continue;
    CleanTable(child.get(), name + L"\\" + subkey, depth + 1, pass);
  }
}

// The user's font table: HKEY_CURRENT_USER's for the running user, HKEY_USERS\<sid>'s when that
// user's hive is loaded. A hive that is not loaded is said once per user.
void CleanUserFontTable(UserFontFolder& folder, const std::wstring& fullPath, TableMode mode) {
  const REGSAM access = mode == TableMode::kRemove ? REGSAM{KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS}
                                                   : REGSAM{KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS};
  TablePass pass{&fullPath, mode, access};
  std::wstring root = L"HKEY_CURRENT_USER";
  ScopedRegKey hive;
  HKEY under = HKEY_CURRENT_USER;
  if (!folder.currentUser) {
    root = L"HKEY_USERS\\" + folder.sid;
    if (RegOpenKeyExW(HKEY_USERS, folder.sid.c_str(), 0, KEY_READ, hive.receive()) != ERROR_SUCCESS) {
      if (!folder.registrationLeftReported) {
        ReportRemoval(RemovalEventKind::kUserFontTableNotLoaded, folder.sid, folder.folder);
        folder.registrationLeftReported = true;
      }
      return;
    }
    under = hive.get();
  }
  ScopedRegKey table;
  const LONG opened = OpenWithoutLinks(under, kUserFontTable, pass.access, table);
  if (opened == ERROR_FILE_NOT_FOUND) return;  // nothing registered for that user
  const std::wstring name = root + L"\\" + kUserFontTable;
  if (opened != ERROR_SUCCESS) {
    ReportRemoval(RemovalEventKind::kFontTableUnavailable, fullPath, L"", static_cast<unsigned long>(opened));
    return;
  }
  CleanTable(table.get(), name, 0, pass);
}

}  // namespace

bool UserFontValueNamesFile(const wchar_t* data, const std::wstring& fullPath) {
  return SameWideNameIgnoringCase(std::wstring(data), fullPath);
}

RemovalOutcome UninstallUserFont(OpenFontFile& file, UserFontFolder& folder, const wchar_t* fileName) {
  // As the user's table and the session name it; opened in the form that reaches it as it stands.
  const std::wstring fullPath = folder.folder + fileName;
  const std::wstring openPath = ExtendedLengthPath(fullPath);
  for (int unloads = 0; unloads < kMaxUnloads && RemoveFontResourceW(fullPath.c_str()); ++unloads) {
  }
  CleanUserFontTable(folder, fullPath, TableMode::kRemove);
  // Unloaded, the font may no longer be held by this session: a new open is taken only when it
  // leads to the very file identified.
  if (file.access() != OpenFontFile::Access::kRemovable) file.ReopenRemovable(openPath.c_str());
  const RemovalOutcome outcome = RemoveFontFile(file, openPath, nullptr, InUseBy::kAUserSession);
  if (outcome != RemovalOutcome::kStillOnDisk) BroadcastFontChange();
  return outcome;
}

void PreviewUninstallUserFont(UserFontFolder& folder, const wchar_t* fileName) {
  const std::wstring fullPath = folder.folder + fileName;
  ReportRemoval(RemovalEventKind::kFontResourceWouldBeUnloaded, fullPath);
  CleanUserFontTable(folder, fullPath, TableMode::kPreview);
}

}  // namespace kc
