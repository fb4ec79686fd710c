// Whole removal runs of the real FontList.exe, driven from outside through kcui as a user would,
// on a prefix seeded with product and other fonts, registered fonts and the product's tools; the
// files and the registry are compared before and after. Conditions Wine cannot produce (memory
// exhausted, no drive at all, a short wait for applications) come from FontListSeams.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/kcui_driver-win32.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/file_tree-win32.h"

namespace kc::e2e {
namespace {

const std::string kMainTitle = "\"KESTREL CHARTER契約解約時のフォント削除処理\"";
const std::string kProgramTitle = "\"KESTREL CHARTER解約プログラム\"";
constexpr char kFontTable[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// The product's tools, as the program names them (this file's literals are code page 932 too).
constexpr char kDesktopTool[] = "DI ZadoVeve Divi Zozevozed.exe";
constexpr char kCommonDesktopShortcut[] =
    "Windows Vista用TrueTypeフォント トライアル版 セットアップメニュー.lnk";
constexpr char kToolFolder[] = "C:\\Program Files\\Kestrel\\Fonts\\ZIZAV\\";

std::string Pid(DWORD pid) { return " --pid " + std::to_string(pid); }

bool IsVista() {
  const char* winver = std::getenv("WINEBED_WINVER");
  return winver != nullptr && std::strcmp(winver, "vista") == 0;
}

// ---- Fixture fonts and files ----

std::string OpenType(const std::string& fullName, const std::string& tag) {
  return testfonts::BuildTaggedOpenType(fullName, tag);
}

std::string Collection(const std::string& tag) { return testfonts::BuildTaggedCollection(tag); }

void Put(const std::string& path, const std::string& bytes) {
  // Create the folders on the way.
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  ASSERT_TRUE(testfonts::WriteFontFile(path, bytes)) << path;
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
  return std::string(path) + "\\";
}

void SetFontValue(const std::string& name, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontTable, 0, KEY_ALL_ACCESS, &key));
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

std::map<std::string, std::string> FontValues() {
  std::map<std::string, std::string> values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontTable, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return values;
  for (DWORD index = 0;; ++index) {
    char name[2048] = {};
    char data[2048] = {};
    DWORD nameSize = sizeof name, dataSize = sizeof data - 1;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                      &dataSize) != ERROR_SUCCESS) {
      break;
    }
    values[name] = data;
  }
  RegCloseKey(key);
  return values;
}

std::string ReadAll(const std::string& path) { return testsupport::ReadWholeFile(path); }

// The files of the places a run may touch, with their bytes; `order` receives their paths in the
// order the program meets them.
std::map<std::string, std::string> SnapshotAll(std::vector<std::string>* order = nullptr) {
  std::map<std::string, std::string> files;
  for (const char* root : {"C:\\windows\\Fonts\\", "C:\\users\\", "C:\\Program Files\\Kestrel\\", "C:\\data\\",
                           "D:\\"}) {
    for (const std::string& path : testsupport::ListFilesDepthFirst(root)) {
      files[path] = ReadAll(path);
      if (order != nullptr) order->push_back(path);
    }
  }
  return files;
}

// ---- Driving the program ----

struct RunOutcome {
  int exitCode = -1000;
  std::string result;     // the result dialog's list as kcui prints it ("\r\n" escaped)
  bool resultShown = false;
};

int ExitCode(DWORD pid) { return WaitForExitCode(pid); }

// Waits for the result dialog (it has the title of the progress window, which it follows) and
// returns its list; false when it does not come.
bool ReadResult(DWORD pid, std::string& result) {
  const std::string marker = "\n1001\tEdit\tvisible,enabled\t";
  for (int attempt = 0; attempt < 300; ++attempt) {
    const ToolRun texts = Kcui("texts " + kProgramTitle + Pid(pid) + " --timeout 1000");
    const size_t at = texts.out.find(marker);
    if (texts.status == 0 && at != std::string::npos) {
      const size_t start = at + marker.size();
      result = texts.out.substr(start, texts.out.find('\n', start) - start);
      return true;
    }
    Sleep(100);
  }
  return false;
}

// Start, はい, then the result dialog's 了解. `during` runs beside the run from just before the
// confirmation is given (so that it can watch the progress window from its first moment).
RunOutcome RunToEnd(const std::string& exeAndArgs, const std::function<void(DWORD)>& during = nullptr) {
  RunOutcome outcome;
  const DWORD pid = StartProgram(exeAndArgs);
  if (pid == 0) return outcome;
  EXPECT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status) << "Start";
  EXPECT_EQ(0, Kcui("find " + kMainTitle + Pid(pid)).status) << "the confirmation";
  std::thread beside;
  if (during) beside = std::thread(during, pid);
  Sleep(200);  // let a watcher find its window first
  EXPECT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status) << "はい";
  outcome.resultShown = ReadResult(pid, outcome.result);
  if (beside.joinable()) beside.join();
  if (outcome.resultShown) {
    EXPECT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid(pid)).status);
  }
  outcome.exitCode = ExitCode(pid);
  EndIfRunning(pid);
  return outcome;
}

// The distinct "LOW<TAB>HIGH<TAB>POS" states that kcui's watch saw after the first step, in order;
// samples taken while the window was being destroyed (a value of the bar reads -1) are left out.
std::vector<std::string> ProgressStates(const std::string& watch) {
  std::vector<std::string> states;
  for (const std::string& line : Lines(watch)) {
    size_t start = line.find('\t') + 1;
    size_t end = start;
    for (int field = 0; field < 3 && end != std::string::npos; ++field) end = line.find('\t', end + 1);
    const std::string state = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const bool barGone = ("\t" + state + "\t").find("\t-1\t") != std::string::npos;
    if (barGone || state.substr(state.rfind('\t') + 1) == "0") continue;
    if (states.empty() || states.back() != state) states.push_back(state);
  }
  return states;
}

// ---- The seeded PC ----

struct SeededPc {
  std::vector<std::string> productOpenType;  // paths, removed
  std::vector<std::string> productCollections;
  std::vector<std::string> tools;
};

SeededPc Seed() {
  SeededPc pc;
  const std::string fonts = Folder(CSIDL_FONTS);
  // Installed in the Fonts folder and registered, by bare name and by full path.
  Put(fonts + "KcGothic-M.otf", OpenType("Kc Gothic M", "KCHV"));
  Put(fonts + "KcMincho-B.otf", OpenType("Kc Mincho B", "KCHS"));
  Put(fonts + "KcCollection.ttc", Collection("KCOV"));
  SetFontValue("Kc Gothic M (OpenType)", "KcGothic-M.otf");
  SetFontValue("Kc Mincho B (OpenType)", fonts + "KCMINCHO-B.OTF");
  SetFontValue("Kc Collection (TrueType)", "KcCollection.ttc");
  // Other vendors' fonts in the Fonts folder, registered: they stay, and so do their values.
  Put(fonts + "Other-R.otf", OpenType("Other R", "Mfvl"));
  Put(fonts + "Plain-R.otf", OpenType("Plain R", "none"));
  Put(fonts + "OtherColl.ttc", Collection("ABCD"));
  SetFontValue("Other R (OpenType)", "Other-R.otf");
  SetFontValue("Plain R (OpenType)", "Plain-R.otf");
  SetFontValue("Other Collection (TrueType)", "OtherColl.ttc");
  // Nested folders on a second drive.
  Put("D:\\work\\fonts\\KcRound-L.otf", OpenType("Kc Round L", "KCPL"));
  Put("D:\\work\\fonts\\old\\KcRound-H.otf", OpenType("Kc Round H", "KCPH"));
  Put("D:\\work\\KcTitle.ttc", Collection("MST2"));
  Put("D:\\work\\fonts\\Upper.OTF", OpenType("Kc Upper", "KCHV"));
  Put("D:\\work\\fonts\\Other.otf", OpenType("Other", "Ncvl"));
  Put("D:\\work\\notes.txt", "not a font");
  Put("C:\\data\\report.otf.txt", "not a font either");
  // The product's tools.
  pc.tools = {Folder(CSIDL_DESKTOPDIRECTORY) + kDesktopTool,
              Folder(CSIDL_COMMON_DESKTOPDIRECTORY) + kCommonDesktopShortcut,
              std::string(kToolFolder) + "ZIZAVInstaller.exe", std::string(kToolFolder) + "ZIZAVUninstaller.exe",
              std::string(kToolFolder) + "メニュー.exe"};
  for (const std::string& tool : pc.tools) Put(tool, "tool");
  CreateDirectoryA("C:\\Program Files\\Kestrel\\Fonts\\Utility", nullptr);
  pc.productOpenType = {fonts + "KcGothic-M.otf", fonts + "KcMincho-B.otf", "D:\\work\\fonts\\KcRound-L.otf",
                        "D:\\work\\fonts\\old\\KcRound-H.otf"};
  pc.productCollections = {fonts + "KcCollection.ttc", "D:\\work\\KcTitle.ttc"};
  return pc;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string NameOf(const std::string& path, const std::map<std::string, std::string>& names) {
  return names.at(path.substr(path.rfind('\\') + 1));
}

// ---- A full run, on Vista and on XP ----

TEST(FullRun, RemovesExactlyTheProductAndListsItInDiscoveryOrder) {
  const SeededPc pc = Seed();
  std::vector<std::string> order;
  const auto before = SnapshotAll(&order);
  const auto valuesBefore = FontValues();

  const RunOutcome run = RunToEnd("FontList.exe");
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ(0, run.exitCode);

  // The result: OpenType full names first, then collection file names, each in the order the walk
  // met them (C: before D:, depth-first in listing order), every line ending in CR LF.
  const std::map<std::string, std::string> names = {
      {"KcGothic-M.otf", "Kc Gothic M"}, {"KcMincho-B.otf", "Kc Mincho B"}, {"KcRound-L.otf", "Kc Round L"},
      {"KcRound-H.otf", "Kc Round H"},   {"KcCollection.ttc", "KcCollection"}, {"KcTitle.ttc", "KcTitle"}};
  std::string expected;
  for (const char* extension : {".otf", ".ttc"}) {
    for (const std::string& path : order) {
      const bool product = std::find(pc.productOpenType.begin(), pc.productOpenType.end(), path) !=
                               pc.productOpenType.end() ||
                           std::find(pc.productCollections.begin(), pc.productCollections.end(), path) !=
                               pc.productCollections.end();
      if (product && path.size() > 4 && path.compare(path.size() - 4, 4, extension) == 0) {
        expected += NameOf(path, names) + "\\r\\n";
      }
    }
  }
  EXPECT_EQ(expected, run.result);

  // Files: the product's fonts and tools gone, every other file byte-identical.
  const auto after = SnapshotAll();
  std::vector<std::string> gone = pc.productOpenType;
  gone.insert(gone.end(), pc.productCollections.begin(), pc.productCollections.end());
  gone.insert(gone.end(), pc.tools.begin(), pc.tools.end());
  for (const auto& [path, bytes] : before) {
    const bool shouldGo = std::find(gone.begin(), gone.end(), path) != gone.end();
    if (shouldGo) {
      EXPECT_EQ(0u, after.count(path)) << path << " must be gone";
    } else {
      ASSERT_EQ(1u, after.count(path)) << path << " must stay";
      EXPECT_EQ(bytes, after.at(path)) << path << " must be untouched";
    }
  }
  EXPECT_FALSE(Exists("C:\\Program Files\\Kestrel")) << "the product's empty folders are removed";

  // Registry: uninstalling (OpenType on Vista only, collections always) removes the values naming
  // the file; every other value stays as it was.
  auto expectedValues = valuesBefore;
  expectedValues.erase("Kc Collection (TrueType)");
  if (IsVista()) {
    expectedValues.erase("Kc Gothic M (OpenType)");
    expectedValues.erase("Kc Mincho B (OpenType)");
  }
  EXPECT_EQ(expectedValues, FontValues());
}

// ---- Runs that touch nothing ----

TEST(RunStates, DeclinedConfirmationTouchesNothing) {
  Seed();
  const auto before = SnapshotAll();
  const auto values = FontValues();
  const DWORD pid = StartProgram("FontList.exe");
  ASSERT_NE(0u, pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 2" + Pid(pid)).status) << "いいえ";
  EXPECT_EQ(0, ExitCode(pid));
  EXPECT_EQ(before, SnapshotAll());
  EXPECT_EQ(values, FontValues());
}

// ---- Drives: none at all, and an empty optical drive among them ----

TEST(RunStates, NoDriveRootsStillCleansToolsAndShowsAnEmptyList) {
  const SeededPc pc = Seed();
  std::string watch;
  const RunOutcome run = RunToEnd("FontListSeams.exe drives-none step-pause-ms=300", [&](DWORD pid) {
    watch = Kcui("watch " + kProgramTitle + " --interval 5 --timeout 30000" + Pid(pid)).out;
  });
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ("", run.result);
  for (const std::string& tool : pc.tools) EXPECT_FALSE(Exists(tool)) << tool;
  for (const std::string& font : pc.productOpenType) EXPECT_TRUE(Exists(font)) << font;
  // Range 0..3, advanced twice.
  EXPECT_EQ((std::vector<std::string>{"0\t3\t1", "0\t3\t2"}), ProgressStates(watch)) << watch;
}

TEST(RunStates, EmptyOpticalDriveIsSkippedAndTheRunGoesOn) {
  // The test bed maps r: to a missing folder (a drive without a disc), listed after D:.
  Put("D:\\KcLate-M.otf", OpenType("Kc Late M", "KCHV"));
  const RunOutcome run = RunToEnd("FontList.exe");
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ("Kc Late M\\r\\n", run.result);
  EXPECT_FALSE(Exists("D:\\KcLate-M.otf"));
}

// ---- Progress: range n + 3, n + 2 steps ----

TEST(RunStates, ProgressRangeIsDrivesPlusThreeAndAdvancesDrivesPlusTwo) {
  std::string watch;
  const RunOutcome run = RunToEnd("FontListSeams.exe step-pause-ms=300", [&](DWORD pid) {
    watch = Kcui("watch " + kProgramTitle + " --interval 5 --timeout 60000" + Pid(pid)).out;
  });
  ASSERT_TRUE(run.resultShown);
  // C:, D: and R: are the drives: range 0..6, one step after preparing, one per drive (R: has no
  // medium and counts as done), one after the result: the bar ends at 5, one short of full.
  EXPECT_EQ((std::vector<std::string>{"0\t6\t1", "0\t6\t2", "0\t6\t3", "0\t6\t4", "0\t6\t5"}),
            ProgressStates(watch))
      << watch;
}

// ---- A font in use is left in place, or to the restart in the Fonts folder, and shown apart ----

const std::string kRemovedAtRestartHeading = u8"以下のフォントは使用中のため、マシンの再起動時に削除されます。";
const std::string kNotRemovedHeading =
    u8"以下のフォントは削除できませんでした。フォントを使用しているアプリケーションをすべて終了するか、"
    u8"マシン再起動後、今一度、実行してください。";

TEST(RunStates, ProductFontInUseIsLeftInPlaceAndListedApart) {
  Put("D:\\KcLocked-M.otf", OpenType("Kc Locked M", "KCHV"));
  Put("D:\\KcFree-M.otf", OpenType("Kc Free M", "KCHV"));
  // Held as an application using the font holds it: readable by others, not deletable.
  HANDLE holder = CreateFileA("D:\\KcLocked-M.otf", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  const RunOutcome run = RunToEnd("FontList.exe");
  CloseHandle(holder);
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ("Kc Free M\\r\\n\\r\\n" + kNotRemovedHeading + "\\r\\nKc Locked M\\r\\n", run.result);
  EXPECT_TRUE(Exists("D:\\KcLocked-M.otf")) << "outside the Fonts folder nothing is left to the restart";
  EXPECT_FALSE(Exists("D:\\KcFree-M.otf"));
}

// ---- Removal at restart, the whole cycle ----
//
// Two runs of this program in one prefix (tests/e2e/restart_cycle): the first seeds fonts, holds
// some as applications do, runs the removal and notes what must happen at the restart; Wine then
// restarts the prefix (wineboot -r carries out PendingFileRenameOperations); the second checks.
// Only the font in use in the Fonts folder is left to the restart, by the Fonts folder's path; the
// one in use elsewhere stays, for a run after it is closed.

constexpr char kCycleNotes[] = "C:\\tests\\restart-cycle.txt";

std::vector<std::string> AllFiles() {
  std::vector<std::string> files;
  for (const char* root : {"C:\\", "D:\\"}) {
    const std::vector<std::string> below = testsupport::ListFilesDepthFirst(root);
    files.insert(files.end(), below.begin(), below.end());
  }
  return files;
}

TEST(RestartCycle, RunLeavesTheFontsInUseToTheRestart) {
  const std::string fonts = Folder(CSIDL_FONTS);
  const std::vector<std::string> held = {"D:\\cycle\\KcHeld-M.otf", fonts + "KcHeldColl.ttc"};
  const std::string& atRestart = held[1];
  Put(held[0], OpenType("Kc Held M", "KCHV"));
  Put(held[1], Collection("KCOV"));
  SetFontValue("Kc Held Collection (TrueType)", "KcHeldColl.ttc");
  Put("D:\\cycle\\KcFree-M.otf", OpenType("Kc Free M", "KCPL"));
  Put("D:\\cycle\\Other-R.otf", OpenType("Other R", "Mfvl"));
  Put("D:\\cycle\\notes.txt", "the user's own");
  // Read-only as well: Wine's deletion at restart, like DeleteFileA, would refuse it.
  ASSERT_TRUE(SetFileAttributesA(atRestart.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA(held[0].c_str(), FILE_ATTRIBUTE_READONLY));
  std::vector<HANDLE> holders;
  for (const std::string& path : held) {
    holders.push_back(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, holders.back()) << path;
  }
  const std::vector<std::string> before = AllFiles();

  const RunOutcome run = RunToEnd("FontList.exe");
  for (HANDLE holder : holders) CloseHandle(holder);
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Kc Free M\\r\\n\\r\\n" + kRemovedAtRestartHeading + "\\r\\nKcHeldColl\\r\\n\\r\\n" +
                kNotRemovedHeading + "\\r\\nKc Held M\\r\\n",
            run.result);
  for (const std::string& path : held) EXPECT_TRUE(Exists(path)) << path << " stays until the restart";
  EXPECT_EQ(0u, FontValues().count("Kc Held Collection (TrueType)")) << "unregistered now";
  EXPECT_FALSE(Exists("D:\\cycle\\KcFree-M.otf"));
  EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY}, GetFileAttributesA(held[0].c_str()) & FILE_ATTRIBUTE_READONLY)
      << "a font left in place is not touched";

  // What the restart must remove, and every other file there was before the run.
  std::string notes = "gone\t" + atRestart + "\n";
  for (const std::string& path : before) {
    const bool removedNow = path == "D:\\cycle\\KcFree-M.otf";
    if (!removedNow && path != atRestart) notes += "stays\t" + path + "\n";
  }
  Put(kCycleNotes, notes);
}

TEST(RestartCycle, AfterTheRestartTheyAreGoneAndNothingElse) {
  const std::string notes = ReadAll(kCycleNotes);
  ASSERT_FALSE(notes.empty()) << "the first run left no notes";
  int gone = 0, stays = 0;
  for (const std::string& line : Lines(notes)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string fate = line.substr(0, tab);
    const std::string path = line.substr(tab + 1);
    if (fate == "gone") {
      EXPECT_FALSE(Exists(path)) << path << " must be gone after the restart";
      ++gone;
    } else {
      EXPECT_TRUE(Exists(path)) << path << " must stay";
      ++stays;
    }
  }
  EXPECT_EQ(1, gone);
  EXPECT_GT(stays, 100) << "the notes name every file of C: and D:";
  EXPECT_TRUE(Exists("D:\\cycle\\notes.txt"));
}

// ---- Applications that hold the fonts ----

DWORD StartFakeApp(const std::string& name, const std::string& mode) {
  CreateDirectoryA("C:\\apps", nullptr);
  const std::string exe = "C:\\apps\\" + name + ".exe";
  CopyFileA("C:\\tests\\fake_app.exe", exe.c_str(), FALSE);
  std::string commandLine = "\"" + exe + "\" " + mode;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\apps", &startup,
                      &process)) {
    return 0;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const std::string title = name + " visible";
  for (int i = 0; i < 100 && FindWindowA("KcFakeApp", title.c_str()) == nullptr; ++i) Sleep(50);
  return process.dwProcessId;
}

bool Running(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

bool WaitUntilEnded(DWORD pid, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (!Running(pid)) return true;
    Sleep(50);
  }
  return false;
}

TEST(InterferingApplications, ListedOnesAreClosedOthersAreNeverTouched) {
  Put("D:\\KcWait-M.otf", OpenType("Kc Wait M", "KCHV"));
  const DWORD tray = StartFakeApp("acrotray", "closes");   // a visible and a hidden window
  const DWORD lookalike = StartFakeApp("acrotray2", "closes");
  ASSERT_NE(0u, tray);
  ASSERT_NE(0u, lookalike);

  const RunOutcome run = RunToEnd("FontList.exe");
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ("Kc Wait M\\r\\n", run.result);
  EXPECT_TRUE(WaitUntilEnded(tray, 5000)) << "acrotray was asked to close both its windows";
  EXPECT_FALSE(ReadAll("C:\\apps\\acrotray.closes").empty());
  EXPECT_TRUE(Running(lookalike)) << "acrotray2 is another program";
  EXPECT_EQ("", ReadAll("C:\\apps\\acrotray2.closes")) << "acrotray2 never got WM_CLOSE";
  EndIfRunning(lookalike);
}

TEST(InterferingApplications, OneThatRefusesIsNamedAndTheUserMayRetry) {
  Put("D:\\KcWait-M.otf", OpenType("Kc Wait M", "KCHV"));
  const DWORD dist = StartFakeApp("acrodist", "refuses");
  ASSERT_NE(0u, dist);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "fake_app_release");

  const RunOutcome run = RunToEnd("FontListSeams.exe ask-after-ms=1500", [&](DWORD pid) {
    // The question comes over the hidden main screen, with its title; its 再試行 button is id 4.
    for (int attempt = 0; attempt < 200 && Kcui("text " + kMainTitle + " 4" + Pid(pid)).status != 0; ++attempt) {
      Sleep(100);
    }
    const ToolRun texts = Kcui("texts " + kMainTitle + Pid(pid));
    EXPECT_EQ(0, texts.status);
    EXPECT_NE(std::string::npos, texts.out.find("acrodist.exe")) << texts.out;
    EXPECT_TRUE(Exists("D:\\KcWait-M.otf")) << "nothing is touched while the program waits";
    SetEvent(release);
    EXPECT_EQ(0, Kcui("click " + kMainTitle + " 4" + Pid(pid)).status) << "再試行";
  });
  CloseHandle(release);
  ASSERT_TRUE(run.resultShown);
  EXPECT_EQ("Kc Wait M\\r\\n", run.result);
  EXPECT_TRUE(WaitUntilEnded(dist, 5000));
}

TEST(InterferingApplications, EndingTheProgramWhileWaitingTouchesNothing) {
  Seed();
  const auto before = SnapshotAll();
  const DWORD dist = StartFakeApp("acrodist", "refuses");
  ASSERT_NE(0u, dist);
  const DWORD pid = StartProgram("FontListSeams.exe ask-after-ms=500");
  ASSERT_NE(0u, pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status);
  for (int attempt = 0; attempt < 200 && Kcui("text " + kMainTitle + " 4" + Pid(pid)).status != 0; ++attempt) {
    Sleep(100);
  }
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 2" + Pid(pid)).status) << "キャンセル";
  EXPECT_NE(-1000, ExitCode(pid));
  EXPECT_EQ(before, SnapshotAll());
  EndIfRunning(dist);
}

// ---- Memory exhausted on the third of four drives ----

TEST(OutOfMemory, OnTheThirdDriveStopsTheRunWithMessage1009) {
  // Drives C:, D:, E:, F:. Four drive roots are appended at start-up, then D:'s font; the append
  // of E:'s font fails.
  const SeededPc pc = Seed();
  Put("E:\\KcThird-M.otf", OpenType("Kc Third M", "KCHV"));
  Put("F:\\KcFourth-M.otf", OpenType("Kc Fourth M", "KCHV"));
  const int cFonts = 3;  // the Fonts folder: two OpenType fonts and a collection
  const int dFonts = 3;  // D:\work: two OpenType fonts and a collection
  const DWORD pid =
      StartProgram("FontListSeams.exe fail-append=" + std::to_string(4 + cFonts + dFonts));
  ASSERT_NE(0u, pid);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status);
  ASSERT_EQ(0, Kcui("click " + kMainTitle + " 1" + Pid(pid)).status);
  std::string message;
  for (int attempt = 0; attempt < 300 && message.empty(); ++attempt) {
    const ToolRun texts = Kcui("text " + kProgramTitle + " 1002" + Pid(pid) + " --timeout 500");
    if (texts.status == 0) message = texts.out;
  }
  EXPECT_EQ(u8"メモリアクセス中にエラーが発生しました。\\nメモリの空き容量を確認していただき、"
            u8"マシン再起動後、今一度、実行してください。\n",
            message);
  ASSERT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid(pid)).status);
  EXPECT_EQ(0, ExitCode(pid)) << "the program ends after the message";

  for (const std::string& font : pc.productOpenType) EXPECT_FALSE(Exists(font)) << font << " (C: and D:)";
  for (const std::string& font : pc.productCollections) EXPECT_FALSE(Exists(font)) << font;
  EXPECT_TRUE(Exists("E:\\KcThird-M.otf")) << "its append failed: not removed";
  EXPECT_TRUE(Exists("F:\\KcFourth-M.otf")) << "the fourth drive is never searched";
  for (const std::string& tool : pc.tools) EXPECT_TRUE(Exists(tool)) << tool << ": no clean-up after -9";
}

}  // namespace
}  // namespace kc::e2e
