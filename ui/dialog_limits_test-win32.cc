// The limits of the dialogs' texts: the error message's 2048 characters (UTF-16 units), and the
// result box's limit that follows its own text (256 when it is empty), so that reading it back
// never fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "ui/error_dialog-win32.h"
#include "ui/success_dialog-win32.h"

namespace kc {
namespace {

// Reading back a message over 2048 characters fails, at control 1002.
class ValidatingErrorDialog : public CErrorDialog {
 public:
  int failedControl = 0;

 protected:
  void OnDataValidateError(int controlId) override { failedControl = controlId; }
};

TEST(DialogLimitsTest, TheErrorMessageTakes2048Characters) {
  for (const size_t length : {size_t{2048}, size_t{2049}}) {
    ValidatingErrorDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
    SetDlgItemTextW(dialog.m_hWnd, IDC_ERROR_MESSAGE, std::wstring(length, L'x').c_str());
    EXPECT_EQ(length <= 2048 ? TRUE : FALSE, dialog.UpdateData(TRUE)) << length;
    EXPECT_EQ(length <= 2048 ? 0 : IDC_ERROR_MESSAGE, dialog.failedControl) << length;
  }
}

TEST(DialogLimitsTest, LoadingLimitsTheResultBoxToItsTextOr256WhenEmpty) {
  struct Case {
    std::wstring text;
    LRESULT limit;
  };
  std::wstring manyLines;  // past the 30000 characters an edit box takes without a limit of its own
  for (int i = 0; i < 2000; ++i) manyLines += L"KC Sample Mincho W" + std::to_wstring(1000 + i) + L"\r\n";
  const Case cases[] = {{L"", 256},
                        {L"KC Sample Mincho\r\n", 18},
                        {manyLines, static_cast<LRESULT>(manyLines.size())}};
  for (const Case& c : cases) {
    CSuccessDialog dialog(nullptr);
    dialog.m_strResult = c.text;
    ASSERT_TRUE(dialog.Create(IDD_SUCCESS_DIALOG, nullptr));
    const HWND edit = GetDlgItem(dialog.m_hWnd, IDC_RESULT_TEXT);
    EXPECT_EQ(c.limit, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)) << c.text.size();
    EXPECT_EQ(static_cast<int>(c.text.size()), GetWindowTextLengthW(edit));
    // Reading back can never fail: the limit follows the text.
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(c.text, dialog.m_strResult);
  }
}

}  // namespace
}  // namespace kc
