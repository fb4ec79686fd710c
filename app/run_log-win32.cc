#include "app/run_log-win32.h"

#include <windows.h>

#include <algorithm>
#include <exception>

#include "app/run_log_text.h"
#include "common/own_file-win32.h"
#include "common/path_split.h"
#include "common/wide_text-win32.h"

namespace kc {
namespace {

// %WINDIR% with its closing backslash; "" when it cannot be had.
std::wstring WindowsFolder() {
  wchar_t windows[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(windows, length);
  if (folder.back() != L'\\') folder += L'\\';  // a root such as C:\ comes with its backslash
  return folder;
}

std::string Now() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return TimeStampText(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                       time.wMilliseconds);
}

}  // namespace

bool RunLog::Open(const std::wstring& path, const FileSystemCalls& calls) {
  // Others may read the log while the run writes it (an administrator watching, a deployment tool),
  // but a link planted at its name is never written through.
  OwnFile own = CreateOwnFile(path, calls);
  file_ = std::move(own.handle);
  replacedLink_ = own.origin == OwnFileOrigin::kLinkReplaced;
  reparseFlagRefused_ = own.reparseFlagRefused;
  path_ = path;
  if (!file_.valid() || !WriteAllBytes(file_.get(), kUtf8ByteOrderMark)) {
    file_.reset();
    failed_ = true;
    return false;
  }
  return true;
}

void RunLog::Start(const StartFacts& facts) noexcept {
  try {
    Line(StartText(facts));
    if (replacedLink_) Line(LogLinkReplacedText(Utf8FromWide(OrdinaryPath(path_)).c_str()));
    if (reparseFlagRefused_) Line(LogOpenedAsUsualText(Utf8FromWide(OrdinaryPath(path_)).c_str()));
  } catch (const std::exception&) {
    LineLost();
  }
}

void RunLog::Line(const std::string& text) noexcept {
  if (!file_.valid()) return;
  try {
    if (!WriteAllBytes(file_.get(), Now() + " " + text + "\r\n")) failed_ = true;
  } catch (const std::exception&) {
    failed_ = true;  // out of memory making the line: the run goes on without it
  }
}

std::wstring DefaultLogPath() {
  const std::wstring path = WindowsFolder();
  wchar_t program[MAX_PATH] = {};
  const DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (path.empty() || programLength == 0 || programLength >= MAX_PATH) return std::wstring();
  std::wstring name(program, programLength);
  name.erase(0, name.find_last_of(L'\\') + 1);
  name.erase(std::min(name.find_last_of(L'.'), name.size()));
  return path + L"Logs\\Software\\" + name + L".log";
}

void CreateDefaultLogFolders() {
  const std::wstring windows = WindowsFolder();
  if (windows.empty()) return;
  // Either exists already on most systems; a failure shows when the log is opened.
  for (const wchar_t* below : {L"Logs", L"Logs\\Software"}) CreateDirectoryW((windows + below).c_str(), nullptr);
}

std::string SystemErrorText(unsigned long error) {
  wchar_t text[512] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                      0, text, 512, nullptr);
  std::string message = Utf8FromWide(text, length < 512 ? length : 511);
  for (char& c : message) {
    if (c == '\r' || c == '\n') c = ' ';  // one event, one line
  }
  while (!message.empty() && message.back() == ' ') message.pop_back();
  return message;
}

}  // namespace kc
