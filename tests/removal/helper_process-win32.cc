#include <cstring>

#include "tests/removal/helper_process-win32.h"

namespace kc {
namespace {

std::string HelperPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  char* lastSeparator = std::strrchr(path, '\\');
  if (lastSeparator != nullptr) lastSeparator[1] = '\0';
  return std::string(path) + "removal_test_helper.exe";
}

}  // namespace

HelperProcess::HelperProcess(const std::string& arguments) {
  static int started = 0;
  const std::string eventName = "kc-removal-helper-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(++started);
  ScopedHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
  if (!readyEvent.valid()) {
    failure_ = "CreateEventA failed";
    return;
  }

  std::string commandLine = "\"" + HelperPath() + "\" " + arguments + " " + eventName;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    failure_ = "CreateProcessA failed with " + std::to_string(GetLastError()) + ": " + commandLine;
    return;
  }
  CloseHandle(info.hThread);
  process_ = ScopedHandle(info.hProcess);

  const HANDLE waitFor[] = {readyEvent.get(), process_.get()};
  const DWORD woke = WaitForMultipleObjects(2, waitFor, FALSE, 20000);
  if (woke == WAIT_OBJECT_0) {
    ready_ = true;
    return;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process_.get(), &exitCode);
  failure_ = "helper not ready (wait " + std::to_string(woke) + ", exit code " +
             std::to_string(exitCode) + "): " + commandLine;
}

HelperProcess::~HelperProcess() {
  if (!process_.valid()) return;
  TerminateProcess(process_.get(), 0);
  WaitForSingleObject(process_.get(), 10000);
}

long ListenerFontChanges() {
  HWND listener = FindWindowA(kListenerClass, nullptr);
  if (listener == nullptr) return -1;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(listener, kListenerCountMessage, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) {
    return -1;
  }
  return static_cast<long>(count);
}

}  // namespace kc
