#pragma once
// /report:FOLDER: reads every *.log file directly in FOLDER (app/fleet_report.h reads each) and
// writes FOLDER\fleet-report.csv, UTF-8 with a byte-order mark, one row per log. It removes nothing,
// makes none of a removal's start-up checks (administrator rights, drives, applications) and
// writes no log; the report is its only file, written as the log is (never through a link:
// common/own_file-win32.h). Nothing in FOLDER is followed or run: a link or a device named *.log
// is listed as not a log and not opened for reading, folders are skipped; a log its filter serves
// (synced, compressed, deduplicated) is read through that filter. The folder is listed and each log
// opened by its UTF-16 name, and each is named in the CSV as UTF-8.

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/fleet_report.h"
#include "common/name_open-win32.h"

namespace kc {

enum class ReportEnd {
  kWritten,           // the report holds a row for every *.log file of the folder
  kFolderUnreadable,  // the folder cannot be listed: no report written
  kReportUnwritable,  // the report could not be created or written in full
};

struct FleetReport {
  ReportEnd end = ReportEnd::kFolderUnreadable;
  std::wstring path;  // of the report, in the extended form ("\\?\C:\...")
  std::vector<FleetRow> rows;
};

// Reads the folder's logs and writes the report, without any window. `folder` is full or relative
// to the current folder, a drive's or a share's ("\\server\share").
FleetReport WriteFleetReport(const std::wstring& folder, const FileSystemCalls& calls = SystemFileSystemCalls());

// Runs `line` (its mode is kReport) and returns the exit code: ReportExitCode of the rows (0, 3010,
// 1); 87 for a bad command line or a folder that cannot be read; 6 when the report cannot be
// written; 5 when memory runs out. Without /silent one message box tells where the report is and
// its totals, or what went wrong; with it, no window at all.
int RunFleetReport(const CommandLine& line);

}  // namespace kc
