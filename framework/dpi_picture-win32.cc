#include "framework/dpi_picture-win32.h"

#include <cstring>

#include "framework/win_app-win32.h"

namespace kc {
namespace {

struct Statics {
  HWND dialog;
  HWND pictures[4];
  int count;
};

BOOL CALLBACK CollectPicture(HWND control, LPARAM param) {
  Statics& found = *reinterpret_cast<Statics*>(param);
  char cls[16] = {};
  GetClassNameA(control, cls, sizeof cls);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (GetParent(control) == found.dialog && std::strcmp(cls, "Static") == 0 &&
      (style & SS_TYPEMASK) == SS_BITMAP && found.count < 4) {
    found.pictures[found.count++] = control;
  }
  return TRUE;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// `source` scaled to `size` with halftone (each pixel the average of those it covers), as a
// 24-bit bitmap: with 32 bits, version 6 of the common controls would take the unused byte for
// alpha. Null when GDI cannot make it.
HBITMAP ScaledCopy(HBITMAP source, SIZE size) {
  const SIZE from = BitmapSize(source);
  const HDC screen = GetDC(nullptr);
  const HDC src = CreateCompatibleDC(screen);
  const HDC dst = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, size.cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(dst, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool drawn = false;
  if (src != nullptr && dst != nullptr && copy != nullptr) {
    const HGDIOBJ oldSrc = SelectObject(src, source);
    const HGDIOBJ oldDst = SelectObject(dst, copy);
    SetStretchBltMode(dst, HALFTONE);
    SetBrushOrgEx(dst, 0, 0, nullptr);  // as HALFTONE requires
    drawn = StretchBlt(dst, 0, 0, size.cx, size.cy, src, 0, 0, from.cx, from.cy, SRCCOPY) != FALSE;
    SelectObject(dst, oldDst);
    SelectObject(src, oldSrc);
  }
  if (!drawn && copy != nullptr) {
    DeleteObject(copy);
    copy = nullptr;
  }
  if (src != nullptr) DeleteDC(src);
  if (dst != nullptr) DeleteDC(dst);
  return copy;
}

}  // namespace

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

CDpiPicture::~CDpiPicture() {
  for (int i = 0; i < m_count; ++i) DeleteObject(m_bitmaps[i]);
}

BOOL CDpiPicture::Show(HWND dialog, UINT largeId, int dpi) {
  Statics found = {dialog, {}, 0};
  EnumChildWindows(dialog, CollectPicture, reinterpret_cast<LPARAM>(&found));
  BOOL allShown = TRUE;
  for (int i = 0; i < found.count; ++i) {
    const HWND picture = found.pictures[i];
    const SIZE natural = BitmapSize(reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    const SIZE wanted = {MulDiv(natural.cx, dpi, 96), MulDiv(natural.cy, dpi, 96)};
    if (wanted.cx == natural.cx && wanted.cy == natural.cy) continue;
    if (m_count == kMaxPictures || wanted.cx <= 0 || wanted.cy <= 0) {
      allShown = FALSE;
      continue;
    }
    const HBITMAP large = static_cast<HBITMAP>(
        LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(largeId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const HBITMAP scaled = large != nullptr ? ScaledCopy(large, wanted) : nullptr;
    if (large != nullptr) DeleteObject(large);
    if (scaled == nullptr) {
      allShown = FALSE;
      continue;
    }
    m_bitmaps[m_count++] = scaled;
    // The static gives back the template's bitmap, which it loaded itself and no longer shows.
    const HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
        SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled)));
    if (old != nullptr && old != scaled) DeleteObject(old);
  }
  return allShown;
}

}  // namespace kc
