#include "app/fleet_report-win32.h"

#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <exception>

#include "app/exit_codes.h"
#include "app/run_log_text.h"
#include "common/own_file-win32.h"
#include "common/reparse_tag.h"
#include "common/scoped_handles-win32.h"
#include "common/wide_text-win32.h"
#include "framework/string_resource-win32.h"
#include "res/resource.h"

namespace kc {
namespace {

constexpr wchar_t kReportName[] = L"fleet-report.csv";
constexpr size_t kWriteChunk = 64 * 1024;
constexpr uint64_t kWholeReadMax = 64 * 1024;

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameAsciiIgnoringCase(const std::wstring& text, const wchar_t* ascii) {
  size_t i = 0;
  for (; i < text.size() && ascii[i] != L'\0'; ++i) {
    if (AsciiUpper(text[i]) != AsciiUpper(ascii[i])) return false;
  }
  return i == text.size() && ascii[i] == L'\0';
}

bool EndsWithLog(const std::wstring& name) {
  return name.size() > 4 && SameAsciiIgnoringCase(name.substr(name.size() - 4), L".log");
}

// CON.log, COM1.log and the like name a device, whatever follows the first dot, wherever they lie.
bool NamesADevice(const std::wstring& name) {
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
    if (SameAsciiIgnoringCase(base, device)) return true;
  }
  const std::wstring family = base.substr(0, 3);
  return base.size() == 4 && (SameAsciiIgnoringCase(family, L"COM") || SameAsciiIgnoringCase(family, L"LPT")) &&
         base[3] >= L'1' && base[3] <= L'9';
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

// One *.log entry of the listing, `path` its full UTF-16 path: read only when it is a plain file on a
// disk, or a file a filter serves (then through that filter).
FleetRow ReadEntry(const std::wstring& path, const WIN32_FIND_DATAW& entry, const FileSystemCalls& calls) {
  const std::string name = Utf8FromWide(entry.cFileName);
  // The listing tells a link already (its tag in dwReserved0): not opened at all.
  if (NamesADevice(entry.cFileName) || IsNameSurrogateLink(entry.dwFileAttributes, entry.dwReserved0)) {
    return UnreadLogRow(name, false);
  }
  // The writer of a log still running holds it with write access: share writing (and deletion,
  // which costs nothing), or a run in progress would read as unreadable instead of incomplete.
  // Where the file system will not open the name as itself, it is opened as usual only when the
  // listing showed no reparse point there (such a file system has none to follow).
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const NameHandle file = OpenNameItself(path, GENERIC_READ, kShareAll, OPEN_EXISTING, 0, calls,
                                         (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0);
  if (!file.handle.valid()) return UnreadLogRow(name, true);
  // The attributes through the handle in one call: GetFileInformationByHandle asks for the
  // volume's serial number too, a round trip of its own (measured under Wine: most of the report's time).
  NameAttributes attributes;
  if (!ReadNameAttributes(file.handle.get(), attributes, calls)) return UnreadLogRow(name, true);
  // A link is not followed, a device (a pipe, a port) not read: neither is a log the program wrote.
  if (GetFileType(file.handle.get()) != FILE_TYPE_DISK || (attributes.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      IsNameSurrogateLink(attributes.attributes, attributes.reparseTag)) {
    return UnreadLogRow(name, false);
  }
  // A synced, compressed or deduplicated log: opened as itself it shows its filter's own bytes.
  HANDLE reader = file.handle.get();
  ScopedHandle throughFilter;
  if ((attributes.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    FileIdentity identity;
    if (!ReadOpenFileIdentity(reader, identity)) return UnreadLogRow(name, true);
    throughFilter = OpenThroughFilter(path, GENERIC_READ, kShareAll, identity, calls);
    if (!throughFilter.valid()) return UnreadLogRow(name, true);
    reader = throughFilter.get();
  }
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(reader, &sizeHigh);
  if (sizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return UnreadLogRow(name, true);
  const uint64_t size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
  // Most logs are a few kilobytes: one read serves both ends (each read is a round trip to the
  // server of a share).
  std::string whole;
  const bool small = size <= kWholeReadMax && ReadAt(reader, 0, static_cast<size_t>(size), whole);
  return ReadFleetLog(name, size, [&](uint64_t offset, size_t bytes, std::string& out) {
    if (!small) return ReadAt(reader, offset, bytes, out);
    out = offset < whole.size() ? whole.substr(static_cast<size_t>(offset), bytes) : std::string();
    return true;
  });
}

// The folder as the command line gave it (relative to the current folder, or full), in the
// extended form. Empty when it cannot be made full.
std::wstring FullFolderPath(const std::wstring& folder) {
  const DWORD needed = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(folder.c_str(), needed, &full[0], nullptr);
  if (length == 0 || length >= needed) return std::wstring();
  full.resize(length);
  return ExtendedLengthPath(full);
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

// `format` (UTF-8) holds one %s, then %d for the logs and for each count of the tally; `path` is
// UTF-8 too.
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

void Tell(const CommandLine& line, const std::wstring& message, UINT icon) {
  if (line.silent) return;
  MessageBoxW(nullptr, message.c_str(), LoadResourceTextW(IDS_PROGRAM_TITLE).c_str(), MB_OK | icon | MB_SETFOREGROUND);
}

}  // namespace

FleetReport WriteFleetReport(const std::wstring& folder, const FileSystemCalls& calls) {
  FleetReport report;
  // Listed and opened by their UTF-16 names under "\\?\": a name is what the file system holds
  // ("..¥..¥x.log" is one name, not a way out of the folder), whatever the code page.
  std::wstring prefix = FullFolderPath(folder);
  if (prefix.empty()) return report;
  if (prefix.back() != L'\\') prefix += L'\\';
  report.path = prefix + kReportName;
  const DWORD attributes = GetFileAttributesW(prefix.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return report;

  WIN32_FIND_DATAW entry;
  ScopedFindHandle listing(FindFirstFileW((prefix + L"*.log").c_str(), &entry));
  if (!listing.valid() && GetLastError() != ERROR_FILE_NOT_FOUND) return report;
  if (listing.valid()) {
    do {
      // "*.log" matches a short name too: "a.logx" is A~1.LOG. Folders are no logs and are skipped.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !EndsWithLog(entry.cFileName)) continue;
      report.rows.push_back(ReadEntry(prefix + entry.cFileName, entry, calls));
    } while (FindNextFileW(listing.get(), &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) return report;
  }
  SortFleetRows(report.rows);

  report.end = ReportEnd::kReportUnwritable;
  OwnFile own = CreateOwnFile(report.path, calls);
  if (!own.handle.valid() || !WriteReport(own.handle.get(), report.rows)) return report;
  report.end = ReportEnd::kWritten;
  return report;
}

int RunFleetReport(const CommandLine& line) {
  // Nothing but the one message box: no system box for a drive without a medium either.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (line.bad) {
    Tell(line, LoadResourceTextW(IDS_BAD_COMMAND_LINE) + WideFromUtf8(line.badArgument), MB_ICONERROR);
    return kExitBadCommandLine;
  }
  FleetReport report;
  try {
    report = WriteFleetReport(WideFromUtf8(line.reportFolder));
  } catch (const std::exception&) {
    Tell(line, LoadResourceTextW(IDS_OUT_OF_MEMORY), MB_ICONERROR);
    return kExitOutOfMemory;
  }
  const std::wstring shownPath = OrdinaryPath(report.path);
  switch (report.end) {
    case ReportEnd::kFolderUnreadable:
      Tell(line, LoadResourceTextW(IDS_REPORT_FOLDER_UNREADABLE) + WideFromUtf8(line.reportFolder), MB_ICONERROR);
      return kExitBadCommandLine;
    case ReportEnd::kReportUnwritable:
      Tell(line, LoadResourceTextW(IDS_REPORT_UNWRITABLE) + shownPath, MB_ICONERROR);
      return kExitLogUnwritable;
    case ReportEnd::kWritten: break;
  }
  Tell(line,
       WideFromUtf8(TotalsText(Utf8FromWide(LoadResourceTextW(IDS_REPORT_WRITTEN)), Utf8FromWide(shownPath), report.rows)),
       MB_ICONINFORMATION);
  return ReportExitCode(TallyOf(report.rows));
}

}  // namespace kc
