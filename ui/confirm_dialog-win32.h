#pragma once
// The confirmation before a removal run (template 141): はい gives IDOK; いいえ, Esc or the close
// box give IDCANCEL.

#include <windows.h>

#include "framework/dialog-win32.h"
#include "framework/dpi_picture-win32.h"

namespace kc {

class confirmDialog : public CDialog {
 public:
  explicit confirmDialog(HWND parent = nullptr);

 protected:
  // The panel picture at the display's scale.
  BOOL OnInitDialog() override;

 private:
  CDpiPicture m_panel;
};

}  // namespace kc
