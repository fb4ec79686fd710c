#include "ui/about_dlg-win32.h"

#include "res/resource.h"

namespace kc {

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

}  // namespace kc
