// The real FontList.exe, driven from outside through kcui as a user would: the main screen, the
// About box, Abort, and every start-up failure. Conditions Wine cannot produce (Win32s, an
// unreadable drive list, memory exhausted while storing a drive root) come from FontListSeams.exe,
// the same program with those answers substituted; a standard user is real (a restricted token).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/dialog_texts-win32.h"
#include "tests/e2e/kcui_driver-win32.h"

namespace kc::e2e {
namespace {

std::string Pid(DWORD pid) { return " --pid " + std::to_string(pid); }

class StartupTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (DWORD pid : m_started) EndIfRunning(pid);
  }

  DWORD Start(const std::string& exeAndArgs, bool nonAdministrator = false) {
    const DWORD pid = StartProgram(exeAndArgs, nonAdministrator);
    m_started.push_back(pid);
    return pid;
  }

  static int ExitCode(DWORD pid) { return WaitForExitCode(pid); }

  // Waits for the main screen, checks it, and leaves it open.
  static void ExpectMainScreen(DWORD pid) {
    const ToolRun texts = Kcui("texts " + kMainTitle + Pid(pid));
    ASSERT_EQ(0, texts.status);
    EXPECT_EQ(kMainScreenTexts, texts.out);
  }

  std::vector<DWORD> m_started;
};

TEST_F(StartupTest, MainScreenShowsItsTextsAndAbortEndsTheProgram) {
  const DWORD pid = Start("FontList.exe");
  ASSERT_NE(0u, pid);
  ExpectMainScreen(pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 2" + Pid(pid)).status);
  EXPECT_EQ(0, Kcui("gone " + kMainTitle + Pid(pid)).status);
  EXPECT_EQ(0, ExitCode(pid));
}

// Abort, Esc and the close box all end the program, and nothing on any drive changes.
TEST_F(StartupTest, EveryWayOfAbortingLeavesTheDrivesAsTheyWere) {
  const char* const files[] = {"C:\\kc-fixture.otf", "D:\\fonts\\kc-fixture.otf"};
  CreateDirectoryA("D:\\fonts", nullptr);
  for (const char* path : files) {
    FILE* file = std::fopen(path, "wb");
    ASSERT_NE(nullptr, file) << path;
    std::fputs("OTTO fixture", file);
    std::fclose(file);
  }
  const std::string ways[] = {"click " + kMainTitle + " 2", "key " + kMainTitle + " esc",
                              "syscommand " + kMainTitle + " 0xF060"};
  for (const std::string& way : ways) {
    const DWORD pid = Start("FontList.exe");
    ASSERT_NE(0u, pid);
    ASSERT_EQ(0, Kcui("find " + kMainTitle + Pid(pid)).status) << way;
    ASSERT_EQ(0, Kcui(way + Pid(pid)).status) << way;
    EXPECT_EQ(0, ExitCode(pid)) << way;
  }
  for (const char* path : files) {
    FILE* file = std::fopen(path, "rb");
    ASSERT_NE(nullptr, file) << path << " was removed";
    char content[32] = {};
    std::fread(content, 1, sizeof content - 1, file);
    std::fclose(file);
    EXPECT_STREQ("OTTO fixture", content) << path;
  }
}

// Only bits 4 to 15 of a system command are compared: 16 to 31 all open the About box.
TEST_F(StartupTest, SystemCommands16To31OpenTheAboutBox) {
  const DWORD pid = Start("FontList.exe");
  ASSERT_NE(0u, pid);
  ASSERT_EQ(0, Kcui("find " + kMainTitle + Pid(pid)).status);
  for (const char* command : {"16", "17", "31"}) {
    ASSERT_EQ(0, Kcui("syscommand " + kMainTitle + " " + command + Pid(pid)).status);
    const ToolRun about = Kcui("texts " + kProgramTitle + Pid(pid));
    ASSERT_EQ(0, about.status) << "command " << command;
    EXPECT_EQ(kAboutTexts, about.out);
    ASSERT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid(pid)).status);
    ASSERT_EQ(0, Kcui("gone " + kProgramTitle + Pid(pid)).status);
  }
  ASSERT_EQ(0, Kcui("syscommand " + kMainTitle + " 32" + Pid(pid)).status);
  EXPECT_NE(0, Kcui("find " + kProgramTitle + " --timeout 700" + Pid(pid)).status)
      << "command 32 is not the About item";
  ExpectMainScreen(pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 2" + Pid(pid)).status);
  EXPECT_EQ(0, ExitCode(pid));
}

struct StartupFailure {
  const char* program;  // with its seams
  bool nonAdministrator;
  std::vector<std::string> messages;  // in the order shown
};

// Each failed check shows its own message; the main screen never appears; the program ends.
TEST_F(StartupTest, FailedChecksShowTheirMessagesInOrderAndEndTheProgram) {
  const StartupFailure cases[] = {
      {"FontList.exe", true, {kMessage1003}},
      {"FontListSeams.exe win32s", false, {kMessage1002}},
      {"FontListSeams.exe drives-unreadable", false, {kMessage1001}},
      {"FontListSeams.exe drives-no-memory", false, {kMessage1009}},
      {"FontListSeams.exe drives-unreadable", true, {kMessage1003, kMessage1001}},
      {"FontListSeams.exe drives-no-memory", true, {kMessage1003, kMessage1009}},
      // Win32s skips the administrator check: a standard user sees no message 1003 there.
      {"FontListSeams.exe win32s drives-unreadable", true, {kMessage1002, kMessage1001}},
  };
  for (const StartupFailure& failure : cases) {
    SCOPED_TRACE(std::string(failure.program) + (failure.nonAdministrator ? " (standard user)" : ""));
    const DWORD pid = Start(failure.program, failure.nonAdministrator);
    ASSERT_NE(0u, pid);
    for (const std::string& message : failure.messages) {
      // Two error dialogs share a title: tell them apart by their handles.
      const ToolRun found = Kcui("find " + kProgramTitle + Pid(pid));
      ASSERT_EQ(0, found.status);
      const std::string dialog = "hwnd:" + Lines(found.out).at(0);
      const ToolRun error = Kcui("texts " + dialog);
      ASSERT_EQ(0, error.status);
      EXPECT_EQ(ErrorDialogTexts(message), error.out);
      EXPECT_NE(0, Kcui("find " + kMainTitle + " --timeout 0" + Pid(pid)).status)
          << "the main screen is shown behind an error";
      ASSERT_EQ(0, Kcui("click " + dialog + " 1").status);
      ASSERT_EQ(0, Kcui("gone " + dialog).status);
    }
    EXPECT_EQ(0, ExitCode(pid));
  }
}

// Windows 95/98/Me pass the platform check and skip the administrator check, even for a user
// without administrator rights.
TEST_F(StartupTest, Windows98NeedsNoAdministrator) {
  const DWORD pid = Start("FontListSeams.exe win98", true);
  ASSERT_NE(0u, pid);
  ExpectMainScreen(pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 2" + Pid(pid)).status);
  EXPECT_EQ(0, ExitCode(pid));
}

// What Windows reads from the file before it runs it: the version block and the manifest.
TEST(ProgramFileTest, CarriesItsVersionAndAnAdministratorManifest) {
  const char* const program = "C:\\tests\\FontList.exe";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(program, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
  EXPECT_EQ(0u, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00010001u, fixed->dwProductVersionMS);
  for (const char* name : {"FileDescription", "ProductName"}) {
    char* text = nullptr;
    const std::string path = std::string("\\StringFileInfo\\041103a4\\") + name;
    ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << name;
    EXPECT_STREQ("KESTREL CHARTER削除プログラム", text) << name;
  }

  const HMODULE file = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, file);
  const HRSRC manifest = FindResourceA(file, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(nullptr, manifest);
  const char* xml = static_cast<const char*>(LockResource(LoadResource(file, manifest)));
  const std::string text(xml, SizeofResource(file, manifest));
  for (const char* part : {"level=\"requireAdministrator\" uiAccess=\"false\"",
                           "processorArchitecture=\"", "name=\"Microsoft.Windows.Common-Controls\""}) {
    EXPECT_NE(std::string::npos, text.find(part)) << part;
  }
  FreeLibrary(file);
}

}  // namespace
}  // namespace kc::e2e
