#include "framework/dialog-win32.h"

#include "framework/win_app-win32.h"

namespace kc {

const MessageMap CDialog::kMessageMap = {nullptr, nullptr, 0};

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
  // A modeless window must not outlive the object that its procedure calls.
  if (m_hWnd != nullptr && !m_modal) DestroyWindow();
}

const MessageMap* CDialog::GetMessageMap() const { return &kMessageMap; }

HWND CDialog::OwnerWindow() const {
  if (m_parent != nullptr) return m_parent;
  CWinApp* app = AfxGetApp();
  if (app == nullptr || app->m_pMainWnd == nullptr || app->m_pMainWnd == this) return nullptr;
  return app->m_pMainWnd->m_hWnd;
}

INT_PTR CDialog::DoModal() {
  m_modal = true;
  const INT_PTR result = DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId), OwnerWindow(),
                                         DialogProc, reinterpret_cast<LPARAM>(this));
  m_modal = false;
  return result;
}

BOOL CDialog::Create(UINT templateId, HWND parent) {
  if (m_hWnd != nullptr) return FALSE;
  m_templateId = templateId;
  m_parent = parent;
  m_modal = false;
  const HWND hwnd = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId), OwnerWindow(),
                                       DialogProc, reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

BOOL CDialog::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  return ::DestroyWindow(m_hWnd);  // WM_NCDESTROY clears m_hWnd
}

void CDialog::EndDialog(int result) {
  if (m_hWnd == nullptr) return;
  if (m_modal) {
    ::EndDialog(m_hWnd, result);
  } else {
    ShowWindow(m_hWnd, SW_HIDE);
  }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  if (m_hWnd == nullptr) return FALSE;
  CDataExchange exchange(m_hWnd, saveAndValidate != FALSE);
  DoDataExchange(&exchange);
  if (exchange.Failed()) {
    OnDataValidateError(exchange.FailedControl());
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);  // the controls show the members from the start, and controls get attached
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnDataValidateError(int controlId) {
  // Show the user where: the control whose text failed its check gets the focus.
  const HWND control = GetDlgItem(m_hWnd, controlId);
  if (control != nullptr) SetFocus(control);
}

void CDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  DefWindowProcW(m_hWnd, WM_SYSCOMMAND, nID, lParam);
}

void CDialog::OnPaint() { DefWindowProcW(m_hWnd, WM_PAINT, 0, 0); }

void CDialog::OnDestroy() {}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    dialog->m_hWnd = hwnd;
  } else {
    dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) and after the object let go get the defaults.
  if (dialog == nullptr) return FALSE;

  const INT_PTR result = dialog->OnMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    dialog->m_hWnd = nullptr;
  }
  return result;
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
    for (size_t i = 0; i < map->count; ++i) {
      if (map->entries[i].message == message) return map->entries[i].route(*this, wParam, lParam);
    }
  }
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam));
    default:
      return FALSE;
  }
}

BOOL CDialog::OnCommand(UINT id, UINT notifyCode) {
  if (notifyCode != BN_CLICKED) return FALSE;  // also the code of Enter and Esc
  if (id == IDOK || id == IDCANCEL) {
    // Enter and Esc reach a dialog as IDOK and IDCANCEL even when those buttons are disabled:
    // a disabled button means the user may not end the dialog that way.
    const HWND button = GetDlgItem(m_hWnd, id);
    if (button != nullptr && !IsWindowEnabled(button)) return TRUE;
    if (id == IDOK) {
      OnOK();
    } else {
      OnCancel();
    }
    return TRUE;
  }
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(id);
}

}  // namespace kc
