// What the log writer, the fleet report and the walk's test for links make of the answers Windows
// gives on the file systems Wine cannot imitate (it answers the same on every one): a FAT or exFAT
// volume that refuses the tag query, reparse points of every kind, a file system that refuses to
// open a name as itself. The answers come through the seams for the one file the case plants;
// every other call reaches Wine. And where common controls are loaded from.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/dll_search-win32.h"
#include "app/fleet_report-win32.h"
#include "app/run_log-win32.h"
#include "common/file_identity.h"
#include "common/reparse_tag.h"
#include "common/wide_text-win32.h"
#include "tests/support/file_tree-win32.h"

namespace kc {
namespace {

struct Answer {
  const char* what;
  LONG tagStatus;           // of FileAttributeTagInformation for the planted file; 0: answered
  bool reparsePoint;        // answered: FILE_ATTRIBUTE_REPARSE_POINT, with `tag`
  uint32_t tag;
  bool refusesReparseFlag;  // every open with FILE_FLAG_OPEN_REPARSE_POINT: ERROR_INVALID_PARAMETER
  // What comes of it:
  bool link;                // the walk's test on the listing's attributes and tag
  bool logWritten;
  const char* logSays;      // a line the log holds after its start line ("": none)
  const char* reportSays;   // the report's exit_code for a complete removal's log
};

const Answer* g_answer = nullptr;
FileIdentity g_planted;

// The planted file holds bytes; the file made in its place is empty when first looked at (Wine's
// file index is the host's inode number, which the host may give the new file again).
bool IsPlanted(HANDLE file) {
  FileIdentity identity;
  DWORD high = 0;
  return ReadOpenFileIdentity(file, identity) && identity == g_planted && (GetFileSize(file, &high) > 0 || high > 0);
}

HANDLE AnsweringCreateFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  if (g_answer->refusesReparseFlag && (flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  return SystemFileSystemCalls().createFile(path, access, share, disposition, flags);
}

LONG AnsweringQuery(HANDLE file, void* buffer, ULONG size, FILE_INFORMATION_CLASS informationClass) {
  const LONG real = SystemFileSystemCalls().queryInformation(file, buffer, size, informationClass);
  if (informationClass != FileAttributeTagInformation || !IsPlanted(file)) return real;
  if (g_answer->tagStatus != 0) return g_answer->tagStatus;
  auto* tag = static_cast<FILE_ATTRIBUTE_TAG_INFORMATION*>(buffer);
  if (g_answer->reparsePoint) tag->FileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  tag->ReparseTag = g_answer->tag;
  return real;
}

const FileSystemCalls kAnsweringCalls = {AnsweringCreateFile, AnsweringQuery};

// Writes `bytes` at `path` and makes it the file the seams answer for.
void Plant(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file.valid()) << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_TRUE(ReadOpenFileIdentity(file.get(), g_planted));
}

constexpr LONG kInvalidParameter = static_cast<LONG>(0xC000000D);
constexpr LONG kNotImplemented = static_cast<LONG>(0xC0000002);
constexpr LONG kAccessDenied = static_cast<LONG>(0xC0000022);

const char kCompleteLog[] =
    "\xEF\xBB\xBF"
    "2026-12-07 14:18:40.257 start \"FontList.exe\" 1.1.0.0, silent mode; Windows 6.0.6002 Service Pack 2 "
    "(RtlGetVersion: 6.0.6002); user \"u\" on \"PC-1\"; drives C:\\\r\n"
    "2026-12-07 14:18:40.454 summary: 1 product fonts found: 1 removed, 0 to be removed at the next restart, 0 "
    "still on disk\r\n"
    "2026-12-07 14:18:40.454 exit code 0\r\n";

TEST(FileSystemAnswers, WhatTheLogTheReportAndTheWalkMakeOfThem) {
  const char* const replaced = "was a link to another file: that link was removed";
  const Answer answers[] = {
      {"FAT: the tag query refused", kInvalidParameter, false, 0, false, false, true, "", "0"},
      {"another file system without the tag query", kNotImplemented, false, 0, false, false, true, "", "0"},
      {"the tag query failing otherwise", kAccessDenied, false, 0, false, false, false, "", "unreadable"},
      {"a symbolic link", 0, true, 0xA000000C, false, true, true, replaced, "not a log"},
      {"a junction or mount point", 0, true, 0xA0000003, false, true, true, replaced, "not a log"},
      {"a reparse point of an untold tag", 0, true, 0, false, true, true, replaced, "not a log"},
      {"a cloud placeholder", 0, true, 0x9000101A, false, false, true, "", "0"},
      {"a file of compact /exe", 0, true, 0x80000017, false, false, true, "", "0"},
      {"a deduplicated file", 0, true, 0x80000013, false, false, true, "", "0"},
      {"a file system refusing to open a name as itself", 0, false, 0, true, false, true,
       "opened as usual: its file system refuses to open a name as itself", "0"},
  };
  CreateDirectoryA("C:\\answers", nullptr);
  // A folder no code page holds, named on the command line in UTF-8.
  const std::wstring fleet = WideFromUtf8(u8"C:\\answers\\fleet-caf\u00e9-\ud55c\uae00-\u00a5");
  ASSERT_TRUE(CreateDirectoryW(fleet.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  for (const Answer& answer : answers) {
    SCOPED_TRACE(answer.what);
    g_answer = &answer;
    const uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE | (answer.reparsePoint ? kReparsePointAttribute : 0);
    EXPECT_EQ(answer.link, IsNameSurrogateLink(attributes, answer.tag));

    Plant(L"C:\\answers\\run.log", "the last run's lines\r\n");
    {
      RunLog log;
      EXPECT_EQ(answer.logWritten, log.Open(L"C:\\answers\\run.log", kAnsweringCalls));
      log.Start(StartFacts());
      log.Line("exit code 0");
    }
    const std::string written = testsupport::ReadWholeFile("C:\\answers\\run.log");
    if (answer.logWritten) {
      EXPECT_EQ(0u, written.find("\xEF\xBB\xBF")) << written;
      EXPECT_EQ(std::string::npos, written.find("the last run's lines")) << written;
      EXPECT_NE(std::string::npos, written.find("exit code 0")) << written;
      if (*answer.logSays != '\0') {
        EXPECT_NE(std::string::npos, written.find(answer.logSays)) << written;
      } else {
        EXPECT_EQ(2, std::count(written.begin(), written.end(), '\n')) << written;  // start and exit code alone
      }
    } else {
      EXPECT_EQ("the last run's lines\r\n", written);
    }

    Plant(fleet + L"\\run.log", kCompleteLog);
    const FleetReport report = WriteFleetReport(fleet, kAnsweringCalls);
    EXPECT_EQ(ReportEnd::kWritten, report.end);
    ASSERT_EQ(1u, report.rows.size());
    EXPECT_EQ(answer.reportSays, report.rows[0].exitCode);
    EXPECT_EQ("run.log", report.rows[0].log);
  }
}

// Common controls by their bare name only where an activation context redirects the name.
const char* g_loaded = nullptr;
bool g_redirected = false;
bool Redirected() { return g_redirected; }
HMODULE Load(const char* name) {
  g_loaded = name;
  return GetModuleHandleA(nullptr);
}

TEST(FileSystemAnswers, CommonControlsComeFromSystem32WithoutARedirection) {
  const CommonControlsSource source = {Redirected, Load};
  g_redirected = true;  // the manifest's common controls 6, from XP on
  EXPECT_FALSE(PreloadUnredirectedCommonControls(source));
  EXPECT_EQ(nullptr, g_loaded);
  g_redirected = false;  // no manifest, or Windows 2000
  EXPECT_TRUE(PreloadUnredirectedCommonControls(source));
  EXPECT_STREQ("comctl32.dll", g_loaded);
  // This test program has no manifest: nothing redirects the name here.
  EXPECT_FALSE(SystemCommonControlsSource().redirected());
}

}  // namespace
}  // namespace kc
