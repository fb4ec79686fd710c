#include <windows.h>

#include <cstring>
#include <set>
#include <string>

#include "common/path_buffer.h"
#include "common/path_copy.h"
#include "common/result_code.h"
#include "removal/file_deletion.h"
#include "removal/product_tools.h"
#include "removal/removal_journal.h"
#include "common/scoped_handles-win32.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

// The names as the product installs them, code page 932 in the executable (-fexec-charset=CP932).
constexpr char kUserDesktopProgram[] = "DI ZadoVeve Divi Zozevozed.exe";
constexpr char kCommonDesktopShortcut[] =
    "Windows Vista用TrueTypeフォント トライアル版 セットアップメニュー.lnk";
constexpr char kMakerFolder[] = "Kestrel\\";
constexpr char kFontsFolder[] = "Fonts\\";
constexpr char kToolFolder[] = "ZIZAV\\";
constexpr char kUtilityFolder[] = "Utility\\";
constexpr char kInstaller[] = "ZIZAVInstaller.exe";
constexpr char kUninstaller[] = "ZIZAVUninstaller.exe";
constexpr char kMenuProgram[] = "メニュー.exe";

// A UTF-8 build would look for files that do not exist and remove nothing.
static_assert(sizeof kMenuProgram == 13, "Japanese names must be code page 932 bytes");
static_assert(sizeof kCommonDesktopShortcut == 70, "Japanese names must be code page 932 bytes");

using PathBuffer = char[kPathBufferSize];

// The two things the clean-up does to the file system: delete a tool, remove a folder if empty.
class CleanupSteps {
 public:
  virtual void DeleteTool(const char* path) = 0;
  virtual void RemoveFolder(const char* path) = 0;

 protected:
  ~CleanupSteps() = default;
};

class RealSteps : public CleanupSteps {
 public:
  void DeleteTool(const char* path) override { DeleteTargetFile(path); }  // failures leave the file, no more

  void RemoveFolder(const char* path) override {
    if (RemoveDirectoryA(path)) {
      ReportRemoval(RemovalEventKind::kFolderRemoved, path);
      return;
    }
    const DWORD error = GetLastError();
    // A folder that is not there was not kept; one that holds anything was.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      ReportRemoval(RemovalEventKind::kFolderKept, path, "", error);
    }
  }
};

// Looks and reports, changing nothing: a tool that exists would be deleted, and a folder would be
// removed when everything in it would be gone by then (the steps run innermost first).
class PreviewSteps : public CleanupSteps {
 public:
  void DeleteTool(const char* path) override {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    gone_.insert(Lower(path));
    ReportRemoval(RemovalEventKind::kFileWouldBeDeleted, path);
  }

  void RemoveFolder(const char* path) override {
    if (!WouldBeEmpty(path)) return;
    std::string folder(path);
    folder.pop_back();  // as its parent's listing names it: without the trailing backslash
    gone_.insert(Lower(folder));
    ReportRemoval(RemovalEventKind::kFolderWouldBeRemoved, path);
  }

 private:
  // Windows file names ignore letter case; the listing may spell an entry otherwise than we do.
  static std::string Lower(const std::string& path) {
    std::string lower = path;
    if (!lower.empty()) CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
  }

  // `folder` ends in a backslash. False when it does not exist or holds anything that would stay.
  bool WouldBeEmpty(const char* folder) const {
    PathBuffer pattern = {};
    if (!JoinPath(pattern, folder, "*.*")) return false;
    WIN32_FIND_DATAA entry;
    ScopedFindHandle find(FindFirstFileA(pattern, &entry));
    if (!find.valid()) return false;
    do {
      if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
      if (gone_.count(Lower(std::string(folder) + entry.cFileName)) == 0) return false;
    } while (FindNextFileA(find.get(), &entry));
    return true;
  }

  std::set<std::string> gone_;
};

void DeleteIn(CleanupSteps& steps, const char* folder, const char* fileName) {
  PathBuffer path = {};
  if (JoinPath(path, folder, fileName)) steps.DeleteTool(path);
}

void CleanUp(CleanupSteps& steps) {
  PathBuffer desktop;
  if (GetDesktopFolderPath(desktop) == kOk) DeleteIn(steps, desktop, kUserDesktopProgram);
  if (GetCommonDesktopFolderPath(desktop) == kOk) DeleteIn(steps, desktop, kCommonDesktopShortcut);

  PathBuffer programFiles;
  if (GetProgramFilesFolderPath(programFiles) != kOk) return;

  // Every folder piece ends in its backslash, so each folder is its parent and one piece.
  PathBuffer makerFolder = {};
  PathBuffer fontsFolder = {};
  PathBuffer toolFolder = {};
  if (!JoinPath(makerFolder, programFiles, kMakerFolder) || !JoinPath(fontsFolder, makerFolder, kFontsFolder) ||
      !JoinPath(toolFolder, fontsFolder, kToolFolder)) {
    return;
  }
  DeleteIn(steps, toolFolder, kInstaller);
  DeleteIn(steps, toolFolder, kUninstaller);
  DeleteIn(steps, toolFolder, kMenuProgram);

  // Innermost first; a folder that still holds anything stays, and so then do its parents.
  steps.RemoveFolder(toolFolder);
  PathBuffer utilityFolder = {};
  if (JoinPath(utilityFolder, fontsFolder, kUtilityFolder)) steps.RemoveFolder(utilityFolder);
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
