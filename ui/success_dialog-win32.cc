#include "ui/success_dialog-win32.h"

#include "res/resource.h"

namespace kc {
namespace {

// The edit box's limit when there is no text: a limit of 0 would mean the control's maximum.
constexpr int kEmptyResultLimit = 256;

}  // namespace

CSuccessDialog::CSuccessDialog(HWND parent) : CDialog(IDD_SUCCESS_DIALOG, parent) {}

INT_PTR CSuccessDialog::ShowResult(const std::wstring& resultText) {
  m_strResult = resultText;
  return DoModal();
}

BOOL CSuccessDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  UpdateData(FALSE);
  return TRUE;
}

void CSuccessDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_RESULT_TEXT, m_strResult);
  // The text's own length, taken after the exchange: the box holds the whole list, and reading it
  // back can never fail the check.
  const int limit = m_strResult.empty() ? kEmptyResultLimit : static_cast<int>(m_strResult.size());
  DDV_MaxChars(pDX, m_strResult, limit);
}

}  // namespace kc
