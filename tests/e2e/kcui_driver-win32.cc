#include "tests/e2e/kcui_driver-win32.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace kc::e2e {
namespace {

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = nullptr) : m_handle(handle) {}
  ~OwnedHandle() {
    if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE Get() const { return m_handle; }
  HANDLE* Receive() { return &m_handle; }
  void Reset() {
    if (m_handle != nullptr) CloseHandle(m_handle);
    m_handle = nullptr;
  }

 private:
  HANDLE m_handle;
};

// The tests' literals are code page 932, whatever the test bed's code page.
std::wstring WideFromCp932(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int units = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                        static_cast<int>(wide.size()));
  wide.resize(units > 0 ? static_cast<size_t>(units) : 0);
  return wide;
}

}  // namespace

ToolRun Kcui(const std::string& args) {
  ToolRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  OwnedHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0)) return run;
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring commandLine = L"C:\\tests\\kcui.exe " + WideFromCp932(args);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(L"C:\\tests\\kcui.exe", &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                      L"C:\\tests", &startup, &process)) {
    return run;
  }
  OwnedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  writeEnd.Reset();  // the read below ends when kcui's copy closes

  // Read while kcui runs, not until the pipe closes: a program that kcui starts may hold a copy
  // of kcui's output handle under Wine, and the pipe would then stay open as long as it runs.
  for (bool exited = false;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &available, nullptr)) {
      // Every writer is gone (Wine may say so while data is still buffered): read what is left.
      char buffer[4096];
      DWORD got = 0;
      while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        run.out.append(buffer, got);
      }
      break;
    }
    if (available > 0) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(readEnd.Get(), buffer, available < sizeof buffer ? available : sizeof buffer,
                    &got, nullptr)) {
        break;
      }
      run.out.append(buffer, got);
      continue;
    }
    if (exited) break;  // drained after the exit
    exited = WaitForSingleObject(processHandle.Get(), 10) == WAIT_OBJECT_0;
  }
  WaitForSingleObject(processHandle.Get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(processHandle.Get(), &code);
  run.status = static_cast<int>(code);
  return run;
}

std::vector<std::string> Lines(const std::string& out) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    lines.push_back(out.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

namespace {

// Handles of the programs StartProgram started, opened right away and kept for the test's life.
std::map<DWORD, HANDLE>& StartedPrograms() {
  static std::map<DWORD, HANDLE> programs;
  return programs;
}

}  // namespace

DWORD Scaled(DWORD ms) {
  char text[16] = {};
  const DWORD length = GetEnvironmentVariableA("WINEBED_SLOWDOWN", text, sizeof text);
  const unsigned long factor = length > 0 && length < sizeof text ? strtoul(text, nullptr, 10) : 1;
  return factor >= 1 && factor <= 100 ? ms * factor : ms;
}

int WaitForExitCode(DWORD pid, DWORD timeoutMs) {
  const auto found = StartedPrograms().find(pid);
  if (found == StartedPrograms().end()) return -1000;
  if (WaitForSingleObject(found->second, Scaled(timeoutMs)) != WAIT_OBJECT_0) return -1000;
  DWORD code = 0;
  GetExitCodeProcess(found->second, &code);
  return static_cast<int>(code);
}

DWORD StartProgram(const std::string& exeAndArgs, bool nonAdministrator) {
  return StartProgramIn("C:\\tests\\", exeAndArgs, nonAdministrator);
}

DWORD StartProgramIn(const std::string& folder, const std::string& exeAndArgs, bool nonAdministrator) {
  const ToolRun run = Kcui(std::string("start ") + (nonAdministrator ? "--non-admin " : "") + folder + exeAndArgs);
  const DWORD pid = static_cast<DWORD>(std::strtoul(run.out.c_str(), nullptr, 10));
  if (run.status != 0 || pid == 0) {
    std::fprintf(stderr, "kcui start %s: status %d, printed \"%s\"\n", exeAndArgs.c_str(), run.status,
                 run.out.c_str());
    return 0;
  }
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (process != nullptr) StartedPrograms()[pid] = process;
  return pid;
}

void EndIfRunning(DWORD pid) {
  if (pid == 0) return;
  OwnedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (process.Get() == nullptr) return;
  if (WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.Get(), 99);
    WaitForSingleObject(process.Get(), 5000);
  }
}

}  // namespace kc::e2e
