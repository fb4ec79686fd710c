#pragma once
// The main screen (template 102): start-up checks in OnInitDialog, the About item of the system
// menu, Start (OnOK: the removal run) and Abort (OnCancel).

#include <windows.h>

#include "discovery/drive_roots.h"
#include "found_fonts/found_fonts.h"
#include "framework/dialog-win32.h"
#include "framework/dpi_picture-win32.h"

namespace kc {

class RunLog;

class CFontListDlg : public CDialog {
 public:
  explicit CFontListDlg(HWND parent = nullptr);
  ~CFontListDlg() override;

  // TRUE when the user may run the removal: always on Windows 95/98/Me and Win32s, else the
  // administrators' access check.
  BOOL IsAdministrator();

  DriveRootList m_driveRootList;
  OpenTypeFontList m_openTypeFontList;
  HICON m_hIcon;  // shared resource icon: not destroyed
  // The title bar's icon at the size the display's scale asks for (owned; m_hIcon if none loads).
  HICON m_hSmallIcon = nullptr;
  // The run's log when /log: was given (owned by the application object), else null.
  RunLog* m_pRunLog = nullptr;

 protected:
  BOOL OnInitDialog() override;
  // Start: the removal run (font_list_dlg_start-win32.cc).
  void OnOK() override;
  // Abort: nothing is searched or removed.
  void OnCancel() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnDestroy();

  const MessageMap* GetMessageMap() const override { return &kMessageMap; }

 private:
  // Shows message `id` in a fresh error dialog and ends this dialog with -1.
  void FailStartup(UINT id);

  CDpiPicture m_panel;

  static const MessageMapEntry kMessageEntries[];
  static const MessageMap kMessageMap;
};

}  // namespace kc
