// RemoveProductTools and its preview on real desktops and a real program-files folder of the test
// prefix, and what both tell the removal journal. The names are written here as code page 932
// bytes, independently of the literals in the program.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "removal/product_tools.h"
#include "tests/removal/helper_process-win32.h"
#include "tests/removal/journal_recorder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

const std::string kUserProgram = "DI ZadoVeve Divi Zozevozed.exe";
// "Windows Vista用TrueTypeフォント トライアル版 セットアップメニュー.lnk"
const std::string kShortcut =
    "Windows Vista\x97\x70TrueType\x83\x74\x83\x48\x83\x93\x83\x67 "
    "\x83\x67\x83\x89\x83\x43\x83\x41\x83\x8b\x94\xc5 "
    "\x83\x5a\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76\x83\x81\x83\x6a\x83\x85\x81\x5b.lnk";
const std::string kMenuProgram = "\x83\x81\x83\x6a\x83\x85\x81\x5b.exe";  // "メニュー.exe"

class ProductToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    userDesktop_ = ExpectedFolder(CSIDL_DESKTOPDIRECTORY);
    commonDesktop_ = ExpectedFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    programFiles_ = ExpectedFolder(CSIDL_PROGRAM_FILES);
    kestrel_ = programFiles_ + "Kestrel\\";
    fonts_ = kestrel_ + "Fonts\\";
    tools_ = fonts_ + "ZIZAV\\";
    utility_ = fonts_ + "Utility\\";
    ASSERT_TRUE(FolderExists(userDesktop_)) << userDesktop_;
    ASSERT_TRUE(FolderExists(commonDesktop_)) << commonDesktop_;
    ASSERT_TRUE(FolderExists(programFiles_)) << programFiles_;
  }
  void TearDown() override {
    // Leave nothing for the next case of the same prefix.
    for (const std::string& f :
         {tools_ + "ZIZAVInstaller.exe", tools_ + "ZIZAVUninstaller.exe", tools_ + kMenuProgram,
          fonts_ + "mine.txt", userDesktop_ + kUserProgram, commonDesktop_ + kShortcut,
          userDesktop_ + "bystander.lnk", commonDesktop_ + "bystander.lnk"}) {
      SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(f.c_str());
    }
    for (const std::string& d : {tools_, utility_, fonts_, kestrel_}) RemoveDirectoryA(d.c_str());
  }

  // Everything the product leaves, plus one file of the user's on each desktop.
  void InstallProduct() {
    ASSERT_TRUE(MakeFolders(tools_));
    ASSERT_TRUE(MakeFolders(utility_));
    ASSERT_TRUE(MakeFile(tools_ + "ZIZAVInstaller.exe", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFile(tools_ + "ZIZAVUninstaller.exe"));
    ASSERT_TRUE(MakeFile(tools_ + kMenuProgram));
    ASSERT_TRUE(MakeFile(userDesktop_ + kUserProgram));
    ASSERT_TRUE(MakeFile(commonDesktop_ + kShortcut));
    ASSERT_TRUE(MakeFile(userDesktop_ + "bystander.lnk"));
    ASSERT_TRUE(MakeFile(commonDesktop_ + "bystander.lnk"));
  }
  void ExpectBystandersKept() {
    EXPECT_TRUE(FileExists(userDesktop_ + "bystander.lnk"));
    EXPECT_TRUE(FileExists(commonDesktop_ + "bystander.lnk"));
    EXPECT_TRUE(FolderExists(programFiles_));
  }

  // What the preview reports; the machine must be unchanged by it.
  std::vector<std::string> Preview() {
    const std::vector<std::string> before = Present();
    JournalRecorder journal;
    PreviewProductTools();
    EXPECT_EQ(before, Present()) << "a preview changes nothing";
    return journal.lines;
  }
  std::vector<std::string> Present() {
    std::vector<std::string> present;
    for (const std::string& f : {userDesktop_ + kUserProgram, commonDesktop_ + kShortcut,
                                 tools_ + "ZIZAVInstaller.exe", tools_ + "ZIZAVUninstaller.exe",
                                 tools_ + kMenuProgram, tools_, utility_, fonts_, kestrel_}) {
      if (GetFileAttributesA(f.c_str()) != INVALID_FILE_ATTRIBUTES) present.push_back(f);
    }
    return present;
  }
  // The journal lines of deleting every tool, "would ..." for a preview.
  std::vector<std::string> ToolLines(const std::string& verb) {
    std::vector<std::string> lines;
    for (const std::string& f : {userDesktop_ + kUserProgram, commonDesktop_ + kShortcut,
                                 tools_ + "ZIZAVInstaller.exe", tools_ + "ZIZAVUninstaller.exe",
                                 tools_ + kMenuProgram}) {
      lines.push_back(verb + "|" + f + "||0");
    }
    return lines;
  }

  std::string userDesktop_, commonDesktop_, programFiles_, kestrel_, fonts_, tools_, utility_;
};

TEST_F(ProductToolsTest, NothingPresentNothingMade) {
  EXPECT_EQ(std::vector<std::string>{}, Preview());
  JournalRecorder journal;
  RemoveProductTools();
  EXPECT_EQ(std::vector<std::string>{}, journal.lines) << "nothing was there: nothing to tell";
  EXPECT_FALSE(FolderExists(kestrel_));
  EXPECT_TRUE(FolderExists(userDesktop_));
  EXPECT_TRUE(FolderExists(commonDesktop_));
}

TEST_F(ProductToolsTest, EverythingOfTheProductGoes) {
  InstallProduct();
  std::vector<std::string> expectedPreview = ToolLines("would delete");
  for (const std::string& folder : {tools_, utility_, fonts_, kestrel_}) {
    expectedPreview.push_back("would remove folder|" + folder + "||0");
  }
  EXPECT_EQ(expectedPreview, Preview());

  JournalRecorder journal;
  RemoveProductTools();
  std::vector<std::string> expected = ToolLines("deleted");
  for (const std::string& folder : {tools_, utility_, fonts_, kestrel_}) {
    expected.push_back("folder removed|" + folder + "||0");
  }
  EXPECT_EQ(expected, journal.lines);
  EXPECT_FALSE(FileExists(userDesktop_ + kUserProgram));
  EXPECT_FALSE(FileExists(commonDesktop_ + kShortcut));
  EXPECT_FALSE(FolderExists(kestrel_)) << "tool files and all four folders are gone";
  ExpectBystandersKept();

  RemoveProductTools();  // a second run finds nothing and does no harm
  EXPECT_FALSE(FolderExists(kestrel_));
  ExpectBystandersKept();
}

TEST_F(ProductToolsTest, UsersFileKeepsFontsAndKestrel) {
  InstallProduct();
  ASSERT_TRUE(MakeFile(fonts_ + "mine.txt"));
  std::vector<std::string> expectedPreview = ToolLines("would delete");
  expectedPreview.push_back("would remove folder|" + tools_ + "||0");
  expectedPreview.push_back("would remove folder|" + utility_ + "||0");
  EXPECT_EQ(expectedPreview, Preview());

  JournalRecorder journal;
  RemoveProductTools();
  std::vector<std::string> expected = ToolLines("deleted");
  expected.push_back("folder removed|" + tools_ + "||0");
  expected.push_back("folder removed|" + utility_ + "||0");
  expected.push_back("folder kept|" + fonts_ + "||" + std::to_string(ERROR_DIR_NOT_EMPTY));
  expected.push_back("folder kept|" + kestrel_ + "||" + std::to_string(ERROR_DIR_NOT_EMPTY));
  EXPECT_EQ(expected, journal.lines);
  EXPECT_FALSE(FolderExists(tools_));
  EXPECT_FALSE(FolderExists(utility_));
  EXPECT_TRUE(FileExists(fonts_ + "mine.txt"));
  EXPECT_TRUE(FolderExists(fonts_));
  EXPECT_TRUE(FolderExists(kestrel_));
  ExpectBystandersKept();
}

TEST_F(ProductToolsTest, HeldOpenMenuProgramKeepsItsFolders) {
  InstallProduct();
  {
    HelperProcess holder(HoldArguments(tools_ + kMenuProgram));
    ASSERT_TRUE(holder.ready()) << holder.failure();
    RemoveProductTools();
  }
  EXPECT_TRUE(FileExists(tools_ + kMenuProgram));
  EXPECT_FALSE(FileExists(tools_ + "ZIZAVInstaller.exe"));
  EXPECT_FALSE(FileExists(tools_ + "ZIZAVUninstaller.exe"));
  EXPECT_TRUE(FolderExists(tools_));
  EXPECT_FALSE(FolderExists(utility_)) << "the empty Utility folder still goes";
  EXPECT_TRUE(FolderExists(kestrel_));
  EXPECT_FALSE(FileExists(userDesktop_ + kUserProgram));
  EXPECT_FALSE(FileExists(commonDesktop_ + kShortcut));
}

// ---- Each in a prefix of its own: a lookup is broken for good ----

TEST_F(ProductToolsTest, DesktopLookupsFailProgramFilesStillCleaned) {
  InstallProduct();
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kUserShellFoldersKeyPath, "Desktop",
                                "C:\\kc-nowhere\\Desktop"));
  ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kUserShellFoldersKeyPath, "Common Desktop",
                                "C:\\kc-nowhere\\Common Desktop"));
  RemoveProductTools();
  EXPECT_TRUE(FileExists(userDesktop_ + kUserProgram)) << "its desktop was not found";
  EXPECT_TRUE(FileExists(commonDesktop_ + kShortcut)) << "its desktop was not found";
  EXPECT_FALSE(FolderExists(kestrel_));
  EXPECT_FALSE(FolderExists("C:\\kc-nowhere"));
}

TEST_F(ProductToolsTest, ProgramFilesLookupFailsDesktopsStillCleaned) {
  InstallProduct();
  ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                "ProgramFilesDir", "C:\\kc-nowhere\\Program Files"));
  RemoveProductTools();
  EXPECT_FALSE(FileExists(userDesktop_ + kUserProgram));
  EXPECT_FALSE(FileExists(commonDesktop_ + kShortcut));
  EXPECT_TRUE(FileExists(tools_ + "ZIZAVInstaller.exe"));
  EXPECT_TRUE(FileExists(tools_ + kMenuProgram));
  EXPECT_TRUE(FolderExists(utility_));
  EXPECT_FALSE(FolderExists("C:\\kc-nowhere"));
}

}  // namespace
}  // namespace kc
