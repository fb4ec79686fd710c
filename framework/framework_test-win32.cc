// What the framework adds to Win32: the message map's routing (including the dialog procedure's
// special return values), data exchange with its limits, string loading and the message pump's
// budget.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/dialog-win32.h"
#include "framework/message_pump-win32.h"
#include "framework/string_resource-win32.h"
#include "framework/win_app-win32.h"
#include "res/resource.h"
#include "ui/error_dialog-win32.h"
#include "ui/success_dialog-win32.h"

namespace kc {
namespace {

// A modeless dialog on the error template, with a map of its own on top of a base class's map.
class RoutedBase : public CDialog {
 public:
  RoutedBase() : CDialog(IDD_ERROR_DIALOG, nullptr) {}
  int basePaints = 0;

 protected:
  void OnPaint() {
    ++basePaints;
    CDialog::OnPaint();
  }
  const MessageMap* GetMessageMap() const override { return &kMessageMap; }
  static const MessageMap kMessageMap;

 private:
  static const MessageMapEntry kEntries[];
};
const MessageMapEntry RoutedBase::kEntries[] = {{WM_PAINT, Route<&RoutedBase::OnPaint>}};
const MessageMap RoutedBase::kMessageMap = {&CDialog::kMessageMap, kEntries, 1};

class RoutedDialog : public RoutedBase {
 public:
  UINT lastCommand = 0;
  LPARAM lastParam = 0;
  int destroys = 0;
  HCURSOR dragIcon = reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x1234560));

 protected:
  void OnSysCommand(UINT nID, LPARAM lParam) {
    lastCommand = nID;
    lastParam = lParam;
  }
  HCURSOR OnQueryDragIcon() { return dragIcon; }
  void OnDestroy() { ++destroys; }
  const MessageMap* GetMessageMap() const override { return &kMessageMap; }

 private:
  static const MessageMapEntry kEntries[];
  static const MessageMap kMessageMap;
};
const MessageMapEntry RoutedDialog::kEntries[] = {
    {WM_SYSCOMMAND, Route<&RoutedDialog::OnSysCommand>},
    {WM_QUERYDRAGICON, Route<&RoutedDialog::OnQueryDragIcon>},
    {WM_DESTROY, Route<&RoutedDialog::OnDestroy>},
};
const MessageMap RoutedDialog::kMessageMap = {&RoutedBase::kMessageMap, kEntries, 3};

TEST(MessageMapTest, RoutesEachMessageToItsHandlerThroughTheChain) {
  RoutedDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
  const HWND window = dialog.m_hWnd;

  SendMessageA(window, WM_SYSCOMMAND, 0x0013, 0x00050007);
  EXPECT_EQ(0x0013u, dialog.lastCommand);
  EXPECT_EQ(0x00050007, dialog.lastParam);

  // A dialog procedure answers WM_QUERYDRAGICON with the handle itself, not TRUE.
  EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.dragIcon), SendMessageA(window, WM_QUERYDRAGICON, 0, 0));

  // WM_PAINT is in the base class's map only.
  ShowWindow(window, SW_SHOWNA);
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
  EXPECT_EQ(1, dialog.basePaints);

  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(1, dialog.destroys);
  EXPECT_EQ(nullptr, dialog.m_hWnd) << "the object lets go of its window when it is destroyed";
  EXPECT_FALSE(IsWindow(window));
}

// The destructor of a modeless dialog destroys its window: the procedure never calls a dead object.
TEST(MessageMapTest, ModelessWindowEndsWithItsObject) {
  HWND window = nullptr;
  {
    RoutedDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
    window = dialog.m_hWnd;
  }
  EXPECT_FALSE(IsWindow(window));
}

class CountingApp : public CWinApp {
 public:
  int helps = 0;
  void OnHelpCounted() { ++helps; }

 protected:
  const CommandMap* GetCommandMap() const override { return &kCommandMap; }

 private:
  static const CommandMapEntry kEntries[];
  static const CommandMap kCommandMap;
};
const CommandMapEntry CountingApp::kEntries[] = {
    {ID_HELP, static_cast<void (CWinApp::*)()>(&CountingApp::OnHelpCounted)}};
const CommandMap CountingApp::kCommandMap = {kEntries, 1};

TEST(MessageMapTest, CommandsNoDialogHandlesReachTheApplication) {
  CountingApp app;
  RoutedDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
  SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), 0);
  SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(4242, BN_CLICKED), 0);
  EXPECT_EQ(1, app.helps);
}

// The error message is limited to 2048 bytes: reading back more fails once, at control 1002.
class ValidatingErrorDialog : public CErrorDialog {
 public:
  int failures = 0;
  int failedControl = 0;

 protected:
  void OnDataValidateError(int controlId) override {
    ++failures;
    failedControl = controlId;
  }
};

TEST(DataExchangeTest, SavingChecksTheLimitToTheByte) {
  struct Case {
    size_t length;
    bool accepted;
  };
  const Case cases[] = {{0, true}, {2047, true}, {2048, true}, {2049, false}, {5000, false}};
  for (const Case& c : cases) {
    ValidatingErrorDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
    const std::string text(c.length, 'x');
    SetDlgItemTextA(dialog.m_hWnd, IDC_ERROR_MESSAGE, text.c_str());
    EXPECT_EQ(c.accepted ? TRUE : FALSE, dialog.UpdateData(TRUE)) << c.length;
    EXPECT_EQ(c.accepted ? 0 : 1, dialog.failures) << c.length;
    if (c.accepted) {
      EXPECT_EQ(text, dialog.m_strMessage) << c.length;
    } else {
      EXPECT_EQ(IDC_ERROR_MESSAGE, dialog.failedControl);
    }
  }
}

TEST(DataExchangeTest, LoadingLimitsTheResultBoxToItsTextOr256WhenEmpty) {
  struct Case {
    std::string text;
    LRESULT limit;
  };
  std::string manyLines;  // past the 30000 bytes an edit box takes without a limit of its own
  for (int i = 0; i < 2000; ++i) manyLines += "KC Sample Mincho W" + std::to_string(1000 + i) + "\r\n";
  const Case cases[] = {{"", 256},
                        {"KC Sample Mincho\r\n", 18},
                        {manyLines, static_cast<LRESULT>(manyLines.size())}};
  for (const Case& c : cases) {
    CSuccessDialog dialog(nullptr);
    dialog.m_strResult = c.text;
    ASSERT_TRUE(dialog.Create(IDD_SUCCESS_DIALOG, nullptr));
    const HWND edit = GetDlgItem(dialog.m_hWnd, IDC_RESULT_TEXT);
    EXPECT_EQ(c.limit, SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)) << c.text.size();
    EXPECT_EQ(static_cast<int>(c.text.size()), GetWindowTextLengthA(edit));
    // Reading back can never fail: the limit follows the text.
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(c.text, dialog.m_strResult);
  }
}

TEST(StringResourceTest, LoadsWholeEntriesAndTellsMissingOnes) {
  std::string text = "unchanged";
  EXPECT_TRUE(LoadResourceString(IDS_OUT_OF_MEMORY, text));
  // The longest entry, whole: 2 lines, 100 characters of code page 932.
  EXPECT_EQ(std::string("メモリアクセス中にエラーが発生しました。\nメモリの空き容量を確認していただき、"
                        "マシン再起動後、今一度、実行してください。"),
            text);

  text = "unchanged";
  EXPECT_FALSE(LoadResourceString(4242, text)) << "no block holds 4242";
  EXPECT_EQ("unchanged", text);

  // 1010 shares a block with 1009 but is not defined: an empty entry.
  EXPECT_TRUE(LoadResourceString(1010, text));
  EXPECT_EQ("", text);
}

TEST(PumpMessagesTest, TakesAtMostAThousandMessagesPerCallAndADrainTakesAll) {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread gets its queue
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  for (int i = 0; i < 1500; ++i) ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, i, 0));
  EXPECT_EQ(1000, PumpMessages(nullptr));
  EXPECT_EQ(500, PumpMessages(nullptr));
  EXPECT_EQ(0, PumpMessages(nullptr));

  for (int i = 0; i < 2500; ++i) ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, i, 0));
  DrainMessages(nullptr);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "a drain empties the queue";
}

}  // namespace
}  // namespace kc
