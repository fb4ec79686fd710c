#pragma once
// The confirmation before a removal run (template 141): はい gives IDOK; いいえ, Esc or the close
// box give IDCANCEL.

#include <windows.h>

#include "framework/dialog-win32.h"

namespace kc {

class confirmDialog : public CDialog {
 public:
  explicit confirmDialog(HWND parent = nullptr);
};

}  // namespace kc
