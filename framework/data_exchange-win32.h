#pragma once
// Data exchange between a dialog's members and its controls, inside DoDataExchange:
//
//   void CMyDlg::DoDataExchange(CDataExchange* pDX) {
//     DDX_Text(pDX, IDC_NAME, m_strName);
//     DDV_MaxChars(pDX, m_strName, 1024);
//   }
//
// Loading (UpdateData(FALSE)) writes each member into its control and sets the control's text limit;
// saving (UpdateData(TRUE)) reads each control into its member and checks the limit. The first
// failure stops the exchange: later calls do nothing, and UpdateData reports it once.
// Texts travel as UTF-16 (the W window functions), so no code page comes between a member and its
// control; lengths are counted in UTF-16 units, as the controls of a Unicode window count them.

#include <windows.h>

#include <string>

namespace kc {

class CProgressCtrl;

class CDataExchange {
 public:
  CDataExchange(HWND dialog, bool saveAndValidate) : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate) {}
  CDataExchange(const CDataExchange&) = delete;
  CDataExchange& operator=(const CDataExchange&) = delete;

  // The control of the last DDX call, which a following DDV call checks. Null when it is missing.
  HWND PrepareControl(int id);
  void Fail() { m_failed = true; }
  bool Failed() const { return m_failed; }
  int FailedControl() const { return m_lastControlId; }
  HWND LastControl() const { return m_hLastControl; }

  const HWND m_hDialog;
  const bool m_bSaveAndValidate;

 private:
  bool m_failed = false;
  int m_lastControlId = 0;
  HWND m_hLastControl = nullptr;
};

// The control's text to `value` (saving) or `value` to the control's text (loading). A missing
// control fails the exchange.
void DDX_Text(CDataExchange* pDX, int id, std::wstring& value);

// Loading: limits the last control's text to `maxChars`. Saving: fails when `value` is longer.
void DDV_MaxChars(CDataExchange* pDX, const std::wstring& value, int maxChars);

// Attaches `control` to the dialog's control `id` (once; later exchanges leave it attached).
void DDX_Control(CDataExchange* pDX, int id, CProgressCtrl& control);

}  // namespace kc
