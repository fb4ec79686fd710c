// Benchmark of the fleet report (/report:). Writes 1,000 logs to D:\fleet\ as a share would hold
// them after a deployment (complete removals of the demo PC's size, some waiting for a restart,
// some with fonts left, previews, runs killed midway, refused runs, files that are no log, and ten
// logs of 5 MB), then times
//   in process  WriteFleetReport over the folder (list, read, sort, write the CSV),
//   bare        a plain listing of the folder that opens each file and reads its first 64 KB:
//               the floor, beside which a busy machine slows the report no more than its reads,
//   FontList    FontList.exe /report:D:\fleet /silent, started and waited for: what an
//               administrator waits for, Wine's process start included.
// Each is timed kRounds times, side by side; prints every round and ends with
// "report over 1000 logs: B ms in process (bare reads F ms), P ms for FontList.exe (best of R)".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/fleet_report-win32.h"
#include "clock-win32.h"

namespace {

constexpr int kLogs = 1000;
constexpr int kRounds = 5;
constexpr char kFolder[] = "D:\\fleet";

std::string Line(int serial, const std::string& event) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "2026-12-%02d %02d:%02d:%02d.%03d ", 1 + serial % 28, serial % 24, serial % 60,
                (serial * 7) % 60, serial % 1000);
  return stamp + event + "\r\n";
}

// The log of PC number `serial`: its kind chosen by the serial, its middle of `found` found lines.
std::string Log(int serial) {
  const std::string computer = "PC-" + std::to_string(serial);
  const bool preview = serial % 10 == 3;
  std::string log =
      "\xEF\xBB\xBF" + Line(serial, "start \"FontList.exe\" 1.1.0.0, " + std::string(preview ? "preview" : "silent") +
                                        " mode; Windows 6.1.7601 Service Pack 1 (RtlGetVersion: "
                                        "6.1.7601); user \"SYSTEM\" on \"" +
                                        computer + "\"; drives C:\\ D:\\");
  if (serial % 50 == 7) return "not a log: " + std::string(2000, 'x');
  if (serial % 25 == 11)
    return log + Line(serial, "refused: the user has no administrator rights") + Line(serial, "exit code 2");
  const int found = 9;
  const int middle = serial % 100 == 42 ? 40000 : found;  // ten logs of about 5 MB
  for (int i = 0; i < middle; ++i) {
    log += Line(serial, "searching C:\\");
    log += Line(serial, "found \"C:\\windows\\Fonts\\KestrelGothicPro-" + std::to_string(i) +
                            ".otf\": OpenType, tag KCHV, name \""
                            u8"ケストレルゴシック Pro\"");
    log += Line(serial, (preview ? "would uninstall " : "uninstalled ") +
                            std::string("\"C:\\windows\\Fonts\\KestrelGothicPro-") + std::to_string(i) + ".otf\"");
  }
  if (serial % 20 == 13) return log;  // killed midway
  if (preview)
    return log + Line(serial, "summary: 9 product fonts found; a preview removes nothing") +
           Line(serial, "exit code 10");
  const int atRestart = serial % 10 == 5 ? 1 : 0, left = serial % 10 == 8 ? 1 : 0;
  return log +
         Line(serial, "summary: 9 product fonts found: " + std::to_string(found - atRestart - left) + " removed, " +
                          std::to_string(atRestart) + " to be removed at the next restart, " + std::to_string(left) +
                          " still on disk") +
         Line(serial, "exit code " + std::to_string(left > 0        ? 1
                                                    : atRestart > 0 ? 3010
                                                                    : 0));
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

// Lists the folder, opens every file and reads its first 64 KB.
void ReadBare() {
  WIN32_FIND_DATAA entry;
  const HANDLE listing = FindFirstFileA((std::string(kFolder) + "\\*.log").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return;
  std::string buffer(64 * 1024, '\0');
  do {
    const HANDLE file = CreateFileA((std::string(kFolder) + "\\" + entry.cFileName).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
      ReadFile(file, &buffer[0], static_cast<DWORD>(buffer.size()), &read, nullptr);
      CloseHandle(file);
    }
  } while (FindNextFileA(listing, &entry));
  FindClose(listing);
}

double RunProgram() {
  std::string line = std::string("C:\\tests\\FontList.exe /report:") + kFolder + " /silent";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double started = Now();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\tests", &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = Now() - started;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 1 ? seconds : -1;  // the fleet holds PCs with fonts left: 1
}

}  // namespace

int main() {
  CreateDirectoryA(kFolder, nullptr);
  unsigned long long bytes = 0;
  for (int i = 0; i < kLogs; ++i) {
    const std::string log = Log(i);
    bytes += log.size();
    if (!WriteBytes(std::string(kFolder) + "\\pc-" + std::to_string(i) + ".log", log)) {
      std::printf("cannot write the logs\n");
      return 1;
    }
  }
  std::printf("%d logs, %.1f MB in all\n", kLogs, static_cast<double>(bytes) / 1e6);

  std::vector<double> inProcess, bare, program;
  for (int round = 0; round < kRounds; ++round) {
    const double started = Now();
    const kc::FleetReport report = kc::WriteFleetReport(std::wstring(kFolder, kFolder + sizeof kFolder - 1));
    inProcess.push_back(Now() - started);
    if (report.end != kc::ReportEnd::kWritten || report.rows.size() != kLogs) {
      std::printf("the report failed\n");
      return 1;
    }
    const double bareStarted = Now();
    ReadBare();
    bare.push_back(Now() - bareStarted);
    program.push_back(RunProgram());
    if (program.back() < 0) {
      std::printf("FontList.exe /report failed\n");
      return 1;
    }
    std::printf("round %d: %.1f ms in process, bare reads %.1f ms, %.1f ms for FontList.exe\n", round + 1,
                inProcess.back() * 1000, bare.back() * 1000, program.back() * 1000);
  }
  std::printf("report over %d logs: %.1f ms in process (bare reads %.1f ms), %.1f ms for FontList.exe (best of %d)\n",
              kLogs, *std::min_element(inProcess.begin(), inProcess.end()) * 1000,
              *std::min_element(bare.begin(), bare.end()) * 1000,
              *std::min_element(program.begin(), program.end()) * 1000, kRounds);
  return 0;
}
