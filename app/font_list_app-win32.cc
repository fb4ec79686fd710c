#include "app/font_list_app-win32.h"

#include "app/font_list_dlg-win32.h"

namespace kc {

const CommandMapEntry CFontListApp::kCommandEntries[] = {
    {ID_HELP, &CWinApp::OnHelp},
};
const CommandMap CFontListApp::kCommandMap = {kCommandEntries, 1};

BOOL CFontListApp::InitInstance() {
  AfxEnableControlContainer();
  CFontListDlg dialog(nullptr);
  m_pMainWnd = &dialog;
  dialog.DoModal();  // the result does not matter: the program ends either way
  m_pMainWnd = nullptr;
  return FALSE;
}

}  // namespace kc
