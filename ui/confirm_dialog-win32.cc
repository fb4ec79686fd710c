#include "ui/confirm_dialog-win32.h"

#include "res/resource.h"

namespace kc {

confirmDialog::confirmDialog(HWND parent) : CDialog(IDD_CONFIRM_DIALOG, parent) {}

}  // namespace kc
