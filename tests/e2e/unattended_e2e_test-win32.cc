// The administrators' runs of the real FontList.exe, end to end: /preview and /silent on the
// demo PC, a font held open, a standard user, an application that will not close, bad switches,
// memory running out, a log that cannot be written, the dialog program's /log, and the fleet
// report over the logs of such runs. Every program
// is started through kcui's run-watched, which sees every window its process ever makes: a silent
// run or a preview must make none. The machine is compared whole (every file, folder and registry
// value) before and after, and with what the log says.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/kcui_driver-win32.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/file_tree-win32.h"
#include "tests/support/machine_state-win32.h"

namespace kc::e2e {
namespace {

using testsupport::MachineState;
using testsupport::StateChanges;

constexpr char kFontTable[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const std::string kProgramTitle = "\"KESTREL CHARTER解約プログラム\"";
const std::string kMainTitle = "\"KESTREL CHARTER契約解約時のフォント削除処理\"";

// ---- Running a program and watching it for windows ----

struct WatchedRun {
  bool ended = false;
  int exitCode = -1000;
  std::vector<std::string> windows;  // "class<TAB>title" of each window its process made
  std::string output;                // kcui's, for failure messages
};

WatchedRun RunWatched(const std::string& exeAndArgs, bool nonAdministrator = false) {
  WatchedRun run;
  const ToolRun tool = Kcui(std::string("--timeout 300000 run-watched ") + (nonAdministrator ? "--non-admin " : "") +
                            "C:\\tests\\" + exeAndArgs);
  run.output = tool.out;
  for (const std::string& line : Lines(tool.out)) {
    if (line.compare(0, 7, "window\t") == 0) run.windows.push_back(line.substr(7));
    if (line.compare(0, 5, "exit\t") == 0) {
      run.ended = true;
      run.exitCode = std::atoi(line.c_str() + 5);
    }
  }
  return run;
}

// A silent run or a preview: it ends with `exitCode` and no window of it ever existed.
void ExpectWindowless(const WatchedRun& run, int exitCode) {
  EXPECT_TRUE(run.ended) << run.output;
  EXPECT_EQ(exitCode, run.exitCode) << run.output;
  EXPECT_EQ(std::vector<std::string>{}, run.windows) << "windows of the program: " << run.output;
}

// ---- The log ----

std::string Utf8ToAnsi(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wideLength);
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], length, nullptr, nullptr);
  return ansi;
}

// The log's events in the ANSI code page, without their times. Fails the test unless the file
// begins with a byte-order mark and every line with a time and ends in CR LF.
std::vector<std::string> LogEvents(const std::string& path) {
  const std::string bytes = testsupport::ReadWholeFile(path);
  std::vector<std::string> events;
  EXPECT_EQ(0u, bytes.find("\xEF\xBB\xBF")) << path << " begins with a UTF-8 byte-order mark";
  if (bytes.size() < 3) return events;
  static const std::regex timed("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)");
  size_t start = 3;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    EXPECT_NE(std::string::npos, end) << path << ": the last line ends in CR LF";
    const std::string line = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, timed)) << line;
    events.push_back(Utf8ToAnsi(match.size() > 1 ? match[1].str() : line));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return events;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool Has(const std::vector<std::string>& events, const std::string& event) {
  for (const std::string& e : events) {
    if (e == event) return true;
  }
  return false;
}

bool HasPrefix(const std::vector<std::string>& events, const std::string& prefix) {
  for (const std::string& e : events) {
    if (StartsWith(e, prefix)) return true;
  }
  return false;
}

// The first quoted text of an event that begins with `verb` and a quote, or "".
std::string Quoted(const std::string& event, const std::string& verb) {
  if (!StartsWith(event, verb + " \"")) return std::string();
  const size_t start = verb.size() + 2;
  return event.substr(start, event.find('"', start) - start);
}

// What a log says was (or would be) taken off the machine, as "file P", "folder P" and "value N".
std::set<std::string> Removals(const std::vector<std::string>& events, bool preview) {
  std::set<std::string> removals;
  const char* const fileVerbs[] = {"deleted", "uninstalled", "tool deleted"};
  const char* const previewFileVerbs[] = {"would delete", "would uninstall", "would delete tool"};
  for (const std::string& event : events) {
    for (const char* verb : preview ? previewFileVerbs : fileVerbs) {
      if (!Quoted(event, verb).empty()) removals.insert("file " + Quoted(event, verb));
    }
    const std::string folder = Quoted(event, preview ? "would remove folder" : "folder removed");
    if (!folder.empty()) removals.insert("folder " + folder);
    const std::string value = Quoted(event, preview ? "would remove registry value" : "registry value");
    if (!value.empty()) removals.insert("value " + value);
  }
  return removals;
}

// ---- The machine ----

MachineState State() {
  // The logs, the programs of the test and the stand-in applications' notes are the test's own.
  MachineState state = testsupport::TakeMachineState(
      {"C:\\", "D:\\"}, {"C:\\logs\\", "C:\\tests\\", "C:\\apps\\"},
      {{HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE"}, {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM"},
       {HKEY_CURRENT_USER, "HKCU", "Software"}});
  // Wine notes the graphics driver of every desktop it sets up for a process (seen when a
  // restricted token's process starts): the system's bookkeeping, not the program's.
  const std::string video = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Video\\";
  for (auto it = state.registry.begin(); it != state.registry.end();) {
    it = it->first.compare(0, video.size(), video) == 0 ? state.registry.erase(it) : std::next(it);
  }
  return state;
}

// What the machine lost between two states, in the terms of Removals(); every other difference
// is added as "unexpected ...".
std::set<std::string> Lost(const MachineState& before, const MachineState& after) {
  const StateChanges changes = testsupport::CompareMachineStates(before, after);
  std::set<std::string> lost;
  for (const std::string& file : changes.filesGone) lost.insert("file " + file);
  for (const std::string& folder : changes.foldersGone) lost.insert("folder " + folder);
  // A 64-bit prefix shows the same font table to 32-bit programs under Wow6432Node.
  const std::string fontTable = std::string("HKLM\\") + kFontTable + "|";
  const std::string fontTable32 = "HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|";
  for (const std::string& value : changes.valuesGone) {
    if (StartsWith(value, fontTable)) {
      lost.insert("value " + value.substr(fontTable.size()));
    } else if (StartsWith(value, fontTable32)) {
      lost.insert("value " + value.substr(fontTable32.size()));
    } else {
      lost.insert("unexpected value gone " + value);
    }
  }
  for (const auto* others : {&changes.filesNew, &changes.filesChanged, &changes.foldersNew, &changes.valuesNew,
                             &changes.valuesChanged}) {
    for (const std::string& other : *others) lost.insert("unexpected change " + other);
  }
  return lost;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Put(const std::string& path, const std::string& bytes) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  ASSERT_TRUE(testfonts::WriteFontFile(path, bytes)) << path;
}

// A few product fonts and one of another vendor on D:.
void SeedSmallPc() {
  Put("D:\\fonts\\KcGothic-M.otf", testfonts::BuildTaggedOpenType("Kc Gothic M", "KCHV"));
  Put("D:\\fonts\\KcSet.ttc", testfonts::BuildTaggedCollection("KCOV"));
  Put("D:\\fonts\\Other-R.otf", testfonts::BuildTaggedOpenType("Other R", "Mfvl"));
}

int RunHelper(const std::string& commandLine) {
  std::string line = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\tests", &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

// ---- The demo PC: a preview, then a silent run ----

TEST(DemoPc, PreviewChangesNothingAndASilentRunRemovesExactlyWhatItListed) {
  // The demo PC (demo/demo_pc.h); the Debian fonts it holds lie next to this test.
  ASSERT_EQ(0, RunHelper("C:\\tests\\demo_pc.exe seed C:\\tests\\"));
  CreateDirectoryA("C:\\logs", nullptr);
  const MachineState seeded = State();

  const WatchedRun preview = RunWatched("FontList.exe /preview /log:C:\\logs\\preview.log");
  ExpectWindowless(preview, 10);
  const StateChanges previewChanges = testsupport::CompareMachineStates(seeded, State());
  EXPECT_TRUE(previewChanges.empty()) << "a preview changes nothing:\n" << previewChanges.Describe();
  const std::vector<std::string> previewLog = LogEvents("C:\\logs\\preview.log");

  const WatchedRun silent = RunWatched("FontList.exe /silent /log:C:\\logs\\silent.log");
  ExpectWindowless(silent, 0);
  const MachineState removed = State();
  EXPECT_EQ(0, RunHelper("C:\\tests\\demo_pc.exe report after")) << "exactly the product is gone";
  const std::vector<std::string> silentLog = LogEvents("C:\\logs\\silent.log");

  // The silent log names every file, folder and registry value the machine lost, and nothing
  // else changed; the preview named the same beforehand.
  const std::set<std::string> lost = Lost(seeded, removed);
  EXPECT_EQ(lost, Removals(silentLog, false));
  EXPECT_EQ(lost, Removals(previewLog, true));
  EXPECT_GT(lost.size(), 10u);

  // Each log begins with the start and ends with the summary and the exit code; both found the
  // same fonts, and the silent run removed each.
  ASSERT_GE(silentLog.size(), 3u);
  ASSERT_GE(previewLog.size(), 3u);
  EXPECT_TRUE(StartsWith(silentLog.front(), "start \"FontList.exe\" 1.1.0.0, silent mode; Windows 6.0.")) << silentLog.front();
  EXPECT_TRUE(StartsWith(previewLog.front(), "start \"FontList.exe\" 1.1.0.0, preview mode; ")) << previewLog.front();
  EXPECT_NE(std::string::npos, silentLog.front().find("; drives C:\\ D:\\ R:\\")) << silentLog.front();
  std::vector<std::string> foundBySilent, foundByPreview;
  for (const std::string& e : silentLog) {
    if (StartsWith(e, "found ")) foundBySilent.push_back(e);
  }
  for (const std::string& e : previewLog) {
    if (StartsWith(e, "found ")) foundByPreview.push_back(e);
  }
  EXPECT_EQ(foundByPreview, foundBySilent);
  const std::string count = std::to_string(foundBySilent.size());
  EXPECT_EQ("summary: " + count + " product fonts found: " + count +
                " removed, 0 to be removed at the next restart, 0 still on disk",
            silentLog[silentLog.size() - 2]);
  EXPECT_EQ("exit code 0", silentLog.back());
  EXPECT_EQ("summary: " + count + " product fonts found; a preview removes nothing", previewLog[previewLog.size() - 2]);
  EXPECT_EQ("exit code 10", previewLog.back());

  // Once it is gone, both find nothing.
  ExpectWindowless(RunWatched("FontList.exe /preview /log:C:\\logs\\preview2.log"), 0);
  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\logs\\silent2.log"), 0);
  const std::vector<std::string> second = LogEvents("C:\\logs\\silent2.log");
  EXPECT_FALSE(HasPrefix(second, "found ")) << "nothing of the product is left";
}

// ---- Fonts that an application holds open ----

// In the Fonts folder, Windows deletes one at the next restart; anywhere else it stays, for a run
// after it is closed: the run says so in its exit code (1 outweighs 3010) and its log.
TEST(HeldFont, LeftToTheRestartOnlyInTheFontsFolderAndTheExitCodeSaysSo) {
  SeedSmallPc();
  char fonts[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, fonts, CSIDL_FONTS, FALSE));
  const std::string inFonts = std::string(fonts) + "\\KcHeldSet.ttc";
  Put(inFonts, testfonts::BuildTaggedCollection("KCOV"));
  // Held as an application using a font holds it: readable by others, not deletable.
  std::vector<HANDLE> holders;
  for (const std::string& path : {std::string("D:\\fonts\\KcGothic-M.otf"), inFonts}) {
    holders.push_back(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, holders.back()) << path;
  }
  CreateDirectoryA("C:\\logs", nullptr);
  const WatchedRun run = RunWatched("FontList.exe /silent /log:C:\\logs\\held.log");
  for (HANDLE holder : holders) CloseHandle(holder);

  ExpectWindowless(run, 1);
  EXPECT_TRUE(Exists("D:\\fonts\\KcGothic-M.otf"));
  EXPECT_TRUE(Exists(inFonts)) << "until the restart";
  EXPECT_FALSE(Exists("D:\\fonts\\KcSet.ttc"));
  const std::vector<std::string> log = LogEvents("C:\\logs\\held.log");
  EXPECT_TRUE(Has(log, "in use by another program, so not removed: \"D:\\fonts\\KcGothic-M.otf\"; close the "
                       "program that uses it (or sign out the user who does) and run the removal again"));
  EXPECT_TRUE(Has(log, "still on disk \"D:\\fonts\\KcGothic-M.otf\""));
  EXPECT_TRUE(Has(log, "scheduled for removal at restart \"" + inFonts + "\""));
  EXPECT_TRUE(Has(log, "deleted \"D:\\fonts\\KcSet.ttc\""));
  EXPECT_TRUE(Has(log, "summary: 3 product fonts found: 1 removed, 1 to be removed at the next restart, 1 still on disk"));
  EXPECT_EQ("exit code 1", log.back());
}

// ---- Fonts installed for one user (Windows 10) ----
//
// The running user's, another signed-in user's (their hive under HKEY_USERS, made here as Windows
// loads it at sign-in) and a signed-out user's: a preview names each unload and value, a silent run
// takes each product font and its registration and nothing else.

constexpr char kUserFontTable[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";

bool SetString(HKEY root, const std::string& key, const std::string& name, const std::string& data, DWORD type) {
  HKEY opened = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG set = RegSetValueExA(opened, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                                  static_cast<DWORD>(data.size() + 1));
  RegCloseKey(opened);
  return set == ERROR_SUCCESS;
}

bool HasValue(HKEY root, const std::string& key, const std::string& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  const bool has = RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return has;
}

struct UserFont {
  HKEY root;  // where its user's table is: HKEY_CURRENT_USER, or the user's hive under HKEY_USERS
  std::string table;
  std::string value;
  std::string path;
  bool product;
};

TEST(UserFonts, APreviewNamesEachUnloadAndValueAndASilentRunTakesThemForEveryUser) {
  char localAppData[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, localAppData, CSIDL_LOCAL_APPDATA, FALSE));
  const std::string mine = std::string(localAppData) + "\\Microsoft\\Windows\\Fonts\\";
  const std::string other = "C:\\users\\other\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
  const std::string away = "C:\\users\\away\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
  const std::string otherHive = "S-1-5-21-1-2-3-1001";
  ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kProfileList + otherHive, "ProfileImagePath", "%SystemDrive%\\users\\other",
                        REG_EXPAND_SZ));
  ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, std::string(kProfileList) + "S-1-5-21-1-2-3-1002", "ProfileImagePath",
                        "C:\\users\\away", REG_SZ));
  const std::string otherTable = otherHive + "\\" + kUserFontTable;
  const std::vector<UserFont> fonts = {
      {HKEY_CURRENT_USER, kUserFontTable, "Kc User M (OpenType)", mine + "KcUser-M.otf", true},
      {HKEY_CURRENT_USER, kUserFontTable, "Kc User Set (TrueType)", mine + "KcUserSet.ttc", true},
      {HKEY_CURRENT_USER, kUserFontTable, "Other R (OpenType)", mine + "Other-R.otf", false},
      {HKEY_USERS, otherTable, "Kc Other M (OpenType)", other + "KcOther-M.otf", true},
      {HKEY_USERS, otherTable, "Other B (OpenType)", other + "Other-B.otf", false},
  };
  for (const UserFont& font : fonts) {
    Put(font.path, font.product ? testfonts::BuildTaggedOpenType("Kc User", "KCHV")
                                : testfonts::BuildTaggedOpenType("Other", "Mfvl"));
    ASSERT_TRUE(SetString(font.root, font.table, font.value, font.path, REG_SZ)) << font.value;
  }
  Put(mine + "KcUserSet.ttc", testfonts::BuildTaggedCollection("KCOV"));
  Put(away + "KcAway-M.otf", testfonts::BuildTaggedOpenType("Kc Away M", "KCPL"));
  // A value that names another file of the same name stays.
  ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kUserFontTable, "Kc User M elsewhere", "D:\\KcUser-M.otf", REG_SZ));
  CreateDirectoryA("C:\\logs", nullptr);
  const MachineState seeded = State();

  ExpectWindowless(RunWatched("FontList.exe /preview /log:C:\\logs\\preview.log"), 10);
  const StateChanges previewChanges = testsupport::CompareMachineStates(seeded, State());
  EXPECT_TRUE(previewChanges.empty()) << previewChanges.Describe();
  const std::vector<std::string> preview = LogEvents("C:\\logs\\preview.log");
  const std::string hkcu = std::string("HKEY_CURRENT_USER\\") + kUserFontTable + "\\";
  EXPECT_TRUE(Has(preview, "would unload the font resource \"" + mine + "KcUser-M.otf\""));
  EXPECT_TRUE(Has(preview, "would remove registry value \"" + hkcu + "Kc User M (OpenType)\" (data \"" + mine +
                               "KcUser-M.otf\")"));
  EXPECT_TRUE(Has(preview, "would remove registry value \"HKEY_USERS\\" + otherTable +
                               "\\Kc Other M (OpenType)\" (data \"" + other + "KcOther-M.otf\")"));
  EXPECT_TRUE(Has(preview, "would uninstall \"" + away + "KcAway-M.otf\""));

  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\logs\\silent.log"), 0);
  const std::vector<std::string> silent = LogEvents("C:\\logs\\silent.log");
  for (const UserFont& font : fonts) {
    EXPECT_EQ(!font.product, Exists(font.path)) << font.path;
    EXPECT_EQ(!font.product, HasValue(font.root, font.table, font.value)) << font.value;
  }
  EXPECT_FALSE(Exists(away + "KcAway-M.otf"));
  EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, kUserFontTable, "Kc User M elsewhere"));
  EXPECT_TRUE(Has(silent, "uninstalled \"" + other + "KcOther-M.otf\""));
  int leftSaid = 0;
  for (const std::string& event : silent) leftSaid += StartsWith(event, "font table of user S-1-5-21-1-2-3-1002 left") ? 1 : 0;
  EXPECT_EQ(1, leftSaid) << "once for the signed-out user";
  EXPECT_NE(std::string::npos, silent.front().find("(RtlGetVersion: 10.0.")) << silent.front();
  EXPECT_TRUE(Has(silent, "summary: 4 product fonts found: 4 removed, 0 to be removed at the next restart, 0 still on disk"));
}

// ---- Runs that may touch nothing ----

class NothingTouched : public ::testing::Test {
 protected:
  void SetUp() override {
    SeedSmallPc();
    CreateDirectoryA("C:\\logs", nullptr);
    before_ = State();
  }
  void ExpectUntouched() {
    const StateChanges changes = testsupport::CompareMachineStates(before_, State());
    EXPECT_TRUE(changes.empty()) << changes.Describe();
  }
  MachineState before_;
};

TEST_F(NothingTouched, AStandardUserGetsExitCode2) {
  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\logs\\user.log", true), 2);
  ExpectWindowless(RunWatched("FontList.exe /preview /log:C:\\logs\\user-preview.log", true), 2);
  ExpectUntouched();
  const std::vector<std::string> log = LogEvents("C:\\logs\\user.log");
  EXPECT_EQ((std::vector<std::string>{"refused: the user has no administrator rights", "exit code 2"}),
            std::vector<std::string>(log.begin() + 1, log.end()));
}

DWORD StartRefusingApp() {
  CreateDirectoryA("C:\\apps", nullptr);
  CopyFileA("C:\\tests\\fake_app.exe", "C:\\apps\\acrodist.exe", FALSE);
  std::string commandLine = "\"C:\\apps\\acrodist.exe\" refuses";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\apps", &startup,
                      &process)) {
    return 0;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 100 && FindWindowA("KcFakeApp", "acrodist visible") == nullptr; ++i) Sleep(50);
  return process.dwProcessId;
}

// The wait is 60 s in the program; the test build shortens it to 2 s.
TEST_F(NothingTouched, AnApplicationThatWillNotCloseEndsTheRunWithExitCode4) {
  const DWORD app = StartRefusingApp();
  ASSERT_NE(0u, app);
  ExpectWindowless(RunWatched("FontListSeams.exe silent-wait-ms=2000 /silent /log:C:\\logs\\apps.log"), 4);
  ExpectUntouched();
  const std::vector<std::string> log = LogEvents("C:\\logs\\apps.log");
  EXPECT_TRUE(Has(log, "applications asked to close: acrodist.exe"));
  EXPECT_TRUE(Has(log, "applications still open after 2 s: acrodist.exe; nothing was removed"));
  EXPECT_FALSE(HasPrefix(log, "searching "));
  EXPECT_EQ("exit code 4", log.back());
  EXPECT_FALSE(testsupport::ReadWholeFile("C:\\apps\\acrodist.closes").empty()) << "it was asked";
  EndIfRunning(app);
}

TEST_F(NothingTouched, BadSwitchesGiveExitCode87) {
  ExpectWindowless(RunWatched("FontList.exe /silent /bogus /log:C:\\logs\\bad.log"), 87);
  const std::vector<std::string> log = LogEvents("C:\\logs\\bad.log");
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ("bad command line: \"/bogus\" (the switches are /silent, /preview, /log:PATH and /report:FOLDER); "
            "nothing was touched",
            log[1]);
  EXPECT_EQ("exit code 87", log[2]);

  // A /log without its path is bad too: the log goes to its default place.
  ExpectWindowless(RunWatched("FontList.exe /PREVIEW /log:"), 87);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string defaultLog = std::string(windows) + "\\Logs\\Software\\FontList.log";
  EXPECT_TRUE(Has(LogEvents(defaultLog), "bad command line: \"/log:\" (the switches are /silent, /preview, "
                                         "/log:PATH and /report:FOLDER); nothing was touched"));
  DeleteFileA(defaultLog.c_str());
  RemoveDirectoryA((std::string(windows) + "\\Logs\\Software").c_str());  // made for the log

  // Without /silent or /preview a person may be there: a message names the switch.
  const DWORD pid = StartProgram("FontList.exe /bogus");
  ASSERT_NE(0u, pid);
  const ToolRun message = Kcui("texts " + kProgramTitle + " --pid " + std::to_string(pid));
  EXPECT_NE(std::string::npos, message.out.find(u8"コマンドラインの指定に誤りがある")) << message.out;
  EXPECT_NE(std::string::npos, message.out.find("/bogus")) << message.out;
  EXPECT_NE(0, Kcui("find " + kMainTitle + " --timeout 0 --pid " + std::to_string(pid)).status);
  ASSERT_EQ(0, Kcui("key " + kProgramTitle + " enter --pid " + std::to_string(pid)).status);
  EXPECT_EQ(87, WaitForExitCode(pid));
  ExpectUntouched();
}

// ---- The fleet report over the logs of real runs ----

std::vector<std::string> CsvLines(const std::string& path) {
  const std::string bytes = testsupport::ReadWholeFile(path);
  EXPECT_EQ(0u, bytes.find("\xEF\xBB\xBF")) << path << " begins with a UTF-8 byte-order mark";
  std::vector<std::string> lines;
  for (size_t start = 3, end; start < bytes.size(); start = end + 2) {
    end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
  }
  return lines;
}

// The start of a log its run is still writing (it holds it with write and delete access).
std::string ReadWhileWritten(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(4096, '\0');
  DWORD read = 0;
  if (!ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
  CloseHandle(file);
  return bytes.substr(0, read);
}

// The report's row of a log up to its counts: computer, user, mode, start time, real Windows.
std::string RowStart(const std::string& log, const char* mode) {
  const std::string bytes = testsupport::ReadWholeFile(log);
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  return std::string(computer) + ",winetest," + mode + "," + bytes.substr(3, 23) + ",6.0.6002 Service Pack 2,";
}

// On the demo PC: a preview, a silent run killed while it waits for an application, one with a font
// held open, a complete one, and a file of random bytes, in one folder.
TEST(FleetReport, OneRowPerLogAndTheExitCodeOfTheFleet) {
  ASSERT_EQ(0, RunHelper("C:\\tests\\demo_pc.exe seed C:\\tests\\"));
  Put("D:\\fonts\\KcHeld-M.otf", testfonts::BuildTaggedOpenType("Kc Held M", "KCHV"));
  CreateDirectoryA("C:\\logs", nullptr);
  ExpectWindowless(RunWatched("FontList.exe /preview /log:C:\\logs\\1-preview.log"), 10);

  const DWORD app = StartRefusingApp();
  ASSERT_NE(0u, app);
  const DWORD killed = StartProgram("FontList.exe /silent /log:C:\\logs\\2-killed.log");
  ASSERT_NE(0u, killed);
  for (int i = 0; i < 600; ++i) {
    if (ReadWhileWritten("C:\\logs\\2-killed.log").find("applications asked") != std::string::npos) break;
    Sleep(50);
  }
  // A log its run is still writing is read too: that run has not finished.
  ExpectWindowless(RunWatched("FontList.exe /report:C:\\logs /silent"), 1);
  EXPECT_NE(std::string::npos, CsvLines("C:\\logs\\fleet-report.csv").back().find(",incomplete,2-killed.log"));
  EndIfRunning(killed);
  EndIfRunning(app);

  const HANDLE holder = CreateFileA("D:\\fonts\\KcHeld-M.otf", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\logs\\3-held.log"), 1);
  CloseHandle(holder);
  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\logs\\4-done.log"), 0);
  std::string random;
  for (unsigned i = 0, x = 1; i < 3000; ++i) random += static_cast<char>((x = x * 1103515245u + 12345u) >> 23);
  Put("C:\\logs\\5-random.log", random);
  // Names no code page holds, and one whose code page 932 spelling ("..\..\x.log") leads out of the
  // folder to a log that says otherwise: each is read as the name it is.
  ASSERT_TRUE(CopyFileW(L"C:\\logs\\4-done.log", L"C:\\logs\\6-caf\u00e9\u00a5\ud55c\uae00.log", FALSE));
  ASSERT_TRUE(CopyFileW(L"C:\\logs\\4-done.log", L"C:\\logs\\..\u00a5..\u00a5x.log", FALSE));
  ASSERT_TRUE(CopyFileA("C:\\logs\\1-preview.log", "C:\\x.log", FALSE));
  // A link planted at the report's name: the report replaces it, the other file keeps its bytes.
  Put("C:\\logs\\other.txt", "kept");
  DeleteFileA("C:\\logs\\fleet-report.csv");
  ASSERT_TRUE(CreateHardLinkA("C:\\logs\\fleet-report.csv", "C:\\logs\\other.txt", nullptr));
  const std::map<std::string, std::string> logs = testsupport::SnapshotFiles("C:\\logs\\");
  const MachineState before = State();

  ExpectWindowless(RunWatched("FontList.exe /report:C:\\logs /silent"), 1);
  const StateChanges changes = testsupport::CompareMachineStates(before, State());
  EXPECT_TRUE(changes.empty()) << changes.Describe();
  std::map<std::string, std::string> after = testsupport::SnapshotFiles("C:\\logs\\");
  EXPECT_EQ("kept", after["C:\\logs\\other.txt"]);
  after.erase("C:\\logs\\fleet-report.csv");
  std::map<std::string, std::string> expectedAfter = logs;
  expectedAfter.erase("C:\\logs\\fleet-report.csv");
  EXPECT_TRUE(expectedAfter == after) << "nothing but the report changed";

  const std::vector<std::string> preview = LogEvents("C:\\logs\\1-preview.log");
  ASSERT_GE(preview.size(), 2u);
  const std::string& summary = preview[preview.size() - 2];
  const std::string fonts = summary.substr(9, summary.find(' ', 9) - 9);  // "summary: N product fonts found; ..."
  const std::string removed = std::to_string(std::atoi(fonts.c_str()) - 1);
  EXPECT_EQ((std::vector<std::string>{
                "computer,user,mode,started,windows,found,removed,at_restart,still_on_disk,exit_code,log",
                ",,,,,,,,,not a log,5-random.log",
                RowStart("C:\\logs\\1-preview.log", "preview") + fonts + ",,,,10,1-preview.log",
                RowStart("C:\\logs\\2-killed.log", "silent") + ",,,,incomplete,2-killed.log",
                RowStart("C:\\logs\\3-held.log", "silent") + fonts + "," + removed + ",0,1,1,3-held.log",
                RowStart("C:\\logs\\4-done.log", "silent") + "1,1,0,0,0," + u8"..\u00a5..\u00a5x.log",
                RowStart("C:\\logs\\4-done.log", "silent") + "1,1,0,0,0,4-done.log",
                RowStart("C:\\logs\\4-done.log", "silent") + "1,1,0,0,0," +
                    u8"6-caf\u00e9\u00a5\ud55c\uae00.log"}),
            CsvLines("C:\\logs\\fleet-report.csv"));

  // Without /silent, one message box tells where the report is and its totals.
  const DWORD pid = StartProgram("FontList.exe /report:C:\\logs");
  ASSERT_NE(0u, pid);
  const ToolRun message = Kcui("texts " + kProgramTitle + " --pid " + std::to_string(pid));
  EXPECT_NE(std::string::npos, message.out.find("C:\\\\logs\\\\fleet-report.csv")) << message.out;
  EXPECT_NE(std::string::npos, message.out.find(u8"ログ 7 件のうち")) << message.out;
  EXPECT_NE(std::string::npos, message.out.find(u8"完了していない実行：1")) << message.out;
  ASSERT_EQ(0, Kcui("key " + kProgramTitle + " enter --pid " + std::to_string(pid)).status);
  EXPECT_EQ(1, WaitForExitCode(pid));

  // Complete removals alone: 0. A folder that cannot be read: 87.
  CreateDirectoryA("C:\\logs\\done", nullptr);
  ASSERT_TRUE(CopyFileA("C:\\logs\\4-done.log", "C:\\logs\\done\\4-done.log", FALSE));
  ExpectWindowless(RunWatched("FontList.exe /silent /report:C:\\logs\\done\\"), 0);
  EXPECT_EQ(2u, CsvLines("C:\\logs\\done\\fleet-report.csv").size());
  ExpectWindowless(RunWatched("FontList.exe /silent /report:C:\\no-such-folder"), 87);
}

// ---- Memory runs out during the walk: no message box, exit code 5 ----

TEST(OutOfMemory, ASilentRunEndsWithExitCode5AndNoWindow) {
  CreateDirectoryA("C:\\logs", nullptr);
  // The drive roots C:\ and D:\ take the first two appends; the font in D:'s root fails (a
  // subfolder's failure would end only that folder's walk).
  Put("D:\\KcRoot-M.otf", testfonts::BuildTaggedOpenType("Kc Root M", "KCHV"));
  const WatchedRun run = RunWatched("FontListSeams.exe fail-append=2 /silent /log:C:\\logs\\memory.log");
  ExpectWindowless(run, 5);
  const std::vector<std::string> log = LogEvents("C:\\logs\\memory.log");
  EXPECT_TRUE(HasPrefix(log, "out of memory while recording a font on D:\\"));
  EXPECT_EQ("exit code 5", log.back());
}

// ---- A log that cannot be written stops nothing ----

TEST(UnwritableLog, TheRunGoesOnAndTheExitCodeSaysSo) {
  SeedSmallPc();
  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\no-such-folder\\run.log"), 6);
  EXPECT_FALSE(Exists("D:\\fonts\\KcGothic-M.otf"));
  EXPECT_FALSE(Exists("D:\\fonts\\KcSet.ttc"));
  EXPECT_TRUE(Exists("D:\\fonts\\Other-R.otf"));
}

// ---- The dialog program writes a log only when asked ----

// The user's part of a dialog run: 開始, はい, and 了解 once the result list is there; the
// program ends with 0.
void ClickThroughARemoval(DWORD pid) {
  const std::string Pid = " --pid " + std::to_string(pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid).status) << "開始";
  ASSERT_EQ(0, Kcui("find " + kMainTitle + Pid).status) << "the confirmation";
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid).status) << "はい";
  // The result dialog: the one of the program's title with the list.
  for (int attempt = 0; attempt < 300; ++attempt) {
    const ToolRun texts = Kcui("texts " + kProgramTitle + Pid + " --timeout 1000");
    if (texts.status == 0 && texts.out.find("\n1001\tEdit\t") != std::string::npos) break;
    Sleep(100);
  }
  ASSERT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid).status) << "了解";
  EXPECT_EQ(0, WaitForExitCode(pid));
}

TEST(DialogLog, OnlyWithItsSwitch) {
  SeedSmallPc();
  CreateDirectoryA("C:\\logs", nullptr);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string defaultLog = std::string(windows) + "\\Logs\\Software\\FontList.log";

  const DWORD pid = StartProgram("FontList.exe /log:C:\\logs\\dialog.log");
  ASSERT_NE(0u, pid);
  ClickThroughARemoval(pid);

  const std::vector<std::string> log = LogEvents("C:\\logs\\dialog.log");
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(StartsWith(log.front(), "start \"FontList.exe\" 1.1.0.0, dialog mode; ")) << log.front();
  EXPECT_TRUE(Has(log, "deleted \"D:\\fonts\\KcGothic-M.otf\""));
  EXPECT_TRUE(Has(log, "summary: 2 product fonts found: 2 removed, 0 to be removed at the next restart, 0 still on disk"));
  EXPECT_EQ("exit code 0", log.back());
  EXPECT_FALSE(Exists(defaultLog)) << "no log but the one asked for";

  // Without the switch, no log at all.
  const DWORD plain = StartProgram("FontList.exe");
  ASSERT_NE(0u, plain);
  const std::string PlainPid = " --pid " + std::to_string(plain);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + PlainPid).status) << "開始";
  ASSERT_EQ(0, Kcui("find " + kMainTitle + PlainPid).status) << "the confirmation";
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 2" + PlainPid).status) << "いいえ";
  EXPECT_EQ(0, WaitForExitCode(plain));
  EXPECT_FALSE(Exists(defaultLog));
}

// ---- Nothing planted steers what a run writes or loads ----

std::string WindowsFolder() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  return windows;
}

// A user who may create files where the log goes plants its name as a hard link to a file of the
// system before the run: the run replaces the name with a log of its own, the other file keeps
// every byte.
TEST(PlantedLog, AHardLinkAtTheLogsNameIsNeverWrittenThrough) {
  const std::string system = "C:\\victim\\system.dat";
  const std::string precious = "precious bytes\r\n";
  Put(system, precious);
  const std::string defaultLog = WindowsFolder() + "\\Logs\\Software\\FontList.log";
  CreateDirectoryA((WindowsFolder() + "\\Logs").c_str(), nullptr);
  CreateDirectoryA((WindowsFolder() + "\\Logs\\Software").c_str(), nullptr);
  struct Case {
    std::string log;
    std::string arguments;
  };
  const Case cases[] = {
      {defaultLog, "/silent"},
      {defaultLog, "/preview"},
      {"C:\\users\\Public\\kc.log", "/silent /log:C:\\users\\Public\\kc.log"},
      {"C:\\users\\Public\\kc.log", "/preview /log:C:\\users\\Public\\kc.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    DeleteFileA(c.log.c_str());
    ASSERT_TRUE(CreateHardLinkA(c.log.c_str(), system.c_str(), nullptr)) << GetLastError();
    ExpectWindowless(RunWatched("FontList.exe " + c.arguments), 0);
    EXPECT_EQ(precious, testsupport::ReadWholeFile(system));
    const std::vector<std::string> log = LogEvents(c.log);
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(StartsWith(log.front(), "start \"FontList.exe\" ")) << log.front();
    EXPECT_TRUE(Has(log, "log \"" + c.log + "\" was a link to another file: that link was removed and this log "
                         "made in its place; the other file was not touched"));
    EXPECT_EQ("exit code 0", log.back());
  }
}

// A product font whose name carries line breaks, a tab, a control byte, quotes and a made-up
// summary: every line of the log is one event of the run, and the run has one summary.
TEST(HostileName, AFontsNameCannotForgeALineOfTheLog) {
  const std::string name = "Kc\r\n2026-12-09 10:00:00.000 summary: 0 product fonts found\n\t\x01\"x\" 100%\r\x83";
  Put("D:\\evil\\KcEvil-M.otf", testfonts::BuildTaggedOpenType(name, "KCHV"));
  ExpectWindowless(RunWatched("FontList.exe /silent /log:C:\\users\\Public\\evil.log"), 0);

  const std::vector<std::string> log = LogEvents("C:\\users\\Public\\evil.log");  // each line timed
  int summaries = 0;
  for (const std::string& event : log) {
    EXPECT_EQ(std::string::npos, event.find_first_of("\r\n\t\x01")) << event;
    summaries += StartsWith(event, "summary: ");
  }
  EXPECT_EQ(1, summaries);
  // The name is read as the code page 932 text it is: its lone lead byte at the end is the code
  // page's default character, U+30FB ("\x81\x45" here), and every control character is escaped.
  EXPECT_TRUE(Has(log, "found \"D:\\evil\\KcEvil-M.otf\": OpenType, tag KCHV, name \"Kc%0D%0A2026-12-09 10:00:00.000 "
                       "summary: 0 product fonts found%0A%09%01%22x%22 100%25%0D\x81\x45\""))
      << ::testing::PrintToString(log);
  EXPECT_TRUE(Has(log, "summary: 1 product fonts found: 1 removed, 0 to be removed at the next restart, 0 still on disk"));
}

// The dialog program started from a folder (also its current folder) where DLLs were planted under
// the names of DLLs loaded late or imported, Wine told to prefer those (as Windows prefers the
// program's folder for a DLL that is not a KnownDLL): both ways of restricting
// the search (the newer one, and the preloads of Windows without it) keep every one of them out.
TEST(PlantedDlls, NoneRunsInTheDialogProgram) {
  const char* const planted[] = {"uxtheme.dll", "msimg32.dll", "dwmapi.dll", "psapi.dll"};
  CreateDirectoryA("C:\\downloads", nullptr);
  for (const char* program : {"FontList.exe", "FontListSeams.exe"}) {
    ASSERT_TRUE(CopyFileA((std::string("C:\\tests\\") + program).c_str(),
                          (std::string("C:\\downloads\\") + program).c_str(), FALSE));
  }
  for (const char* dll : planted) {
    ASSERT_TRUE(CopyFileA("C:\\tests\\planted.dll", (std::string("C:\\downloads\\") + dll).c_str(), FALSE));
  }
  // Wine's own load order, for these two programs only (kcui and the test take Wine's DLLs).
  for (const char* program : {"FontList.exe", "FontListSeams.exe"}) {
    HKEY overrides = nullptr;
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                             &overrides, nullptr));
    for (const char* dll : planted) {
      const std::string name(dll, std::strlen(dll) - 4);
      RegSetValueExA(overrides, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
    }
    RegCloseKey(overrides);
  }

  for (const char* run : {"FontList.exe", "FontListSeams.exe dll-preload"}) {
    SCOPED_TRACE(run);
    const DWORD pid = StartProgramIn("C:\\downloads\\", run);
    ASSERT_NE(0u, pid);
    ClickThroughARemoval(pid);
    EndIfRunning(pid);
  }
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA("C:\\planted-ran\\*-by-FontList*", &found);
  EXPECT_EQ(INVALID_HANDLE_VALUE, find) << "ran: " << found.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

}  // namespace
}  // namespace kc::e2e
