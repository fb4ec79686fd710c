// kcui_layout.dll — the part of kcui's layout command that runs inside the program under test.
//
// Fonts, bitmaps and icons are handles of the process that made them: another process cannot
// measure a control's text in the control's own font (under Wine a foreign font handle even names
// one of the caller's own fonts). So kcui hooks the dialog's thread with this DLL (WH_CALLWNDPROC)
// and sends the dialog the registered message "kcui.layout" with its own process id; the hook,
// inside the program, measures each control as the control itself draws and writes the lines
// below, in UTF-16 and zero-terminated, into kcui's file mapping "Local\kcui-layout-<kcui's pid>":
//
//   dialog<TAB>CLIENT_W<TAB>CLIENT_H<TAB>DPI<TAB>SMALL_ICON<TAB>BIG_ICON<TAB>SM_CXSMICON<TAB>SM_CXICON
//       the dialog's client area, the screen's DPI, the widths of the title bar's icons (WM_GETICON;
//       0 when none is set) and the sizes the system asks for at this DPI
//   ID<TAB>class<TAB>visible|hidden<TAB>X<TAB>Y<TAB>W<TAB>H<TAB>KIND<TAB>NEED_W<TAB>NEED_H<TAB>MISSING
//       per child control, in z-order, its rectangle in the dialog's client coordinates, and what
//       it needs by its KIND: "text" (a static text), the extent of its ink when its text is drawn
//       with its font and its own DrawText format into its width (DT_NOCLIP, so nothing it would
//       cut is lost; the height is DrawText's, the lines' cells); "button" (a push button), its
//       text's extent on one line; "bitmap" or "icon" (a picture), the image's size; otherwise
//       "-<TAB>-<TAB>-". MISSING, for a text or a button: how many characters of its text draw
//       as the missing glyph or draw nothing, as no font of the system holds them ("-" otherwise)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr size_t kMappingBytes = 256 * 1024;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

// The DrawText format a static control of `style` paints its text with.
UINT StaticFormat(LONG style) {
  UINT format = 0;
  switch (style & SS_TYPEMASK) {
    case SS_LEFT: format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_CENTER: format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_SIMPLE: format = DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_EXPANDTABS; break;
    default: return 0;  // not a text
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
  return format;
}

// A white 32-bit bitmap in a memory DC with `font` selected, to draw text on as a control draws it.
class Canvas {
 public:
  Canvas(int width, int height, HFONT font) : m_width(width), m_height(height) {
    const HDC screen = GetDC(nullptr);
    m_dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pixels = static_cast<const DWORD*>(bits);
    if (m_bitmap == nullptr || m_pixels == nullptr) return;
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    m_oldFont = SelectObject(m_dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SetTextColor(m_dc, RGB(0, 0, 0));
    SetBkMode(m_dc, TRANSPARENT);
  }
  ~Canvas() {
    if (m_oldBitmap != nullptr) {
      SelectObject(m_dc, m_oldFont);
      SelectObject(m_dc, m_oldBitmap);
    }
    if (m_bitmap != nullptr) DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Ready() const { return m_oldBitmap != nullptr; }
  // Clears the canvas and draws `text` into `width` pixels; returns DrawText's height.
  int Draw(const std::wstring& text, int width, UINT format) {
    RECT all = {0, 0, m_width, m_height};
    FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT place = {0, 0, width, m_height};
    const int height = DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &place, format | DT_NOCLIP);
    GdiFlush();
    return height;
  }
  bool Inked(int x, int y) const { return (m_pixels[y * m_width + x] & 0xFFFFFF) != 0xFFFFFF; }
  std::vector<DWORD> Pixels() const { return std::vector<DWORD>(m_pixels, m_pixels + m_width * m_height); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

 private:
  int m_width, m_height;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  const DWORD* m_pixels = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  HGDIOBJ m_oldFont = nullptr;
};

// Draws `text` as a control of `width` pixels draws it and returns the extent of the ink.
SIZE InkExtent(HFONT font, const std::wstring& text, int width, UINT format) {
  SIZE need = {0, 0};
  Canvas canvas(width * 2 + 64, 2048, font);
  if (!canvas.Ready()) return need;
  need.cy = canvas.Draw(text, width, format);  // the lines' cells, as DrawText laid them out
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = canvas.Width() - 1; x >= need.cx; --x) {
      if (canvas.Inked(x, y)) {
        need.cx = x + 1;
        break;
      }
    }
  }
  return need;
}

// How many characters of `text` no font of the system can show: each is drawn alone as DrawText
// draws it (the system's font linking and fallback included) and counts when it draws nothing or
// exactly what a noncharacter, which no font holds, draws: the missing glyph.
int MissingGlyphs(HFONT font, const std::wstring& text) {
  Canvas canvas(256, 256, font);
  if (!canvas.Ready()) return -1;
  const UINT format = DT_SINGLELINE | DT_NOPREFIX;
  canvas.Draw(L"\xFDD0", 256, format);
  std::vector<DWORD> missing = canvas.Pixels();
  for (DWORD& pixel : missing) pixel &= 0xFFFFFF;
  const std::vector<DWORD> blank(missing.size(), 0xFFFFFF);
  int count = 0;
  for (const wchar_t c : text) {
    if (c <= L' ' || c == L'&' || c == L'\x3000') continue;  // spaces, line breaks, prefixes: no ink
    canvas.Draw(std::wstring(1, c), 256, format);
    std::vector<DWORD> drawn = canvas.Pixels();
    for (DWORD& pixel : drawn) pixel &= 0xFFFFFF;
    if (drawn == missing || drawn == blank) ++count;
  }
  return count;
}

SIZE TextExtent(HFONT font, std::wstring text) {
  for (size_t i = text.find(L'&'); i != std::wstring::npos; i = text.find(L'&', i + 1)) text.erase(i, 1);
  SIZE extent = {0, 0};
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return extent;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

SIZE IconSize(HICON icon) {
  ICONINFO info = {};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return {0, 0};
  SIZE size = BitmapSize(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask);
  if (info.hbmColor == nullptr) size.cy /= 2;  // a monochrome icon's mask holds both halves
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return size;
}

// What a control needs to show what it holds, what kind of content that is ("-": none measured) and,
// for a text, how many of its characters no font shows (-1: not a text).
SIZE Need(HWND control, const RECT& client, const wchar_t*& kind, int& missing) {
  const std::wstring cls = ClassOf(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  kind = L"-";
  missing = -1;
  if (lstrcmpiW(cls.c_str(), L"Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_BITMAP) {
      kind = L"bitmap";
      return BitmapSize(reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    }
    if ((style & SS_TYPEMASK) == SS_ICON) {
      kind = L"icon";
      return IconSize(reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0)));
    }
    const UINT format = StaticFormat(style);
    if (format == 0) return {-1, -1};
    kind = L"text";
    const std::wstring text = TextOf(control);
    missing = MissingGlyphs(font, text);
    if (text.empty()) return {0, 0};
    return InkExtent(font, text, client.right - client.left, format);
  }
  const LONG type = style & BS_TYPEMASK;
  if (lstrcmpiW(cls.c_str(), L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
    kind = L"button";
    missing = MissingGlyphs(font, TextOf(control));
    return TextExtent(font, TextOf(control));
  }
  return {-1, -1};
}

struct Report {
  HWND dialog;
  std::wstring out;
};

void Add(std::wstring& out, long long value) { out += L"\t" + std::to_wstring(value); }

BOOL CALLBACK ReportControl(HWND control, LPARAM param) {
  Report& report = *reinterpret_cast<Report*>(param);
  if (GetParent(control) != report.dialog) return TRUE;
  RECT rect = {};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, report.dialog, reinterpret_cast<POINT*>(&rect), 2);
  RECT client = {};
  GetClientRect(control, &client);
  const wchar_t* kind = L"-";
  int missing = -1;
  const SIZE need = Need(control, client, kind, missing);
  report.out += std::to_wstring(static_cast<short>(GetDlgCtrlID(control))) + L"\t" + ClassOf(control) +
                (IsWindowVisible(control) ? L"\tvisible" : L"\thidden");
  Add(report.out, rect.left);
  Add(report.out, rect.top);
  Add(report.out, rect.right - rect.left);
  Add(report.out, rect.bottom - rect.top);
  report.out += std::wstring(L"\t") + kind;
  if (need.cx < 0) {
    report.out += L"\t-\t-";
  } else {
    Add(report.out, need.cx);
    Add(report.out, need.cy);
  }
  if (missing < 0) {
    report.out += L"\t-\n";
  } else {
    Add(report.out, missing);
    report.out += L"\n";
  }
  return TRUE;
}

std::wstring Measure(HWND dialog) {
  Report report = {dialog, L"dialog"};
  RECT client = {};
  GetClientRect(dialog, &client);
  Add(report.out, client.right);
  Add(report.out, client.bottom);
  const HDC screen = GetDC(nullptr);
  Add(report.out, GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  Add(report.out, IconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0))).cx);
  Add(report.out, IconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0))).cx);
  Add(report.out, GetSystemMetrics(SM_CXSMICON));
  Add(report.out, GetSystemMetrics(SM_CXICON));
  report.out += L"\n";
  EnumChildWindows(dialog, ReportControl, reinterpret_cast<LPARAM>(&report));
  return report.out;
}

void Answer(HWND dialog, DWORD kcuiPid) {
  wchar_t name[64];
  swprintf(name, 64, L"Local\\kcui-layout-%lu", static_cast<unsigned long>(kcuiPid));
  const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (mapping == nullptr) return;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMappingBytes);
  if (view != nullptr) {
    const std::wstring text = Measure(dialog);
    const size_t chars = text.size() < kMappingBytes / 2 - 1 ? text.size() : kMappingBytes / 2 - 1;
    wchar_t* out = static_cast<wchar_t*>(view);
    text.copy(out, chars);
    out[chars] = L'\0';
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK LayoutHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT message = RegisterWindowMessageW(L"kcui.layout");
  if (code == HC_ACTION) {
    const CWPSTRUCT& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call.message == message) Answer(call.hwnd, static_cast<DWORD>(call.wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
