#include <windows.h>

#include <cstdio>

#include "common/path_buffer.h"
#include "common/result_code.h"
#include "removal/file_deletion.h"
#include "removal/product_tools.h"
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

// Plain concatenation: every folder piece ends in its backslash. False when the result would not
// fit, since a cut-off path could name something else.
bool JoinPath(PathBuffer& out, const char* a, const char* b, const char* c = "",
              const char* d = "") {
  const int written = std::snprintf(out, kPathBufferSize, "%s%s%s%s", a, b, c, d);
  return written >= 0 && static_cast<size_t>(written) < kPathBufferSize;
}

void DeleteIn(const char* folder, const char* fileName) {
  PathBuffer path = {};
  if (JoinPath(path, folder, fileName)) DeleteTargetFile(path);  // failures leave the file, no more
}

}  // namespace

void RemoveProductTools() {
  PathBuffer desktop;
  if (GetDesktopFolderPath(desktop) == kOk) DeleteIn(desktop, kUserDesktopProgram);
  if (GetCommonDesktopFolderPath(desktop) == kOk) DeleteIn(desktop, kCommonDesktopShortcut);

  PathBuffer programFiles;
  if (GetProgramFilesFolderPath(programFiles) != kOk) return;

  PathBuffer toolFolder = {};
  if (!JoinPath(toolFolder, programFiles, kMakerFolder, kFontsFolder, kToolFolder)) return;
  DeleteIn(toolFolder, kInstaller);
  DeleteIn(toolFolder, kUninstaller);
  DeleteIn(toolFolder, kMenuProgram);

  // Innermost first; a folder that still holds anything stays, and so then do its parents.
  PathBuffer folder = {};
  RemoveDirectoryA(toolFolder);
  if (JoinPath(folder, programFiles, kMakerFolder, kFontsFolder, kUtilityFolder)) {
    RemoveDirectoryA(folder);
  }
  if (JoinPath(folder, programFiles, kMakerFolder, kFontsFolder)) RemoveDirectoryA(folder);
  if (JoinPath(folder, programFiles, kMakerFolder)) RemoveDirectoryA(folder);
}

}  // namespace kc
