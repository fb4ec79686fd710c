// The special-folder lookups against Wine's shell. Cases that move or redirect a folder run in a
// prefix of their own (see CMakeLists.txt).
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "common/path_buffer.h"
#include "common/result_code.h"
#include "removal/shell_folders.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

using Lookup = ResultCode (*)(std::wstring&);

struct Member {
  const char* name;
  Lookup lookup;
  int csidl;
  ResultCode failure;
};

const Member kMembers[] = {
    {"GetDesktopFolderPath", GetDesktopFolderPath, CSIDL_DESKTOPDIRECTORY,
     kCommonDesktopUnavailable},
    {"GetCommonDesktopFolderPath", GetCommonDesktopFolderPath, CSIDL_COMMON_DESKTOPDIRECTORY,
     kCommonDesktopUnavailable},
    {"GetFontsFolderPath", GetFontsFolderPath, CSIDL_FONTS, kFontsFolderUnavailable},
    {"GetProgramFilesFolderPath", GetProgramFilesFolderPath, CSIDL_PROGRAM_FILES,
     kFolderUnavailable},
};

const Member& MemberFor(int csidl) {
  for (const Member& m : kMembers) {
    if (m.csidl == csidl) return m;
  }
  return kMembers[0];
}

// Runs a lookup into a string holding a canary, which a failure must clear; the path is compared
// in the system's code page, as the shell's ANSI answer spells it.
struct LookupResult {
  ResultCode code;
  std::string path;
  bool restCleared;
};

LookupResult RunLookup(Lookup lookup) {
  std::wstring out = L"canary";
  LookupResult result;
  result.code = lookup(out);
  char ansi[kPathBufferSize] = {};
  WideCharToMultiByte(CP_ACP, 0, out.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  result.path = ansi;
  result.restCleared = result.code == kOk || out.empty();
  return result;
}

// ---- Folders that exist ----

TEST(SpecialFolders, EveryFolderEndsInExactlyOneBackslash) {
  for (const Member& m : kMembers) {
    const LookupResult r = RunLookup(m.lookup);
    EXPECT_EQ(kOk, r.code) << m.name;
    EXPECT_EQ(ExpectedFolder(m.csidl), r.path) << m.name;
    ASSERT_GE(r.path.size(), 4u) << m.name;
    EXPECT_EQ('\\', r.path.back()) << m.name;
    EXPECT_NE('\\', r.path[r.path.size() - 2]) << m.name << ": doubled backslash";
    EXPECT_TRUE(r.restCleared) << m.name << ": the whole buffer is cleared first";
  }
}

// A folder reported with its own backslash, such as a drive root, is returned unchanged.
TEST(SpecialFoldersRedirected, DriveRootKeepsItsSingleBackslash) {
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kUserShellFoldersKeyPath, "Desktop", "D:\\"));
  ASSERT_EQ(ExpectedFolder(CSIDL_DESKTOPDIRECTORY), "D:\\\\") << "Wine reports D:\\ as it is";
  const LookupResult r = RunLookup(GetDesktopFolderPath);
  EXPECT_EQ(kOk, r.code);
  EXPECT_EQ("D:\\", r.path);
}

// "ソ" is 0x83 0x5C in code page 932: its second byte is not a backslash, so one is appended.
TEST(SpecialFoldersRedirected, FolderEndingInDoubleByteWithBackslashByte) {
  const std::string folder =
      "C:\\kc-desktop\\\x83\x66\x83\x58\x83\x4e\x83\x67\x83\x62\x83\x76\x83\x5c";
  ASSERT_TRUE(MakeFolders(folder + "\\"));
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kUserShellFoldersKeyPath, "Desktop", folder));
  ASSERT_EQ(folder + "\\", ExpectedFolder(CSIDL_DESKTOPDIRECTORY));
  const LookupResult r = RunLookup(GetDesktopFolderPath);
  EXPECT_EQ(kOk, r.code);
  EXPECT_EQ(folder + "\\", r.path);
}

// ---- Folders that are not there: the lookup fails, the buffer stays empty, nothing is made ----

void ExpectFailure(int csidl, const std::string& mustNotAppear) {
  const Member& m = MemberFor(csidl);
  const LookupResult r = RunLookup(m.lookup);
  EXPECT_EQ(m.failure, r.code) << m.name;
  EXPECT_EQ("", r.path) << m.name;
  EXPECT_TRUE(r.restCleared) << m.name;
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes(mustNotAppear)) << m.name << " made a folder";
}

TEST(SpecialFoldersMissing, CommonDesktopRemoved) {
  const std::string commonDesktop = ExpectedFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
  ASSERT_TRUE(RemoveDirectoryA(commonDesktop.c_str())) << commonDesktop << " " << GetLastError();
  ExpectFailure(CSIDL_COMMON_DESKTOPDIRECTORY, commonDesktop);
  EXPECT_EQ(kOk, RunLookup(GetDesktopFolderPath).code) << "the user's desktop is unaffected";
}

TEST(SpecialFoldersMissing, DesktopsPointNowhere) {
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kUserShellFoldersKeyPath, "Desktop",
                                "C:\\kc-nowhere\\Desktop"));
  ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kUserShellFoldersKeyPath, "Common Desktop",
                                "C:\\kc-nowhere\\Common Desktop"));
  ExpectFailure(CSIDL_DESKTOPDIRECTORY, "C:\\kc-nowhere");
  ExpectFailure(CSIDL_COMMON_DESKTOPDIRECTORY, "C:\\kc-nowhere");
}

TEST(SpecialFoldersMissing, FontsFolderRenamed) {
  const std::string fonts = ExpectedFolder(CSIDL_FONTS);
  const std::string withoutBackslash = fonts.substr(0, fonts.size() - 1);
  ASSERT_TRUE(MoveFileA(withoutBackslash.c_str(), (withoutBackslash + "-away").c_str()))
      << GetLastError();
  ExpectFailure(CSIDL_FONTS, fonts);
}

TEST(SpecialFoldersMissing, ProgramFilesPointsNowhere) {
  ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                "ProgramFilesDir", "C:\\kc-nowhere\\Program Files"));
  ExpectFailure(CSIDL_PROGRAM_FILES, "C:\\kc-nowhere");
}

}  // namespace
}  // namespace kc
