#include "app/fleet_report-win32.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/exit_codes.h"
#include "app/run_log-win32.h"
#include "app/run_log_text.h"
#include "common/own_file-win32.h"
#include "common/path_split.h"
#include "common/scoped_handles-win32.h"
#include "common/system_lead_byte-win32.h"
#include "common/wide_text.h"
#include "framework/string_resource-win32.h"
#include "res/resource.h"

namespace kc {
namespace {

constexpr char kReportName[] = "fleet-report.csv";
constexpr size_t kWriteChunk = 64 * 1024;
constexpr uint64_t kWholeReadMax = 64 * 1024;

bool EndsWithLog(const char* name) {
  const size_t length = std::strlen(name);
  return length > 4 && _stricmp(name + length - 4, ".log") == 0;
}

// CON.log, COM1.log and the like name a device, whatever follows the first dot, wherever they lie.
bool NamesADevice(const char* name) {
  std::string base(name);
  base.erase(std::min(base.find('.'), base.size()));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (_stricmp(base.c_str(), device) == 0) return true;
  }
  const std::string family = base.substr(0, 3);
  return base.size() == 4 && (_stricmp(family.c_str(), "COM") == 0 || _stricmp(family.c_str(), "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// Reads at an offset of its own (no file pointer is shared between the reads).
bool ReadAt(HANDLE file, uint64_t offset, size_t size, std::string& out) {
  out.assign(size, '\0');
  size_t got = 0;
  while (got < size) {
    OVERLAPPED at = {};
    const uint64_t position = offset + got;
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD read = 0;
    if (!ReadFile(file, &out[got], static_cast<DWORD>(size - got), &read, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return false;
    }
    if (read == 0) break;  // the file is shorter than it was when listed
    got += read;
  }
  out.resize(got);
  return true;
}

// One *.log entry of the listing: read only when it is a plain file on a disk.
FleetRow ReadEntry(const std::string& path, const std::string& name) {
  if (NamesADevice(name.c_str())) return UnreadLogRow(AnsiToUtf8(name), false);
  // The writer of a log still running holds it with write access: share writing (and deletion,
  // which costs nothing), or a run in progress would read as unreadable instead of incomplete.
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) return UnreadLogRow(AnsiToUtf8(name), true);
  // The attributes through the handle in one call: GetFileInformationByHandle asks for the
  // volume's serial number too, a round trip of its own (measured under Wine: most of the report's time).
  FILE_ATTRIBUTE_TAG_INFORMATION tag = {};
  IO_STATUS_BLOCK io = {};
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(file.get(), &sizeHigh);
  const bool sized = sizeLow != INVALID_FILE_SIZE || GetLastError() == NO_ERROR;
  if (!sized || NtQueryInformationFile(file.get(), &io, &tag, sizeof tag, FileAttributeTagInformation) < 0) {
    return UnreadLogRow(AnsiToUtf8(name), true);
  }
  // A link is not followed, a device (a pipe, a port) not read: neither is a log the program wrote.
  if (GetFileType(file.get()) != FILE_TYPE_DISK ||
      (tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return UnreadLogRow(AnsiToUtf8(name), false);
  }
  const uint64_t size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
  // Most logs are a few kilobytes: one read serves both ends (each read is a round trip to the
  // server of a share).
  std::string whole;
  const bool small = size <= kWholeReadMax && ReadAt(file.get(), 0, static_cast<size_t>(size), whole);
  return ReadFleetLog(AnsiToUtf8(name), size, [&](uint64_t offset, size_t bytes, std::string& out) {
    if (!small) return ReadAt(file.get(), offset, bytes, out);
    out = offset < whole.size() ? whole.substr(static_cast<size_t>(offset), bytes) : std::string();
    return true;
  });
}

bool WriteReport(HANDLE file, const std::vector<FleetRow>& rows) {
  std::string chunk = std::string(kUtf8ByteOrderMark) + FleetCsvHeader();
  for (const FleetRow& row : rows) {
    chunk += FleetCsvLine(row);
    if (chunk.size() >= kWriteChunk) {
      if (!WriteAllBytes(file, chunk)) return false;
      chunk.clear();
    }
  }
  return WriteAllBytes(file, chunk);
}

// `format` holds one %s, then %d for the logs and for each count of the tally.
std::string TotalsText(const std::string& format, const std::string& path, const std::vector<FleetRow>& rows) {
  const ReportTally tally = TallyOf(rows);
  const int logs = static_cast<int>(rows.size());
  const int length = std::snprintf(nullptr, 0, format.c_str(), path.c_str(), logs, tally.clean, tally.atRestart,
                                   tally.fontsLeft, tally.notDone, tally.notALog);
  if (length <= 0) return path;
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), format.c_str(), path.c_str(), logs, tally.clean, tally.atRestart,
                tally.fontsLeft, tally.notDone, tally.notALog);
  text.resize(static_cast<size_t>(length));
  return text;
}

void Tell(const CommandLine& line, const std::string& message, UINT icon) {
  if (line.silent) return;
  // The message's narrow texts are code page 932 bytes (LoadResourceText): shown through that code
  // page itself, so that they read as Japanese on a Windows of any code page.
  MessageBoxW(nullptr, WideFromCp932(message).c_str(), LoadResourceTextW(IDS_PROGRAM_TITLE).c_str(),
              MB_OK | icon | MB_SETFOREGROUND);
}

}  // namespace

FleetReport WriteFleetReport(const std::string& folder) {
  FleetReport report;
  const std::string prefix = EndsWithSeparator(folder.c_str(), IsSystemLeadByte) ? folder : folder + "\\";
  report.path = prefix + kReportName;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return report;

  WIN32_FIND_DATAA entry;
  ScopedFindHandle listing(FindFirstFileA((prefix + "*.log").c_str(), &entry));
  if (!listing.valid() && GetLastError() != ERROR_FILE_NOT_FOUND) return report;
  if (listing.valid()) {
    do {
      // "*.log" matches a short name too: "a.logx" is A~1.LOG. Folders are no logs and are skipped.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !EndsWithLog(entry.cFileName)) continue;
      report.rows.push_back(ReadEntry(prefix + entry.cFileName, entry.cFileName));
    } while (FindNextFileA(listing.get(), &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) return report;
  }
  SortFleetRows(report.rows);

  report.end = ReportEnd::kReportUnwritable;
  OwnFile own = CreateOwnFile(report.path);
  if (!own.handle.valid() || !WriteReport(own.handle.get(), report.rows)) return report;
  report.end = ReportEnd::kWritten;
  return report;
}

int RunFleetReport(const CommandLine& line) {
  // Nothing but the one message box: no system box for a drive without a medium either.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (line.bad) {
    Tell(line, LoadResourceText(IDS_BAD_COMMAND_LINE) + line.badArgument, MB_ICONERROR);
    return kExitBadCommandLine;
  }
  FleetReport report;
  try {
    report = WriteFleetReport(line.reportFolder);
  } catch (const std::exception&) {
    Tell(line, LoadResourceText(IDS_OUT_OF_MEMORY), MB_ICONERROR);
    return kExitOutOfMemory;
  }
  switch (report.end) {
    case ReportEnd::kFolderUnreadable:
      Tell(line, LoadResourceText(IDS_REPORT_FOLDER_UNREADABLE) + line.reportFolder, MB_ICONERROR);
      return kExitBadCommandLine;
    case ReportEnd::kReportUnwritable:
      Tell(line, LoadResourceText(IDS_REPORT_UNWRITABLE) + report.path, MB_ICONERROR);
      return kExitLogUnwritable;
    case ReportEnd::kWritten: break;
  }
  Tell(line, TotalsText(LoadResourceText(IDS_REPORT_WRITTEN), report.path, report.rows), MB_ICONINFORMATION);
  return ReportExitCode(TallyOf(report.rows));
}

}  // namespace kc
