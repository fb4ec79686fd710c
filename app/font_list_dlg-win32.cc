#include "app/font_list_dlg-win32.h"

#include <string>

#include "app/run_log-win32.h"
#include "app/start_facts-win32.h"
#include "app/startup_checks-win32.h"
#include "discovery/collection_font_list.h"
#include "framework/string_resource-win32.h"
#include "framework/win_app-win32.h"
#include "res/resource.h"
#include "ui/about_dlg-win32.h"
#include "ui/error_dialog-win32.h"

namespace kc {
namespace {

// BeginPaint / EndPaint for one WM_PAINT.
class PaintSession {
 public:
  explicit PaintSession(HWND window) : m_hWnd(window), m_hdc(BeginPaint(window, &m_paint)) {}
  ~PaintSession() { EndPaint(m_hWnd, &m_paint); }
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;
  HDC Dc() const { return m_hdc; }

 private:
  HWND m_hWnd;
  PAINTSTRUCT m_paint;
  HDC m_hdc;
};

}  // namespace

const MessageMapEntry CFontListDlg::kMessageEntries[] = {
    {WM_SYSCOMMAND, Route<&CFontListDlg::OnSysCommand>},
    {WM_PAINT, Route<&CFontListDlg::OnPaint>},
    {WM_QUERYDRAGICON, Route<&CFontListDlg::OnQueryDragIcon>},
    {WM_DESTROY, Route<&CFontListDlg::OnDestroy>},
};
const MessageMap CFontListDlg::kMessageMap = {&CDialog::kMessageMap, kMessageEntries, 4};

CFontListDlg::CFontListDlg(HWND parent)
    : CDialog(IDD_FONTLIST_DIALOG, parent),
      m_hIcon(LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CFontListDlg::~CFontListDlg() {
  if (m_hSmallIcon != nullptr) DestroyIcon(m_hSmallIcon);
}

void CFontListDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BOOL CFontListDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  const HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
  if (systemMenu != nullptr) {
    std::wstring aboutItem;
    LoadResourceString(IDS_ABOUTBOX, aboutItem);
    if (!aboutItem.empty()) {
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutItem.c_str());
    }
  }

  // LoadIcon gives the large size only; the title bar shows the small one, which the system
  // would otherwise shrink from the large one.
  if (m_hSmallIcon == nullptr) {
    m_hSmallIcon = static_cast<HICON>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }
  SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(m_hSmallIcon != nullptr ? m_hSmallIcon : m_hIcon));
  m_panel.Show(m_hWnd, IDB_PANEL_200, ScreenDpi());

  // A failed check does not stop the others: each failure shows its own message.
  const StartupChecks checks = CheckStartup(m_driveRootList);
  if (m_pRunLog != nullptr) {
    m_pRunLog->Start(CurrentStartFacts(RunMode::kDialog, m_driveRootList));
    for (int i = 0; i < checks.count; ++i) m_pRunLog->Line(StartupFailureText(checks.failures[i]));
  }
  for (int i = 0; i < checks.count; ++i) FailStartup(StartupFailureMessage(checks.failures[i]));

  UpdateData(FALSE);
  return TRUE;
}

void CFontListDlg::FailStartup(UINT id) {
  CErrorDialog error(nullptr);
  error.ShowMessage(id);
  EndDialog(-1);
}

BOOL CFontListDlg::IsAdministrator() { return HasAdministratorRights(); }

void CFontListDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about;
    about.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

void CFontListDlg::OnPaint() {
  if (!IsIconic(m_hWnd)) {
    CDialog::OnPaint();
    return;
  }
  PaintSession paint(m_hWnd);
  SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Dc()), 0);
  RECT client;
  GetClientRect(m_hWnd, &client);
  const int left = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int top = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(paint.Dc(), left, top, m_hIcon);
}

HCURSOR CFontListDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CFontListDlg::OnCancel() {
  m_driveRootList.clear();
  m_openTypeFontList.clear();
  CDialog::OnCancel();
}

void CFontListDlg::OnDestroy() {
  CDialog::OnDestroy();
  ClearCollectionFontList();
}

}  // namespace kc
