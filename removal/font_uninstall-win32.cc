#include <windows.h>

#include "common/path_buffer.h"
#include "common/open_font_file-win32.h"
#include "common/path_copy.h"
#include "removal/font_file_removal.h"
#include "removal/font_table_values-win32.h"
#include "common/result_code.h"
#include "removal/font_uninstall.h"
#include "removal/font_uninstall_hooks-win32.h"
#include "removal/path_compare-win32.h"
#include "removal/removal_journal.h"
#include "common/scoped_handles-win32.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

constexpr char kFontTableKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

LONG SystemDeleteValue(HKEY key, const char* valueName) { return RegDeleteValueA(key, valueName); }

// The machine's table names a file in the Fonts folder by its bare name or by its full path.
struct FileNames {
  const char* fileName;
  const char* fullPath;
};

bool DataNamesFile(const char* data, const void* context) {
  const auto* names = static_cast<const FileNames*>(context);
  return SameFileNameIgnoringCase(data, names->fileName) || SameFileNameIgnoringCase(data, names->fullPath);
}

// One pass over the font table that deletes (or, for a preview, only reports) every value naming
// the file. 0 or kFontTableUnavailable.
ResultCode RemoveFontTableValues(const char* fileName, const char* fullPath,
                                 const FontUninstallHooks& hooks, TableMode mode = TableMode::kRemove) {
  ScopedRegKey key;
  const REGSAM access = mode == TableMode::kRemove ? KEY_ALL_ACCESS : KEY_QUERY_VALUE;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontTableKey, 0, access, key.receive());
  if (opened != ERROR_SUCCESS) {
    ReportRemoval(RemovalEventKind::kFontTableUnavailable, fileName, "", static_cast<unsigned long>(opened));
    return kFontTableUnavailable;
  }
  const FileNames names{fileName, fullPath};
  const LONG removed = RemoveMatchingValues(key.get(), DataNamesFile, &names, "", mode, hooks.deleteValue);
  return removed == ERROR_SUCCESS ? kOk : kFontTableUnavailable;
}

// The Fonts folder and the file's full path in it. 0, kFontsFolderUnavailable, or
// kFontFileDeleteFailed when the path would not fit (a cut-off path would name another file); each
// failure reported unless told otherwise.
ResultCode FontsFolderPathOf(const char* fileName, char (&fullPath)[kPathBufferSize], bool report = true) {
  char fontsFolder[kPathBufferSize];
  if (GetFontsFolderPath(fontsFolder) != kOk) {
    if (report) ReportRemoval(RemovalEventKind::kFontsFolderUnavailable, fileName);
    return kFontsFolderUnavailable;
  }
  if (!JoinPath(fullPath, fontsFolder, fileName)) {
    if (report) ReportRemoval(RemovalEventKind::kFileDeleteFailed, fileName, "", ERROR_FILENAME_EXCED_RANGE);
    return kFontFileDeleteFailed;
  }
  return kOk;
}

}  // namespace

const FontUninstallHooks& SystemFontUninstallHooks() {
  static const FontUninstallHooks hooks = {SystemDeleteValue};
  return hooks;
}

ResultCode UninstallFont(OpenFontFile& file, const char* fileName, RemovalOutcome& outcome) {
  return UninstallFont(file, fileName, SystemFontUninstallHooks(), outcome);
}

ResultCode UninstallFont(const char* fileName, RemovalOutcome& outcome) {
  return UninstallFont(fileName, SystemFontUninstallHooks(), outcome);
}

ResultCode UninstallFont(const char* fileName) {
  RemovalOutcome ignored;
  return UninstallFont(fileName, ignored);
}

ResultCode UninstallFont(const char* fileName, const FontUninstallHooks& hooks) {
  RemovalOutcome ignored;
  return UninstallFont(fileName, hooks, ignored);
}

ResultCode UninstallFont(const char* fileName, const FontUninstallHooks& hooks, RemovalOutcome& outcome) {
  char fullPath[kPathBufferSize] = {};
  OpenFontFile file;
  if (FontsFolderPathOf(fileName, fullPath, /*report=*/false) == kOk) file = OpenFontFile(fullPath);
  return UninstallFont(file, fileName, hooks, outcome);
}

ResultCode UninstallFont(OpenFontFile& file, const char* fileName, const FontUninstallHooks& hooks,
                         RemovalOutcome& outcome) {
  outcome = RemovalOutcome::kStillOnDisk;
  RemoveFontResourceA(fileName);  // a font that was not loaded is no reason to stop

  char fullPath[kPathBufferSize] = {};
  const ResultCode pathResult = FontsFolderPathOf(fileName, fullPath);
  if (pathResult != kOk) {
    file.Close();
    return pathResult;
  }
  // Unloaded, the font may no longer be held: the Fonts folder's own path is one only an
  // administrator can redirect, and it is taken only when it leads to the very file identified.
  if (file.access() != OpenFontFile::Access::kRemovable) file.ReopenRemovable(fullPath);

  const ResultCode tableResult = RemoveFontTableValues(fileName, fullPath, hooks);
  if (tableResult != kOk) {
    file.Close();
    return tableResult;
  }

  outcome = RemoveFontFile(file, fullPath, fileName);
  if (outcome == RemovalOutcome::kStillOnDisk) return kFontFileDeleteFailed;

  // Also for a file left to the restart: the font is unloaded and unregistered now.
  BroadcastFontChange();
  return outcome == RemovalOutcome::kRemoved ? kOk : kFontFileDeleteFailed;
}

void BroadcastFontChange() {
  // A hung window anywhere on the desktop must not stop the removal: hung windows are skipped and
  // every other window gets a bounded time to answer.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeTimeoutPerWindowMs, &ignored);
}

ResultCode PreviewUninstallFont(const char* fileName) {
  char fullPath[kPathBufferSize] = {};
  const ResultCode pathResult = FontsFolderPathOf(fileName, fullPath);
  if (pathResult != kOk) return pathResult;
  return RemoveFontTableValues(fileName, fullPath, SystemFontUninstallHooks(), TableMode::kPreview);
}

}  // namespace kc
