#pragma once
// CDialog: a dialog built from a template in the program's resources, modal (DoModal) or modeless
// (Create). Each is a Unicode window (DialogBoxParamW, CreateDialogParamW): the template's texts
// and every text set later reach the controls as UTF-16, never through the system's code page,
// which on an English Windows has no Japanese. How a message reaches a handler:
//
//   DialogProc (one for every dialog) finds the CDialog object stored in the window at
//   WM_INITDIALOG and calls its OnMessage, which
//     1. looks the message up in the class's message map, then in its base class's map: a row
//        names the member that handles it (WM_SYSCOMMAND -> OnSysCommand, ...);
//     2. otherwise sends WM_INITDIALOG to OnInitDialog and the IDOK / IDCANCEL commands to OnOK /
//        OnCancel (other commands go to the application's command map, e.g. ID_HELP);
//     3. otherwise answers FALSE, and the system's dialog procedure does its default handling.
//
// A derived class lists its rows in a static MessageMap and returns it from GetMessageMap:
//
//   const MessageMapEntry CMyDlg::kMessageEntries[] = {
//       {WM_PAINT, Route<&CMyDlg::OnPaint>},
//   };
//   const MessageMap CMyDlg::kMessageMap = {&CDialog::kMessageMap, kMessageEntries, 1};

#include <windows.h>

#include <cstddef>

#include "framework/data_exchange-win32.h"

namespace kc {

class CDialog;

// Calls one handler with the message's arguments unpacked; returns the dialog procedure's answer.
using MessageRoute = INT_PTR (*)(CDialog& dialog, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
  UINT message;
  MessageRoute route;
};

struct MessageMap {
  const MessageMap* base;  // searched after this map; null for the root
  const MessageMapEntry* entries;
  size_t count;
};

namespace message_routes {
// One adapter per handler signature in use.
template <class Dialog>
INT_PTR Call(void (Dialog::*handler)(), CDialog& dialog, WPARAM, LPARAM);
template <class Dialog>
INT_PTR Call(void (Dialog::*handler)(UINT, LPARAM), CDialog& dialog, WPARAM wParam, LPARAM lParam);
template <class Dialog>
INT_PTR Call(HCURSOR (Dialog::*handler)(), CDialog& dialog, WPARAM, LPARAM);
}  // namespace message_routes

// The MessageRoute of a member handler, e.g. Route<&CMyDlg::OnPaint>.
template <auto Handler>
INT_PTR Route(CDialog& dialog, WPARAM wParam, LPARAM lParam) {
  return message_routes::Call(Handler, dialog, wParam, lParam);
}

class CDialog {
 public:
  // `parent` owns the window; with none, the application's main dialog (if any other) owns it, so
  // that the main screen cannot be used while a dialog of its own is open.
  CDialog(UINT templateId, HWND parent);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog until EndDialog; returns EndDialog's result, or -1 when the window could not
  // be created.
  virtual INT_PTR DoModal();

  // Creates the modeless window from `templateId` (owner as for the constructor's parent when
  // `parent` is null). Returns FALSE when it could not be created. The object destroys the window
  // at the latest when it is destroyed itself.
  BOOL Create(UINT templateId, HWND parent);
  BOOL DestroyWindow();

  // Modal: ends the modal loop with `result` once the current handler returns. Modeless: hides the
  // window (the object still owns it).
  void EndDialog(int result);

  // FALSE: members to controls. TRUE: controls to members, checked against their limits; a failed
  // check goes to OnDataValidateError and gives FALSE.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  HWND GetSafeHwnd() const { return m_hWnd; }

  HWND m_hWnd = nullptr;

 protected:
  // Members to controls (UpdateData(FALSE)); TRUE: the system sets the focus.
  virtual BOOL OnInitDialog();
  // Default OK: controls to members, then EndDialog(IDOK) if that succeeded.
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);
  // Called once per failed UpdateData(TRUE), with the control whose check failed.
  virtual void OnDataValidateError(int controlId);

  // Default handlers for a derived map's rows: the system's handling of the message.
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  void OnDestroy();

  virtual const MessageMap* GetMessageMap() const;
  static const MessageMap kMessageMap;  // empty: the root of every chain

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnCommand(UINT id, UINT notifyCode);
  HWND OwnerWindow() const;

  UINT m_templateId;
  HWND m_parent;
  bool m_modal = false;
};

namespace message_routes {
template <class Dialog>
INT_PTR Call(void (Dialog::*handler)(), CDialog& dialog, WPARAM, LPARAM) {
  (static_cast<Dialog&>(dialog).*handler)();
  return TRUE;
}
template <class Dialog>
INT_PTR Call(void (Dialog::*handler)(UINT, LPARAM), CDialog& dialog, WPARAM wParam, LPARAM lParam) {
  (static_cast<Dialog&>(dialog).*handler)(static_cast<UINT>(wParam), lParam);
  return TRUE;
}
// A dialog procedure answers WM_QUERYDRAGICON with the handle itself.
template <class Dialog>
INT_PTR Call(HCURSOR (Dialog::*handler)(), CDialog& dialog, WPARAM, LPARAM) {
  return reinterpret_cast<INT_PTR>((static_cast<Dialog&>(dialog).*handler)());
}
}  // namespace message_routes

}  // namespace kc
