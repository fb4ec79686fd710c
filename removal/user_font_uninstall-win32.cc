#include <windows.h>

#include <string>

#include "common/open_font_file-win32.h"
#include "common/path_buffer.h"
#include "common/path_copy.h"
#include "common/scoped_handles-win32.h"
#include "removal/font_file_removal.h"
#include "removal/font_table_values-win32.h"
#include "removal/font_uninstall.h"
#include "removal/path_compare-win32.h"
#include "removal/removal_journal.h"
#include "removal/user_font_uninstall.h"

namespace kc {
namespace {

constexpr char kUserFontTable[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// A font the session loaded is unloaded in a few calls; a bound keeps a resource that always
// answers success from holding up the run.
constexpr int kMaxUnloads = 64;
// A user's own keys may be shaped to cost the run time: only so deep and so many are examined.
constexpr int kMaxKeyDepth = 8;
constexpr int kMaxKeys = 4096;

LONG SystemDeleteValue(HKEY key, const char* valueName) { return RegDeleteValueA(key, valueName); }

bool DataNamesFile(const char* data, const void* fullPath) {
  return UserFontValueNamesFile(data, static_cast<const char*>(fullPath));
}

// Opens `path` below `root` one key at a time, never through a registry link: a link in a user's
// hive could lead the run into keys only the run itself may change.
LONG OpenWithoutLinks(HKEY root, const char* path, REGSAM access, ScopedRegKey& key) {
  HKEY parent = root;
  ScopedRegKey current;
  std::string rest = path;
  for (;;) {
    const size_t separator = rest.find('\\');
    const std::string name = rest.substr(0, separator);
    const bool last = separator == std::string::npos;
    ScopedRegKey next;
    const LONG opened = RegOpenKeyExA(parent, name.c_str(), REG_OPTION_OPEN_LINK, last ? access : KEY_READ,
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
  const char* fullPath;
  TableMode mode;
  REGSAM access;
  int keysLeft = kMaxKeys;
};

// The values of `key` and of its subkeys, depth first, each reported under `name`.
void CleanTable(HKEY key, const std::string& name, int depth, TablePass& pass) {
  if (--pass.keysLeft < 0) return;
  RemoveMatchingValues(key, DataNamesFile, pass.fullPath, name + "\\", pass.mode, SystemDeleteValue);
  if (depth == kMaxKeyDepth) return;
  char subkey[256];
  for (DWORD index = 0; pass.keysLeft > 0; ++index) {
    DWORD size = sizeof subkey;
    const LONG status = RegEnumKeyExA(key, index, subkey, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    ScopedRegKey child;
    if (RegOpenKeyExA(key, subkey, REG_OPTION_OPEN_LINK, pass.access, child.receive()) != ERROR_SUCCESS) continue;
    CleanTable(child.get(), name + "\\" + subkey, depth + 1, pass);
  }
}

// The user's font table: HKEY_CURRENT_USER's for the running user, HKEY_USERS\<sid>'s when that
// user's hive is loaded. A hive that is not loaded is said once per user.
void CleanUserFontTable(UserFontFolder& folder, const char* fullPath, TableMode mode) {
  const REGSAM access = mode == TableMode::kRemove ? REGSAM{KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS}
                                                   : REGSAM{KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS};
  TablePass pass{fullPath, mode, access};
  std::string root = "HKEY_CURRENT_USER";
  ScopedRegKey hive;
  HKEY under = HKEY_CURRENT_USER;
  if (!folder.currentUser) {
    root = "HKEY_USERS\\" + folder.sid;
    if (RegOpenKeyExA(HKEY_USERS, folder.sid.c_str(), 0, KEY_READ, hive.receive()) != ERROR_SUCCESS) {
      if (!folder.registrationLeftReported) {
        ReportRemoval(RemovalEventKind::kUserFontTableNotLoaded, folder.sid.c_str(), folder.folder.c_str());
        folder.registrationLeftReported = true;
      }
      return;
    }
    under = hive.get();
  }
  ScopedRegKey table;
  const LONG opened = OpenWithoutLinks(under, kUserFontTable, pass.access, table);
  if (opened == ERROR_FILE_NOT_FOUND) return;  // nothing registered for that user
  const std::string name = root + "\\" + kUserFontTable;
  if (opened != ERROR_SUCCESS) {
    ReportRemoval(RemovalEventKind::kFontTableUnavailable, fullPath, "", static_cast<unsigned long>(opened));
    return;
  }
  CleanTable(table.get(), name, 0, pass);
}

}  // namespace

bool UserFontValueNamesFile(const char* data, const char* fullPath) { return SameFileNameIgnoringCase(data, fullPath); }

RemovalOutcome UninstallUserFont(OpenFontFile& file, UserFontFolder& folder, const char* fileName) {
  char fullPath[kPathBufferSize];
  if (!JoinPath(fullPath, folder.folder.c_str(), fileName)) {
    file.Close();
    ReportRemoval(RemovalEventKind::kFileDeleteFailed, fileName, "", ERROR_FILENAME_EXCED_RANGE);
    return RemovalOutcome::kStillOnDisk;
  }
  for (int unloads = 0; unloads < kMaxUnloads && RemoveFontResourceA(fullPath); ++unloads) {
  }
  CleanUserFontTable(folder, fullPath, TableMode::kRemove);
  // Unloaded, the font may no longer be held by this session: a new open is taken only when it
  // leads to the very file identified.
  if (file.access() != OpenFontFile::Access::kRemovable) file.ReopenRemovable(fullPath);
  const RemovalOutcome outcome = RemoveFontFile(file, fullPath, nullptr, InUseBy::kAUserSession);
  if (outcome != RemovalOutcome::kStillOnDisk) BroadcastFontChange();
  return outcome;
}

void PreviewUninstallUserFont(UserFontFolder& folder, const char* fileName) {
  char fullPath[kPathBufferSize];
  if (!JoinPath(fullPath, folder.folder.c_str(), fileName)) return;
  ReportRemoval(RemovalEventKind::kFontResourceWouldBeUnloaded, fullPath);
  CleanUserFontTable(folder, fullPath, TableMode::kPreview);
}

}  // namespace kc
