#pragma once
// The About box (template 100), opened from the main screen's system menu.

#include "framework/dialog-win32.h"

namespace kc {

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
};

}  // namespace kc
