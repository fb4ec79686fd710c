#pragma once
// The lines of a run's log, one per event, as UTF-8 text (the log writer puts the time in front).
// Every text from outside comes in as UTF-8 made from UTF-16, as Windows stores it. Paths and names are quoted as they stand; the
// first word of a line says what happened, so that a line can be found with a plain search.

#include <cstdint>
#include <string>
#include <vector>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"
#include "removal/removal_journal.h"

namespace kc {

// The log, and the report made from logs, begin with it (Notepad reads UTF-8 by it on every version).
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

struct StartFacts {
  std::string program;   // the executable's file name
  std::string version;   // of the program
  std::string mode;      // "dialog", "silent" or "preview"
  std::string windows;   // as GetVersionExA reports it, e.g. "6.0.6002 Service Pack 2"
  // As RtlGetVersion reports it: without a compatibility manifest, Windows 8.1, 10 and 11 tell
  // GetVersionExA they are 6.2, and an administrator reading the log needs the real one. "?" when
  // it cannot be had.
  std::string actualWindows;
  std::string user;
  std::string computer;
  std::vector<std::string> drives;  // empty: the drive list could not be read
};

enum class StartupFailure { kPlatformRefused, kNotAdministrator, kDrivesOutOfMemory, kDrivesUnreadable };

// Whether the product fonts are being removed or the product's tools.
enum class RemovalPhase { kFonts, kTools };

// "YYYY-MM-DD hh:mm:ss.mmm", the local time of an event.
std::string TimeStampText(int year, int month, int day, int hour, int minute, int second, int millisecond);

std::string StartText(const StartFacts& facts);
// The log's own name held a link (planted by somebody else) when the run began: it was replaced.
std::string LogLinkReplacedText(const char* logPath);
// The log's file system refused to open its name as itself (FILE_FLAG_OPEN_REPARSE_POINT): it was
// opened as usual, so a symbolic link or junction there would have been followed.
std::string LogOpenedAsUsualText(const char* logPath);
std::string BadArgumentText(const std::string& argument);
std::string DeclinedText();
std::string StartupFailureText(StartupFailure failure);
// `applications`: executable names, one per line (CR LF), as the wait for applications gives them.
std::string ApplicationsAskedText(const std::string& applications);
std::string ApplicationsClosedText();
std::string ApplicationsStillOpenText(const std::string& applications, unsigned long waitedMs);
std::string SearchingText(const char* root);
// A drive whose search ended with `result`, other than 0.
std::string DriveNotSearchedText(const char* root, ResultCode result);

std::string FoundText(bool collection, const char* path, const char* tag, const char* name);
// What became of one font; for a preview, what would.
std::string FontOutcomeText(RemovalOutcome outcome, bool uninstall, const char* path);
std::string WouldRemoveText(bool uninstall, const char* path);

// A line for what a removal action reported, or "" when the phase's own line says it already (a
// product font's deletion is told by its outcome line). `errorText` is the system's message for
// the event's error ("" when there is none).
std::string RemovalEventText(const RemovalEvent& event, RemovalPhase phase, const std::string& errorText);

std::string RemovalSummaryText(int found, int removed, int atRestart, int stillOnDisk);
std::string PreviewSummaryText(int found);
// Memory ran out outside the search of a drive (which says so itself).
std::string OutOfMemoryText();
std::string ExitCodeText(int exitCode);

}  // namespace kc
