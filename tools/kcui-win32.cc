// kcui.exe — acts as the user on the program's windows from outside, for end-to-end tests and demos.
//
//   kcui COMMAND ARGS... [--timeout MS] [--pid PID]
//
// Windows are found by their exact title among the visible top-level dialogs (with --pid, only
// those of that process), or by the handle that find printed, given as TITLE "hwnd:0x1A2B" (to
// tell apart two dialogs of the same title that follow each other); a command that needs a window
// waits for it up to --timeout (default 10000 ms), stretched by the factor in WINEBED_SLOWDOWN
// when the test bed sets one (the 32-bit stage runs under emulation). Texts are printed as UTF-8, one record a line
// ending in LF; a line break inside a text is printed as \n (CR as \r, tab as \t, backslash as
// \\). Exit status: 0 done, 1 failed or timed out (the reason on stderr), 2 bad usage.
//
//   find TITLE                  the window's handle (hex) once it exists
//   gone TITLE                  waits until no such window is left (hidden counts as gone)
//   texts TITLE                 "window<TAB>style<TAB>exstyle<TAB>title", then per control, in
//                               z-order: "ID<TAB>class<TAB>flags<TAB>text"; flags are
//                               visible|hidden, enabled|disabled, and default for a default button;
//                               a picture's text is its resource id, e.g. "#138"
//   text TITLE ID               the text of control ID
//   click TITLE ID              clicks button ID as the user would (refused when the button is
//                               hidden or disabled: the user could not click it)
//   key TITLE enter|esc         presses Enter or Esc in the dialog
//   syscommand TITLE CMD        chooses system-menu command CMD (decimal or 0x hex), e.g. 16 for
//                               the About item, 0xF060 for the close box
//   sysmenu TITLE               the system menu's items: "ID<TAB>text" (separators as "0<TAB>-");
//                               Wine 8 gives no process another's menu, so there it fails
//   progress TITLE [ID]         "LOW<TAB>HIGH<TAB>POS" of progress bar ID (default 1032)
//   watch TITLE [--interval MS] samples the progress bar 1032 and status lines 1003 and 1004 until
//                               the window is gone; prints "MS<TAB>LOW<TAB>HIGH<TAB>POS<TAB>line1
//                               <TAB>line2" whenever a value changed (MS since the first sample)
//   layout TITLE                the dialog's client size, the DPI and the title bar's icons, then
//                               per control its rectangle and what it needs to show its text or
//                               picture, measured inside the program by kcui_layout.dll (next to
//                               kcui; its header gives the format)
//   start [--non-admin] EXE [ARGS...]
//                               starts EXE in its own folder and prints its process id;
//                               --non-admin runs it with a restricted token in which the
//                               Administrators group is deny-only (a real standard user's check)
//   wait-exit PID               waits for the process to end and prints its exit code
//   run-watched [--non-admin] EXE [ARGS...]
//                               starts EXE as start does, watching from before its first
//                               instruction for every window its process creates (top-level or
//                               child, shown or hidden, however briefly), and waits for it to end
//                               (up to --timeout). Prints "pid<TAB>PID" first, then a line
//                               "window<TAB>class<TAB>title" per window created, then
//                               "exit<TAB>CODE". Status 0 when the program ended, 1 when it did not
//                               end in time (it is left running)
//
// Example, from a shell inside a test-bed prefix (drive_c as the current folder):
//   pid=$(wine 'C:\tests\kcui.exe' start 'C:\tests\FontList.exe')
//   wine 'C:\tests\kcui.exe' texts 'KESTREL CHARTER契約解約時のフォント削除処理' --pid "$pid"
//   wine 'C:\tests\kcui.exe' click 'KESTREL CHARTER契約解約時のフォント削除処理' 2 --pid "$pid"
//   wine 'C:\tests\kcui.exe' wait-exit "$pid"
//
// Titles and texts given on the command line may be in any script: the tool uses the Unicode
// window functions (WM_GETTEXT sent with SendMessageW), as does the program under test, so no code
// page comes between them and a text reads as the program set it.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// ---- output -----------------------------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'\n': out += L"\\n"; break;
      case L'\r': out += L"\\r"; break;
      case L'\t': out += L"\\t"; break;
      case L'\\': out += L"\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

void Write(HANDLE stream, const std::wstring& line) {
  const std::string bytes = Utf8(line + L"\n");
  DWORD written = 0;
  WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Print(const std::wstring& line) { Write(GetStdHandle(STD_OUTPUT_HANDLE), line); }

int Fail(const std::wstring& reason) {
  Write(GetStdHandle(STD_ERROR_HANDLE), L"kcui: " + reason);
  return 1;
}

std::wstring Hex(unsigned long long value) {
  wchar_t buffer[32];
  swprintf(buffer, 32, L"0x%llX", value);
  return buffer;
}

std::wstring Number(long long value) { return std::to_wstring(value); }

// ---- options ----------------------------------------------------------------------------------

struct Options {
  DWORD timeoutMs = 10000;
  DWORD intervalMs = 20;
  DWORD pid = 0;
  bool nonAdmin = false;
  std::vector<std::wstring> args;  // the command and its operands, options removed
};

bool ParseUnsigned(const std::wstring& text, unsigned long& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  value = wcstoul(text.c_str(), &end, 0);
  return end != nullptr && *end == L'\0';
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  bool afterStart = false;  // start's own arguments belong to the started program
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (afterStart) {
      options.args.push_back(arg);
      continue;
    }
    unsigned long value = 0;
    if (arg == L"--non-admin") {
      options.nonAdmin = true;
    } else if (arg == L"--timeout" || arg == L"--interval" || arg == L"--pid") {
      if (i + 1 >= argc || !ParseUnsigned(argv[i + 1], value)) return false;
      ++i;
      if (arg == L"--timeout") options.timeoutMs = value;
      if (arg == L"--interval") options.intervalMs = value;
      if (arg == L"--pid") options.pid = value;
    } else {
      options.args.push_back(arg);
      if (options.args.size() == 2 && (options.args[0] == L"start" || options.args[0] == L"run-watched")) {
        afterStart = true;
      }
    }
  }
  return !options.args.empty();
}

// The factor by which every wait stretches: WINEBED_SLOWDOWN (1 to 100), 1 when unset or invalid.
DWORD Slowdown() {
  wchar_t text[16] = {};
  const DWORD length = GetEnvironmentVariableW(L"WINEBED_SLOWDOWN", text, 16);
  unsigned long factor = 0;
  if (length == 0 || length >= 16 || !ParseUnsigned(text, factor) || factor < 1 || factor > 100) return 1;
  return factor;
}

// ---- windows ----------------------------------------------------------------------------------

// Sends a message to another process's window without hanging on it: 5 s, and a window whose
// thread has not pumped for 5 s counts as hung. Under emulation (WINEBED_SLOWDOWN) a program busy
// for that long is only slow: the wait stretches and nothing counts as hung.
bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  const DWORD slowdown = Slowdown();
  const UINT flags = slowdown > 1 ? SMTO_NORMAL : SMTO_ABORTIFHUNG;
  return SendMessageTimeoutW(window, message, wParam, lParam, flags, 5000 * slowdown, result) != 0;
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendBounded(window, WM_GETTEXTLENGTH, 0, 0, &length)) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &copied);
  text.resize(static_cast<size_t>(copied));
  return text;
}

// A picture control's text is its resource ordinal (0xFFFF, id): shown as "#id".
std::wstring ShownText(const std::wstring& text) {
  if (text.empty() || text[0] != 0xFFFF) return text;
  return text.size() >= 2 ? L"#" + std::to_wstring(static_cast<unsigned>(text[1])) : L"#";
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct FindRequest {
  const std::wstring* title;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
  FindRequest& request = *reinterpret_cast<FindRequest*>(param);
  if (!IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
  if (request.pid != 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != request.pid) return TRUE;
  }
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);  // top-level titles are read without messages
  if (*request.title != title) return TRUE;
  request.found = window;
  return FALSE;
}

HWND FindDialog(const std::wstring& title, DWORD pid) {
  if (title.compare(0, 5, L"hwnd:") == 0) {
    // A window named by its handle: found while it exists and is visible.
    const HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(wcstoull(title.c_str() + 5, nullptr, 0)));
    return IsWindow(window) && IsWindowVisible(window) ? window : nullptr;
  }
  FindRequest request = {&title, pid, nullptr};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

HWND WaitForDialog(const std::wstring& title, const Options& options) {
  const DWORD start = GetTickCount();
  for (;;) {
    const HWND window = FindDialog(title, options.pid);
    if (window != nullptr) return window;
    if (GetTickCount() - start >= options.timeoutMs) return nullptr;
    Sleep(20);
  }
}

struct ControlList {
  HWND dialog;
  std::vector<HWND> controls;
};

BOOL CALLBACK CollectControl(HWND control, LPARAM param) {
  ControlList& list = *reinterpret_cast<ControlList*>(param);
  if (GetParent(control) == list.dialog) list.controls.push_back(control);
  return TRUE;
}

std::wstring Flags(HWND control) {
  std::wstring flags = IsWindowVisible(control) ? L"visible" : L"hidden";
  flags += IsWindowEnabled(control) ? L",enabled" : L",disabled";
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (ClassName(control) == L"Button" && (style & 0x0F) == BS_DEFPUSHBUTTON) flags += L",default";
  return flags;
}

// ---- commands ---------------------------------------------------------------------------------

int Texts(HWND dialog) {
  Print(L"window\t" + Hex(static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE))) + L"\t" +
        Hex(static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE))) + L"\t" +
        Escaped(WindowText(dialog)));
  ControlList list = {dialog, {}};
  EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&list));
  for (HWND control : list.controls) {
    const int id = static_cast<short>(GetDlgCtrlID(control));  // static controls use -1
    Print(Number(id) + L"\t" + ClassName(control) + L"\t" + Flags(control) + L"\t" +
          Escaped(ShownText(WindowText(control))));
  }
  return 0;
}

HWND Control(HWND dialog, const std::wstring& idText) {
  unsigned long id = 0;
  if (!ParseUnsigned(idText, id)) return nullptr;
  return GetDlgItem(dialog, static_cast<int>(id));
}

int Click(HWND dialog, const std::wstring& idText) {
  const HWND button = Control(dialog, idText);
  if (button == nullptr) return Fail(L"no control " + idText);
  if (!IsWindowVisible(button) || !IsWindowEnabled(button)) {
    return Fail(L"control " + idText + L" is hidden or disabled: the user cannot click it");
  }
  const int id = GetDlgCtrlID(button);
  // Posted, not sent: the handler may run a modal loop or a long task, and the tool must go on.
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return 0;
}

int Key(HWND dialog, const std::wstring& which) {
  WPARAM key = 0;
  if (which == L"enter") key = VK_RETURN;
  if (which == L"esc") key = VK_ESCAPE;
  if (key == 0) return 2;
  // The modal loop's IsDialogMessage turns the key into the dialog's IDOK / IDCANCEL.
  PostMessageW(dialog, WM_KEYDOWN, key, 1);
  PostMessageW(dialog, WM_KEYUP, key, 0xC0000001);
  return 0;
}

int SysMenu(HWND dialog) {
  const HMENU menu = GetSystemMenu(dialog, FALSE);
  if (menu == nullptr) return Fail(L"no system menu");
  const int count = GetMenuItemCount(menu);
  if (count < 0) return Fail(L"the system menu cannot be read");
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW item = {};
    wchar_t text[256] = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = 256;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
    if (item.fType & MFT_SEPARATOR) {
      Print(L"0\t-");
    } else {
      Print(Number(item.wID) + L"\t" + Escaped(text));
    }
  }
  return 0;
}

struct ProgressSample {
  long long low = -1, high = -1, pos = -1;
  std::wstring line1, line2;
  bool operator!=(const ProgressSample& o) const {
    return low != o.low || high != o.high || pos != o.pos || line1 != o.line1 || line2 != o.line2;
  }
};

long long Ask(HWND window, UINT message, WPARAM wParam) {
  DWORD_PTR result = 0;
  if (!SendBounded(window, message, wParam, 0, &result)) return -1;
  return static_cast<long long>(static_cast<int>(result));
}

bool Sample(HWND dialog, UINT progressId, ProgressSample& sample) {
  const HWND bar = GetDlgItem(dialog, static_cast<int>(progressId));
  if (bar == nullptr) return false;
  constexpr UINT kGetRange = WM_USER + 7, kGetPos = WM_USER + 8;  // PBM_GETRANGE, PBM_GETPOS
  sample.low = Ask(bar, kGetRange, TRUE);
  sample.high = Ask(bar, kGetRange, FALSE);
  sample.pos = Ask(bar, kGetPos, 0);
  const HWND line1 = GetDlgItem(dialog, 1003);
  const HWND line2 = GetDlgItem(dialog, 1004);
  sample.line1 = line1 ? WindowText(line1) : std::wstring();
  sample.line2 = line2 ? WindowText(line2) : std::wstring();
  return IsWindow(dialog) != FALSE;
}

int Watch(HWND dialog, const Options& options) {
  const DWORD start = GetTickCount();
  ProgressSample last;
  bool first = true;
  while (IsWindow(dialog) && IsWindowVisible(dialog)) {
    ProgressSample sample;
    if (!Sample(dialog, 1032, sample)) break;
    if (first || sample != last) {
      Print(Number(GetTickCount() - start) + L"\t" + Number(sample.low) + L"\t" +
            Number(sample.high) + L"\t" + Number(sample.pos) + L"\t" + Escaped(sample.line1) +
            L"\t" + Escaped(sample.line2));
      last = sample;
      first = false;
    }
    if (GetTickCount() - start >= options.timeoutMs) return Fail(L"still open after the timeout");
    Sleep(options.intervalMs);
  }
  return 0;
}

// A primary token of this process in which the Administrators group only denies.
HANDLE NonAdministratorToken() {
  HANDLE process = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(),
                        TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_QUERY, &process)) {
    return nullptr;
  }
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  HANDLE restricted = nullptr;
  if (AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                               DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    SID_AND_ATTRIBUTES denyOnly = {administrators, 0};
    if (!CreateRestrictedToken(process, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted)) {
      restricted = nullptr;
    }
    FreeSid(administrators);
  }
  CloseHandle(process);
  return restricted;
}

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

// Starts the program of a start or run-watched command (EXE and ARGS after the command) in its own
// folder, with `flags` for CreateProcess. False with the reason printed.
bool Launch(const Options& options, DWORD flags, PROCESS_INFORMATION& process) {
  const std::wstring& exe = options.args[1];
  std::wstring commandLine = Quoted(exe);
  for (size_t i = 2; i < options.args.size(); ++i) commandLine += L" " + Quoted(options.args[i]);
  std::wstring folder = exe;
  const size_t slash = folder.find_last_of(L"\\/");
  folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);

  // The program gets none of kcui's standard handles: a caller reading kcui's output until the
  // end must not wait for the program too.
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  process = {};
  std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back(L'\0');
  BOOL started = FALSE;
  if (options.nonAdmin) {
    const HANDLE token = NonAdministratorToken();
    if (token == nullptr) {
      Fail(L"no restricted token: error " + Number(GetLastError()));
      return false;
    }
    started = CreateProcessAsUserW(token, exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                                   flags, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                                   &process);
    CloseHandle(token);
  } else {
    started = CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                             folder.empty() ? nullptr : folder.c_str(), &startup, &process);
  }
  if (!started) Fail(L"cannot start " + exe + L": error " + Number(GetLastError()));
  return started != FALSE;
}

int Start(const Options& options) {
  if (options.args.size() < 2) return 2;
  PROCESS_INFORMATION process;
  if (!Launch(options, 0, process)) return 1;
  Print(Number(process.dwProcessId));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

// ---- layout: measured inside the program ----------------------------------------------------

int Layout(HWND dialog) {
  constexpr DWORD kMappingBytes = 256 * 1024;
  wchar_t name[64];
  swprintf(name, 64, L"Local\\kcui-layout-%lu", GetCurrentProcessId());
  const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingBytes, name);
  if (mapping == nullptr) return Fail(L"no file mapping: error " + Number(GetLastError()));
  wchar_t* view = static_cast<wchar_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMappingBytes));

  // The DLL beside kcui, by its full path: the program loads it from there when the hook runs.
  wchar_t dll[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, dll, MAX_PATH);
  wchar_t* slash = wcsrchr(dll, L'\\');
  if (slash != nullptr) wcscpy(slash + 1, L"kcui_layout.dll");
  const HMODULE module = LoadLibraryW(dll);
  const FARPROC entry = module != nullptr ? GetProcAddress(module, "LayoutHook") : nullptr;
  const HOOKPROC hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(entry));
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  const HHOOK installed = hook ? SetWindowsHookExW(WH_CALLWNDPROC, hook, module, thread) : nullptr;
  int status = 0;
  if (view == nullptr || installed == nullptr) {
    status = Fail(L"cannot hook the dialog's thread with " + std::wstring(dll) + L": error " + Number(GetLastError()));
  } else {
    view[0] = L'\0';
    DWORD_PTR ignored = 0;
    SendBounded(dialog, RegisterWindowMessageW(L"kcui.layout"), GetCurrentProcessId(), 0, &ignored);
    UnhookWindowsHookEx(installed);
    std::wstring text(view, wcsnlen(view, kMappingBytes / sizeof(wchar_t)));
    if (text.empty()) status = Fail(L"the program did not answer the layout request");
    while (!text.empty() && text.back() == L'\n') text.pop_back();
    if (!text.empty()) Print(text);
  }
  if (view != nullptr) UnmapViewOfFile(view);
  CloseHandle(mapping);
  if (module != nullptr) FreeLibrary(module);
  return status;
}

// ---- watching a program for windows ------------------------------------------------------------

struct WindowSeen {
  HWND window;
  std::wstring className;
  std::wstring title;
};

DWORD g_watchedPid = 0;
std::vector<WindowSeen> g_windowsSeen;

void NoteWindow(HWND window) {
  for (const WindowSeen& seen : g_windowsSeen) {
    if (seen.window == window) return;
  }
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);  // no message: the window's thread may be busy or gone
  g_windowsSeen.push_back({window, ClassName(window), title});
}

// Out of context: Windows posts each event to this thread, which handles it while it pumps.
void CALLBACK WindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window != nullptr && object == OBJID_WINDOW && child == CHILDID_SELF) NoteWindow(window);
}

// A second way to see the windows, in case an event is lost: the process's top-level windows.
BOOL CALLBACK NoteIfWatched(HWND window, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == g_watchedPid) NoteWindow(window);
  return TRUE;
}

void PumpAndLook() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EnumWindows(NoteIfWatched, 0);
}

int RunWatched(const Options& options) {
  if (options.args.size() < 2) return 2;
  PROCESS_INFORMATION process;
  // Suspended, so that the watch is in place before the program can make its first window.
  if (!Launch(options, CREATE_SUSPENDED, process)) return 1;
  g_watchedPid = process.dwProcessId;
  Print(L"pid\t" + Number(process.dwProcessId));
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, WindowCreated,
                                             process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  if (hook == nullptr) {
    TerminateProcess(process.hProcess, 99);
    return Fail(L"cannot watch for windows: error " + Number(GetLastError()));
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);

  const DWORD start = GetTickCount();
  bool ended = false;
  while (!ended && GetTickCount() - start < options.timeoutMs) {
    ended = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0;
    PumpAndLook();
  }
  // Events of the last moments may still be on their way.
  for (const DWORD settle = GetTickCount(); GetTickCount() - settle < 200; Sleep(10)) PumpAndLook();
  UnhookWinEvent(hook);

  for (const WindowSeen& seen : g_windowsSeen) {
    Print(L"window\t" + Escaped(seen.className) + L"\t" + Escaped(seen.title));
  }
  if (!ended) {
    CloseHandle(process.hProcess);
    return Fail(L"the program did not end within " + Number(options.timeoutMs) + L" ms");
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  Print(L"exit\t" + Number(static_cast<long long>(static_cast<int>(code))));
  return 0;
}

int WaitExit(const std::wstring& pidText, const Options& options) {
  unsigned long pid = 0;
  if (!ParseUnsigned(pidText, pid)) return 2;
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (process == nullptr) return Fail(L"no process " + pidText);
  const DWORD waited = WaitForSingleObject(process, options.timeoutMs);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) return Fail(L"process " + pidText + L" still running");
  Print(Number(static_cast<long long>(static_cast<int>(code))));
  return 0;
}

int Run(const Options& options) {
  const std::vector<std::wstring>& a = options.args;
  const std::wstring& command = a[0];
  if (command == L"start") return Start(options);
  if (command == L"run-watched") return RunWatched(options);
  if (command == L"wait-exit") return a.size() == 2 ? WaitExit(a[1], options) : 2;
  if (a.size() < 2) return 2;

  const std::wstring& title = a[1];
  if (command == L"gone") {
    const DWORD start = GetTickCount();
    while (FindDialog(title, options.pid) != nullptr) {
      if (GetTickCount() - start >= options.timeoutMs) return Fail(L"still open: " + title);
      Sleep(20);
    }
    return 0;
  }

  const HWND dialog = WaitForDialog(title, options);
  if (dialog == nullptr) return Fail(L"no window titled " + title);
  if (command == L"find") {
    Print(Hex(reinterpret_cast<ULONG_PTR>(dialog)));
    return 0;
  }
  if (command == L"texts") return Texts(dialog);
  if (command == L"layout") return Layout(dialog);
  if (command == L"sysmenu") return SysMenu(dialog);
  if (command == L"watch") return Watch(dialog, options);
  if (command == L"progress") {
    unsigned long id = 1032;
    if (a.size() >= 3 && !ParseUnsigned(a[2], id)) return 2;
    ProgressSample sample;
    if (!Sample(dialog, id, sample)) return Fail(L"no progress bar " + Number(id));
    Print(Number(sample.low) + L"\t" + Number(sample.high) + L"\t" + Number(sample.pos));
    return 0;
  }
  if (a.size() < 3) return 2;
  if (command == L"text") {
    const HWND control = Control(dialog, a[2]);
    if (control == nullptr) return Fail(L"no control " + a[2]);
    Print(Escaped(WindowText(control)));
    return 0;
  }
  if (command == L"click") return Click(dialog, a[2]);
  if (command == L"key") return Key(dialog, a[2]);
  if (command == L"syscommand") {
    unsigned long id = 0;
    if (!ParseUnsigned(a[2], id)) return 2;
    PostMessageW(dialog, WM_SYSCOMMAND, id, 0);
    return 0;
  }
  return 2;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  Options options;
  if (argv == nullptr || !ParseOptions(argc, argv, options)) {
    Write(GetStdHandle(STD_ERROR_HANDLE), L"usage: kcui COMMAND ARGS... (see the header of tools/kcui-win32.cc)");
    return 2;
  }
  options.timeoutMs *= Slowdown();
  const int status = Run(options);
  if (status == 2) Write(GetStdHandle(STD_ERROR_HANDLE), L"kcui: bad usage");
  LocalFree(argv);
  return status;
}
