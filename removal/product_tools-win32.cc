#include <windows.h>

#include <set>
#include <string>

#include "common/result_code.h"
#include "removal/file_deletion.h"
#include "removal/product_tools.h"
#include "removal/removal_journal.h"
#include "common/scoped_handles-win32.h"
#include "common/wide_text-win32.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

// The names as the product installs them, as Windows stores them.
constexpr wchar_t kUserDesktopProgram[] = L"DI ZadoVeve Divi Zozevozed.exe";
constexpr wchar_t kCommonDesktopShortcut[] =
    L"Windows Vista用TrueTypeフォント トライアル版 セットアップメニュー.lnk";
constexpr wchar_t kMakerFolder[] = L"Kestrel\\";
constexpr wchar_t kFontsFolder[] = L"Fonts\\";
constexpr wchar_t kToolFolder[] = L"ZIZAV\\";
constexpr wchar_t kUtilityFolder[] = L"Utility\\";
constexpr wchar_t kInstaller[] = L"ZIZAVInstaller.exe";
constexpr wchar_t kUninstaller[] = L"ZIZAVUninstaller.exe";
constexpr wchar_t kMenuProgram[] = L"メニュー.exe";

// The two things the clean-up does to the file system: delete a tool, remove a folder if empty.
class CleanupSteps {
 public:
  virtual void DeleteTool(const std::wstring& path) = 0;
  virtual void RemoveFolder(const std::wstring& path) = 0;

 protected:
  ~CleanupSteps() = default;
};

class RealSteps : public CleanupSteps {
 public:
  void DeleteTool(const std::wstring& path) override { DeleteTargetFile(path); }  // failures leave the file, no more

  void RemoveFolder(const std::wstring& path) override {
    if (RemoveDirectoryW(path.c_str())) {
      ReportRemoval(RemovalEventKind::kFolderRemoved, path);
      return;
    }
    const DWORD error = GetLastError();
    // A folder that is not there was not kept; one that holds anything was.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      ReportRemoval(RemovalEventKind::kFolderKept, path, L"", error);
    }
  }
};

// Looks and reports, changing nothing: a tool that exists would be deleted, and a folder would be
// removed when everything in it would be gone by then (the steps run innermost first).
class PreviewSteps : public CleanupSteps {
 public:
  void DeleteTool(const std::wstring& path) override {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    gone_.insert(Lower(path));
    ReportRemoval(RemovalEventKind::kFileWouldBeDeleted, path);
  }

  void RemoveFolder(const std::wstring& path) override {
    if (!WouldBeEmpty(path)) return;
    std::wstring folder(path);
    folder.pop_back();  // as its parent's listing names it: without the trailing backslash
    gone_.insert(Lower(folder));
    ReportRemoval(RemovalEventKind::kFolderWouldBeRemoved, path);
  }

 private:
  // Windows file names ignore letter case; the listing may spell an entry otherwise than we do.
  static std::wstring Lower(const std::wstring& path) {
    std::wstring lower = path;
    if (!lower.empty()) CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
  }

  // `folder` ends in a backslash. False when it does not exist or holds anything that would stay.
  bool WouldBeEmpty(const std::wstring& folder) const {
    WIN32_FIND_DATAW entry;
    ScopedFindHandle find(FindFirstFileW((ExtendedLengthPath(folder) + L"*").c_str(), &entry));
    if (!find.valid()) return false;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if (gone_.count(Lower(folder + name)) == 0) return false;
    } while (FindNextFileW(find.get(), &entry));
    return true;
  }

  std::set<std::wstring> gone_;
};

void DeleteIn(CleanupSteps& steps, const std::wstring& folder, const wchar_t* fileName) {
  steps.DeleteTool(folder + fileName);
}

void CleanUp(CleanupSteps& steps) {
  std::wstring desktop;
  if (GetDesktopFolderPath(desktop) == kOk) DeleteIn(steps, desktop, kUserDesktopProgram);
  if (GetCommonDesktopFolderPath(desktop) == kOk) DeleteIn(steps, desktop, kCommonDesktopShortcut);

  std::wstring programFiles;
  if (GetProgramFilesFolderPath(programFiles) != kOk) return;

  // Every folder piece ends in its backslash, so each folder is its parent and one piece.
  const std::wstring makerFolder = programFiles + kMakerFolder;
  const std::wstring fontsFolder = makerFolder + kFontsFolder;
  const std::wstring toolFolder = fontsFolder + kToolFolder;
  DeleteIn(steps, toolFolder, kInstaller);
  DeleteIn(steps, toolFolder, kUninstaller);
  DeleteIn(steps, toolFolder, kMenuProgram);

  // Innermost first; a folder that still holds anything stays, and so then do its parents.
  steps.RemoveFolder(toolFolder);
  steps.RemoveFolder(fontsFolder + kUtilityFolder);
  steps.RemoveFolder(fontsFolder);
  steps.RemoveFolder(makerFolder);
}

}  // namespace

void RemoveProductTools() {
  RealSteps steps;
  CleanUp(steps);
}

void PreviewProductTools() {
  PreviewSteps steps;
  CleanUp(steps);
}

}  // namespace kc
