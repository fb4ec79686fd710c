#include "framework/data_exchange-win32.h"

#include "framework/progress_ctrl-win32.h"

namespace kc {

HWND CDataExchange::PrepareControl(int id) {
  m_lastControlId = id;
  m_hLastControl = GetDlgItem(m_hDialog, id);
  if (m_hLastControl == nullptr) m_failed = true;
  return m_hLastControl;
}

void DDX_Text(CDataExchange* pDX, int id, std::wstring& value) {
  if (pDX->Failed()) return;
  const HWND control = pDX->PrepareControl(id);
  if (control == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    SetWindowTextW(control, value.c_str());
    return;
  }
  const int length = GetWindowTextLengthW(control);  // may over-count, never under-count
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  value.swap(text);
}

void DDV_MaxChars(CDataExchange* pDX, const std::wstring& value, int maxChars) {
  if (pDX->Failed() || pDX->LastControl() == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    SendMessageW(pDX->LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    return;
  }
  if (value.size() > static_cast<size_t>(maxChars)) pDX->Fail();
}

void DDX_Control(CDataExchange* pDX, int id, CProgressCtrl& control) {
  if (pDX->Failed() || control.m_hWnd != nullptr) return;
  const HWND window = pDX->PrepareControl(id);
  if (window != nullptr) control.Attach(window);
}

}  // namespace kc
