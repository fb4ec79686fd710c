#pragma once
// A dialog's picture at the display's scale. A bitmap static shows its bitmap pixel for pixel, so
// on a display scaled above 100% (the program is DPI-aware) the template's picture would stay
// small beside text that grew. CDpiPicture shows a larger copy of the same picture instead, made
// from a bitmap drawn for 200% and scaled smoothly (halftone) to the size the DPI asks for; at
// 96 DPI it leaves the template's bitmap as it is.

#include <windows.h>

namespace kc {

// The screen's DPI (LOGPIXELSY): 96 at 100%, 120 at 125%, 144 at 150%, 192 at 200%.
int ScreenDpi();

class CDpiPicture {
 public:
  CDpiPicture() = default;
  ~CDpiPicture();
  CDpiPicture(const CDpiPicture&) = delete;
  CDpiPicture& operator=(const CDpiPicture&) = delete;

  // For each bitmap static of `dialog`: its size at `dpi` is its template bitmap's size scaled
  // from 96 DPI; unless that is the size it has, it gets bitmap resource `largeId` (the picture at
  // 200%) scaled to that size, and resizes itself to it. Returns FALSE when a picture was left as
  // it was because the copy could not be made (the dialog still works, its picture unscaled).
  BOOL Show(HWND dialog, UINT largeId, int dpi);

 private:
  static constexpr int kMaxPictures = 2;
  HBITMAP m_bitmaps[kMaxPictures] = {};  // owned: the statics only show them
  int m_count = 0;
};

}  // namespace kc
