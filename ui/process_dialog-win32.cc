#include "ui/process_dialog-win32.h"

#include "framework/message_pump-win32.h"
#include "res/resource.h"

namespace kc {
namespace {

constexpr int kStatusLimit = 1024;

}  // namespace

const MessageMapEntry CProcessDialog::kMessageEntries[] = {
    {WM_DESTROY, Route<&CProcessDialog::OnDestroy>},
};
const MessageMap CProcessDialog::kMessageMap = {&CDialog::kMessageMap, kMessageEntries, 1};

CProcessDialog::CProcessDialog(HWND parent) : CDialog(IDD_PROCESS_DIALOG, parent) {}

// Here rather than in the base class's destructor, so that the window's last messages still reach
// this class's message map.
CProcessDialog::~CProcessDialog() { DestroyWindow(); }

BOOL CProcessDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  return TRUE;
}

BOOL CProcessDialog::Start() {
  Create(IDD_PROCESS_DIALOG, nullptr);
  SetRange(0, 7);
  SetStep(1);
  const BOOL shown = ShowWindow(m_hWnd, SW_SHOWNORMAL);
  UpdateData(FALSE);
  return shown;
}

void CProcessDialog::SetRange(int lower, int upper) {
  m_progress.SetRange(static_cast<short>(lower), static_cast<short>(upper));
}

void CProcessDialog::SetStep(int step) { m_progress.SetStep(step); }

int CProcessDialog::SetStatus(const wchar_t* line1, const wchar_t* line2) {
  m_strStatus1 = line1;
  m_strStatus2 = line2;
  UpdateData(FALSE);
  return 0;
}

int CProcessDialog::StepIt() {
  DrainMessages(m_hWnd);
  UpdateData(FALSE);
  m_progress.StepIt();
  return 0;
}

void CProcessDialog::Finish() {
  if (m_hWnd != nullptr) ShowWindow(m_hWnd, SW_HIDE);
  DestroyWindow();
  m_progress.Detach();
}

void CProcessDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Text(pDX, IDC_STATUS_LINE1, m_strStatus1);
  DDV_MaxChars(pDX, m_strStatus1, kStatusLimit);
  DDX_Text(pDX, IDC_STATUS_LINE2, m_strStatus2);
  DDV_MaxChars(pDX, m_strStatus2, kStatusLimit);
}

}  // namespace kc
