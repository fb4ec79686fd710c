#include "ui/error_dialog-win32.h"

#include "framework/string_resource-win32.h"
#include "res/resource.h"

namespace kc {
namespace {

constexpr int kMessageLimit = 2048;

}  // namespace

const MessageMapEntry CErrorDialog::kMessageEntries[] = {
    {WM_DESTROY, Route<&CErrorDialog::OnDestroy>},
};
const MessageMap CErrorDialog::kMessageMap = {&CDialog::kMessageMap, kMessageEntries, 1};

CErrorDialog::CErrorDialog(HWND parent) : CDialog(IDD_ERROR_DIALOG, parent) {}

INT_PTR CErrorDialog::ShowMessage(UINT id) {
  LoadResourceString(id, m_strMessage);  // unchanged (empty) when no module holds `id`
  return DoModal();
}

BOOL CErrorDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  UpdateData(FALSE);  // the message replaces the template's placeholder text
  return TRUE;
}

void CErrorDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_ERROR_MESSAGE, m_strMessage);
  DDV_MaxChars(pDX, m_strMessage, kMessageLimit);
}

}  // namespace kc
