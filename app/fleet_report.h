#pragma once
// The fleet report (/report:FOLDER): one row for each run's log in a folder (a share that many PCs
// wrote their logs to), saying what the log tells of its PC, as CSV text that Excel opens.
// Portable: a log's bytes come in through a reading function and the report goes out as text, so
// that the reader builds natively, runs under sanitizers and is fuzzed (fuzz/fleet_log_fuzzer.cc).
// The folder, the files and the message box are app/fleet_report-win32.h's.
//
// Every byte of a log is untrusted: every PC of the fleet can write the share, and a log may be cut
// short (power lost, process killed), damaged, of any size, or no log at all. The reader takes the
// first line (the run's start) and the last two (its summary and its exit code), each at most
// kLogLineMax bytes, and nothing between them, so the work per log is bounded whatever its size.
// A log line is "YYYY-MM-DD hh:mm:ss.mmm EVENT" (app/run_log_text.h); the texts in it keep the
// log's escapes (common/escaped_text.h) but those of printable ASCII ("%22", "%25").

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/exit_codes.h"

namespace kc {

// The longest line the report reads. The program's longest, the start line, holds three names of
// at most MAX_PATH bytes, each byte at most three ("%XX"), each of those at most three in UTF-8.
constexpr size_t kLogLineMax = 8192;

// ---- The lines the report reads ----

struct LogLine {
  std::string time;   // "YYYY-MM-DD hh:mm:ss.mmm", the local time of the PC that wrote it
  std::string event;  // the rest, after one space
};
// False when `line` (without its line end) is longer than kLogLineMax or has no time stamp.
bool SplitLogLine(const std::string& line, LogLine& out);

// start "PROGRAM" VERSION, MODE mode; Windows W (RtlGetVersion: R); user "USER" on "COMPUTER"; drives D
struct StartEvent {
  std::string program, version, mode, windows, actualWindows, user, computer, drives;
};
// False unless `event` has that shape and MODE is dialog, silent or preview.
bool ParseStartEvent(const std::string& event, StartEvent& out);

// summary: N product fonts found: R removed, A to be removed at the next restart, S still on disk
// summary: N product fonts found; a preview removes nothing
struct SummaryEvent {
  bool preview = false;
  int found = 0, removed = 0, atRestart = 0, stillOnDisk = 0;
};
// False unless `event` is one of the two, each count a number as the program writes it (no sign,
// no leading zero, at most nine digits).
bool ParseSummaryEvent(const std::string& event, SummaryEvent& out);

// "exit code N", N from 0 to 4294967295 as the program writes it.
bool ParseExitCodeEvent(const std::string& event, uint32_t& code);

// ---- One log's row ----

enum class LogVerdict {
  kClean,      // a complete removal that left nothing, or a preview that found nothing
  kAtRestart,  // a complete removal whose last fonts go at the next restart
  kFontsLeft,  // a removal that left product fonts on disk, or a preview that found some
  kNotDone,    // the run refused (no summary), stopped (an exit code a finished run never has) or
               // never finished (no exit code); or its lines disagree (a preview's summary in a removal)
  kNotALog,    // none of the program's logs, or a file that cannot (or must not) be read
};

struct FleetRow {
  LogVerdict verdict = LogVerdict::kNotALog;
  // UTF-8 as the log has it, "" where the log does not say. `windows` is the version RtlGetVersion
  // gave (with the service pack GetVersionExA gave for the same numbers), GetVersionExA's without it.
  std::string computer, user, mode, started, windows;
  bool hasSummary = false;
  SummaryEvent summary;
  std::string exitCode;  // the number, "incomplete", "not a log" or "unreadable"
  std::string log;       // the file's name, UTF-8
};

// Reads `size` bytes at `offset` into `out` (fewer only where the file ends); false when the file
// cannot be read.
using ReadLogBytes = std::function<bool(uint64_t offset, size_t size, std::string& out)>;

// The row of the log `logName` (UTF-8) of `size` bytes; at most kLogLineMax + 5 bytes are read at
// its start and 2 * (kLogLineMax + 2) + 1 at its end. A file whose first line is not a start line
// is "not a log", and nothing else is taken from it.
FleetRow ReadFleetLog(const std::string& logName, uint64_t size, const ReadLogBytes& read);
// The row of a file that is not read at all: "not a log" (a link, a device) or "unreadable".
FleetRow UnreadLogRow(const std::string& logName, bool unreadable);

// ---- The report ----

// By computer, then start time, then file name (a row without a computer comes first).
void SortFleetRows(std::vector<FleetRow>& rows);
ReportTally TallyOf(const std::vector<FleetRow>& rows);

// The header row and a row's line, each ending in CR LF; the file begins with a byte-order mark.
std::string FleetCsvHeader();
std::string FleetCsvLine(const FleetRow& row);

// One field of the CSV (RFC 4180): bytes that are not UTF-8, and control characters, as %XX; a
// field that a spreadsheet would take for a formula (one beginning with = + - @, or their
// full-width forms) begins with an apostrophe, which keeps it text; quoted when it holds a comma,
// a quote (doubled) or that apostrophe.
std::string CsvField(const std::string& text);

}  // namespace kc
