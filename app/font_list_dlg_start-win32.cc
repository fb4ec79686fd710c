// The Start button of the main screen: the removal run.
#include "app/font_list_dlg-win32.h"

namespace kc {

void CFontListDlg::OnOK() { CDialog::OnOK(); }

}  // namespace kc
