#include <windows.h>

#include <string>

#include "common/open_font_file-win32.h"
#include "common/result_code.h"
#include "common/scoped_handles-win32.h"
#include "common/wide_text-win32.h"
#include "removal/font_file_removal.h"
#include "removal/font_table_values-win32.h"
#include "removal/font_uninstall.h"
#include "removal/font_uninstall_hooks-win32.h"
#include "removal/removal_journal.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

constexpr wchar_t kFontTableKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

LONG SystemDeleteValue(HKEY key, const wchar_t* valueName) { return RegDeleteValueW(key, valueName); }

// The machine's table names a file in the Fonts folder by its bare name or by its full path.
struct FileNames {
  std::wstring fileName;
  std::wstring fullPath;
};

bool DataNamesFile(const wchar_t* data, const void* context) {
  const auto* names = static_cast<const FileNames*>(context);
  const std::wstring text(data);
  return SameWideNameIgnoringCase(text, names->fileName) || SameWideNameIgnoringCase(text, names->fullPath);
}

// One pass over the font table that deletes (or, for a preview, only reports) every value naming
// the file. 0 or kFontTableUnavailable.
ResultCode RemoveFontTableValues(const FileNames& names, const FontUninstallHooks& hooks,
                                 TableMode mode = TableMode::kRemove) {
  ScopedRegKey key;
  const REGSAM access = mode == TableMode::kRemove ? KEY_ALL_ACCESS : KEY_QUERY_VALUE;
  const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontTableKey, 0, access, key.receive());
  if (opened != ERROR_SUCCESS) {
    ReportRemoval(RemovalEventKind::kFontTableUnavailable, names.fileName, L"", static_cast<unsigned long>(opened));
    return kFontTableUnavailable;
  }
  const LONG removed = RemoveMatchingValues(key.get(), DataNamesFile, &names, L"", mode, hooks.deleteValue);
  return removed == ERROR_SUCCESS ? kOk : kFontTableUnavailable;
}

// The file's name and its full path in the Fonts folder. 0 or kFontsFolderUnavailable (reported
// unless told otherwise).
ResultCode FontsFolderNamesOf(const wchar_t* fileName, FileNames& names, bool report = true) {
  std::wstring fontsFolder;
  names.fileName = fileName;
  if (GetFontsFolderPath(fontsFolder) != kOk) {
    if (report) ReportRemoval(RemovalEventKind::kFontsFolderUnavailable, names.fileName);
    return kFontsFolderUnavailable;
  }
  names.fullPath = fontsFolder + fileName;
  return kOk;
}

}  // namespace

const FontUninstallHooks& SystemFontUninstallHooks() {
  static const FontUninstallHooks hooks = {SystemDeleteValue};
  return hooks;
}

ResultCode UninstallFont(OpenFontFile& file, const wchar_t* fileName, RemovalOutcome& outcome) {
  return UninstallFont(file, fileName, SystemFontUninstallHooks(), outcome);
}

ResultCode UninstallFont(const wchar_t* fileName, RemovalOutcome& outcome) {
  return UninstallFont(fileName, SystemFontUninstallHooks(), outcome);
}

ResultCode UninstallFont(const wchar_t* fileName) {
  RemovalOutcome ignored;
  return UninstallFont(fileName, ignored);
}

ResultCode UninstallFont(const wchar_t* fileName, const FontUninstallHooks& hooks) {
  RemovalOutcome ignored;
  return UninstallFont(fileName, hooks, ignored);
}

ResultCode UninstallFont(const wchar_t* fileName, const FontUninstallHooks& hooks, RemovalOutcome& outcome) {
  FileNames names;
  OpenFontFile file;
  if (FontsFolderNamesOf(fileName, names, /*report=*/false) == kOk) {
    file = OpenFontFile(ExtendedLengthPath(names.fullPath).c_str());
  }
  return UninstallFont(file, fileName, hooks, outcome);
}

ResultCode UninstallFont(OpenFontFile& file, const wchar_t* fileName, const FontUninstallHooks& hooks,
                         RemovalOutcome& outcome) {
  outcome = RemovalOutcome::kStillOnDisk;
  RemoveFontResourceW(fileName);  // a font that was not loaded is no reason to stop

  FileNames names;
  const ResultCode pathResult = FontsFolderNamesOf(fileName, names);
  if (pathResult != kOk) {
    file.Close();
    return pathResult;
  }
  const std::wstring fullPath = ExtendedLengthPath(names.fullPath);
  // Unloaded, the font may no longer be held: the Fonts folder's own path is one only an
  // administrator can redirect, and it is taken only when it leads to the very file identified.
  if (file.access() != OpenFontFile::Access::kRemovable) file.ReopenRemovable(fullPath.c_str());

  const ResultCode tableResult = RemoveFontTableValues(names, hooks);
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
  SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeTimeoutPerWindowMs, &ignored);
}

ResultCode PreviewUninstallFont(const wchar_t* fileName) {
  FileNames names;
  const ResultCode pathResult = FontsFolderNamesOf(fileName, names);
  if (pathResult != kOk) return pathResult;
  return RemoveFontTableValues(names, SystemFontUninstallHooks(), TableMode::kPreview);
}

}  // namespace kc
