#include "ui/confirm_dialog-win32.h"

#include "res/resource.h"

namespace kc {

confirmDialog::confirmDialog(HWND parent) : CDialog(IDD_CONFIRM_DIALOG, parent) {}

BOOL confirmDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_panel.Show(m_hWnd, IDB_PANEL_200, ScreenDpi());
  return TRUE;
}

}  // namespace kc
