// The real FontList.exe on a PC whose names no code page spells whole: folders and files named in
// accents, Hangul and dashes, a folder whose name holds U+00A5 (a backslash in code page 932's
// best fit), two folders that any user may make and whose ANSI spellings lead back to their
// parent, a path over 300 characters, a Windows 10 user named José with his fonts installed, and
// the Fonts folder's name spelled with U+00A5. The test builds and checks the machine with the W
// functions only: every product font must be gone once, everything else as it was, the run over
// in seconds, and the log must name each path as Windows stores it. The same test runs with the
// test bed on an English code page (1252).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/kcui_driver-win32.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/file_tree-win32.h"

namespace kc::e2e {
namespace {

using testfonts::BuildFont;
using testfonts::FontWith;
using testfonts::MacName;
using testfonts::WindowsName;

const std::wstring kJoseSid = L"S-1-5-21-7-7-7-1003";
const std::wstring kJose = L"C:\\users\\José\\";
const std::wstring kJoseFonts = kJose + L"AppData\\Local\\Microsoft\\Windows\\Fonts\\";
const std::wstring kUserFontTable = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const std::wstring kMachineFontTable = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// Outside gtest's macros, which spell their expressions in the build's narrow character set.
const std::wstring kJoseProfile = L"%SystemDrive%\\users\\José";
const std::wstring kJoseValue = L"Kestrel Maru José (OpenType)";
const std::wstring kJoseOtherValue = L"Kestrel Maru José elsewhere";
const std::string kJoseValueUtf8 = u8"\\Kestrel Maru José (OpenType)\"";

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], bytes, nullptr, nullptr);
  return out;
}

std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

// ---- The machine, through the W functions ----

void Put(const std::wstring& path, const std::string& bytes) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(Extended(path.substr(0, at)).c_str(), nullptr);
  }
  HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << Utf8(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void MakeFolder(const std::wstring& path) {
  Put(path + L"x", "");
  DeleteFileW(Extended(path + L"x").c_str());
}

std::string Bytes(const std::wstring& path) {
  HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

// Every file and folder below `folder` (ending in a backslash) with its bytes ("<folder>" for a
// folder); links are listed, never entered.
void Snapshot(const std::wstring& folder, std::map<std::wstring, std::string>& out) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Extended(folder + L"*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + name;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      out[path] = Bytes(path);
    } else {
      out[path + L"\\"] = "<folder>";
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) Snapshot(path + L"\\", out);
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

bool SetValue(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data, DWORD type = REG_SZ) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG set = RegSetValueExW(opened, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                                  static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
  return set == ERROR_SUCCESS;
}

bool HasValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  const bool found = RegQueryValueExW(opened, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return found;
}

// The log's events as they stand (UTF-8), without their times.
std::vector<std::string> LogEvents(const std::wstring& path) {
  const std::string bytes = Bytes(path);
  std::vector<std::string> events;
  static const std::regex timed("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)");
  for (size_t start = 3; start < bytes.size();) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    std::smatch match;
    events.push_back(std::regex_match(line, match, timed) ? match[1].str() : line);
    start = end + 2;
  }
  return events;
}

int Count(const std::vector<std::string>& events, const std::string& prefix) {
  int count = 0;
  for (const std::string& event : events) count += event.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
  return count;
}

int RunSilent(const std::string& arguments, DWORD& milliseconds) {
  const DWORD start = GetTickCount();
  const ToolRun run = Kcui("--timeout 300000 run-watched C:\\tests\\FontList.exe " + arguments);
  milliseconds = GetTickCount() - start;
  for (const std::string& line : Lines(run.out)) {
    if (line.compare(0, 5, "exit\t") == 0) return std::atoi(line.c_str() + 5);
  }
  ADD_FAILURE() << run.out;
  return -1;
}

// ---- The PC ----

std::string ProductFont(const std::u16string& unicodeName, const std::string& macName) {
  return BuildFont(FontWith({MacName(testfonts::kNameIdFullName, testfonts::kMacLanguageJapanese, macName),
                             WindowsName(testfonts::kNameIdFullName, unicodeName, 0x0411),
                             MacName(testfonts::kNameIdDescription, 0, "KCHV")}));
}

struct Planted {
  std::wstring path;
  const char* name;  // the name the log gives it, UTF-8 (u8 literals: the build's narrow texts are code page 932)
};

std::wstring LongFolder() {
  std::wstring folder = L"D:\\long\\";
  for (int i = 0; folder.size() < 300; ++i) folder += L"segment-" + std::to_wstring(i) + L"-of-a-long-path\\";
  return folder;
}

const std::vector<Planted>& ProductFonts() {
  static const std::vector<Planted> fonts = {
      {L"D:\\Café\\KcCafe-M.otf", u8"Kestrel Café M"},
      {L"D:\\한글\\KcHangul-M.otf", u8"Kestrel 한글 M"},
      {L"D:\\fonts\\Kc–Dash-M.otf", "Kestrel Dash M"},
      {L"D:\\a¥b\\KcYen-M.otf", "Kestrel Yen M"},
      {LongFolder() + L"KcLong-M.otf", "Kestrel Long M"},
      {L"D:\\loop\\KcLoop-M.otf", "Kestrel Loop M"},
      {L"D:\\zz\\KcLast-M.otf", "Kestrel Last M"},
      {L"C:\\Windows¥Fonts\\KcFake-M.otf", "Kestrel Fake M"},
      {kJoseFonts + L"KcJose-M.otf", u8"Kestrel Maru José"},
      {kJose + L"Documents\\KcJose-M.otf", u8"Kestrel Maru José"},
  };
  return fonts;
}

std::wstring WideOfUtf8(const char* utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], units);
  wide.pop_back();
  return wide;
}

void SeedPc() {
  for (const Planted& font : ProductFonts()) {
    const std::wstring name = WideOfUtf8(font.name);
    Put(font.path, ProductFont(std::u16string(name.begin(), name.end()), "Kestrel"));
  }
  // Another vendor's font where the ANSI spelling of "a¥b" leads, under the product font's name.
  Put(L"D:\\a\\b\\KcYen-M.otf", testfonts::BuildTaggedOpenType("Other Yen", "Mfvl"));
  Put(L"D:\\Café\\notes.txt", "not a font");
  // A collection whose description spells a product tag in full-width letters: no tag in code page
  // 932, and none on an English Windows either, whose best fit would make it "KCOV".
  Put(L"D:\\fonts\\KcWide.ttc", testfonts::BuildCollection({FontWith({testfonts::WindowsDescription(u"ＫＣＯＶ")})}));
  // Any user may make these; their best-fit spellings are "..\loop" and "..\.\loop".
  MakeFolder(L"D:\\loop\\..¥loop\\");
  MakeFolder(L"D:\\loop\\..¥.¥loop\\");
  // A value naming a file of that name in the real Fonts folder: the look-alike folder's font is
  // no installed font, so the value stays.
  ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kMachineFontTable, L"Kc Fake M (OpenType)", L"KcFake-M.otf"));
  // José, signed in (his hive loaded): his own font table names his installed font.
  ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + kJoseSid,
                       L"ProfileImagePath", kJoseProfile, REG_EXPAND_SZ));
  const std::wstring joseTable = kJoseSid + L"\\" + kUserFontTable;
  ASSERT_TRUE(SetValue(HKEY_USERS, joseTable, kJoseValue, kJoseFonts + L"KcJose-M.otf"));
  ASSERT_TRUE(SetValue(HKEY_USERS, joseTable, kJoseOtherValue, L"D:\\KcJose-M.otf"));
}

TEST(Names, EveryProductFontUnderEveryNameIsGoneOnceAndNothingElseChanged) {
  SeedPc();
  std::map<std::wstring, std::string> before;
  Snapshot(L"D:\\", before);
  Snapshot(kJose, before);
  Snapshot(L"C:\\Windows¥Fonts\\", before);
  CreateDirectoryW(L"C:\\logs", nullptr);

  DWORD milliseconds = 0;
  EXPECT_EQ(0, RunSilent("/silent /log:C:\\logs\\names.log", milliseconds));
  // A walk that went round the folders that lead back would not end at all.
  EXPECT_LT(milliseconds, 60000u);

  std::map<std::wstring, std::string> expected = before, after;
  for (const Planted& font : ProductFonts()) expected.erase(font.path);
  Snapshot(L"D:\\", after);
  Snapshot(kJose, after);
  Snapshot(L"C:\\Windows¥Fonts\\", after);
  EXPECT_TRUE(expected == after) << "files other than the product fonts changed";
  for (const auto& [path, bytes] : expected) {
    EXPECT_EQ(bytes, after.count(path) ? after[path] : "<gone>") << Utf8(path);
  }
  EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, kMachineFontTable, L"Kc Fake M (OpenType)"));
  const std::wstring joseTable = kJoseSid + L"\\" + kUserFontTable;
  EXPECT_FALSE(HasValue(HKEY_USERS, joseTable, kJoseValue));
  EXPECT_TRUE(HasValue(HKEY_USERS, joseTable, kJoseOtherValue));

  // The log names each font by its path and name as Windows stores them, found once, removed once.
  const std::vector<std::string> log = LogEvents(L"C:\\logs\\names.log");
  for (const Planted& font : ProductFonts()) {
    const std::string path = "\"" + Utf8(font.path) + "\"";
    EXPECT_EQ(1, Count(log, "found " + path + ": OpenType, tag KCHV, name \"" + font.name + "\"")) << path;
    const bool forJose = font.path.compare(0, kJoseFonts.size(), kJoseFonts) == 0;
    EXPECT_EQ(1, Count(log, (forJose ? "uninstalled " : "deleted ") + path)) << path;
  }
  EXPECT_EQ(1, Count(log, "registry value \"HKEY_USERS\\" + Utf8(joseTable) + kJoseValueUtf8));
  EXPECT_EQ(1, Count(log, "summary: 10 product fonts found: 10 removed, 0 to be removed at the next restart, 0 still on disk"));
}

// The demo PC on any code page: a preview finds its eight fonts, the one in Japanese folders too.
TEST(Names, APreviewOfTheDemoPcFindsItsEightFonts) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  char seed[] = "C:\\tests\\demo_pc.exe seed C:\\tests\\";
  ASSERT_TRUE(CreateProcessA(nullptr, seed, nullptr, nullptr, FALSE, 0, nullptr, "C:\\tests", &startup, &process));
  WaitForSingleObject(process.hProcess, 120000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CreateDirectoryW(L"C:\\logs", nullptr);
  DWORD milliseconds = 0;
  EXPECT_EQ(10, RunSilent("/preview /log:C:\\logs\\demo.log", milliseconds));
  const std::vector<std::string> log = LogEvents(L"C:\\logs\\demo.log");
  EXPECT_EQ(1, Count(log, "summary: 8 product fonts found; a preview removes nothing"));
  std::string found;
  for (const std::string& event : log) found += event.compare(0, 6, "found ") == 0 ? event + "\n" : "";
  EXPECT_EQ(1, Count(log, u8"found \"D:\\デザイン\\2026年案件\\入稿データ\\fonts\\")) << found;
}

}  // namespace
}  // namespace kc::e2e
