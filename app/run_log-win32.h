#pragma once
// The file of a run's log: UTF-8 with a byte-order mark, one line per event, each with the local
// time, CR LF line ends (Notepad reads it on every Windows version). Each line is written when it
// happens, so a run that ends abruptly leaves every line before. A log that cannot be written
// never stops a run; it only remembers that it failed.

#include <string>

#include "app/run_log_text.h"
#include "common/name_open-win32.h"
#include "common/scoped_handles-win32.h"

namespace kc {

class RunLog {
 public:
  RunLog() = default;
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Creates the file at `path` (UTF-16), emptying the last run's log there, and writes the
  // byte-order mark. A link at that name is replaced by a new file, never written through
  // (common/own_file-win32.h). False when that fails: the log stays closed and counts as failed.
  bool Open(const std::wstring& path, const FileSystemCalls& calls = SystemFileSystemCalls());

  // The run's first line; then, when Open found a link at the log's name and replaced it, or its
  // file system would not open the name as itself, a line that says so.
  void Start(const StartFacts& facts) noexcept;

  // Writes "<time> <text>" and a line end; `text` is UTF-8. Nothing happens on a
  // closed log. Never throws: a line that cannot be made or written marks the log failed.
  void Line(const std::string& text) noexcept;

  // A line that could not even be made (memory ran out) counts as a failed write.
  void LineLost() noexcept {
    if (file_.valid()) failed_ = true;
  }

  bool IsOpen() const { return file_.valid(); }
  // Opening it or writing a line failed. A log that was never opened has not failed.
  bool Failed() const { return failed_; }

 private:
  ScopedHandle file_;
  std::wstring path_;
  bool replacedLink_ = false;
  bool reparseFlagRefused_ = false;
  bool failed_ = false;
};

// %WINDIR%\Logs\Software\ and the program's file name with ".log" for its extension, e.g.
// C:\WINDOWS\Logs\Software\FontList.log: a folder only administrators can write in (deployment
// toolkits keep their logs there), unlike Temp, where any user could plant a name first. Empty when
// the Windows folder or the program's name cannot be had.
std::wstring DefaultLogPath();
// Creates %WINDIR%\Logs and %WINDIR%\Logs\Software where they are missing.
void CreateDefaultLogFolders();

// The system's message for a Win32 error, on one line; "" when the system has none.
std::string SystemErrorText(unsigned long error);

}  // namespace kc
