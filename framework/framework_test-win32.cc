// What the framework adds to Win32: the message map's routing (including the dialog procedure's
// special return values), data exchange with its limits, string loading and the message pump's
// budget. The dialogs here are the test's own, on the program's templates; the program's dialog
// classes are tested in ui/.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/dialog-win32.h"
#include "framework/message_pump-win32.h"
#include "framework/string_resource-win32.h"
#include "framework/win_app-win32.h"
#include "res/resource.h"

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

// A dialog of the framework's own on the error template: one text with a limit of 2048 bytes.
class LimitedTextDialog : public CDialog {
 public:
  LimitedTextDialog() : CDialog(IDD_ERROR_DIALOG, nullptr) {}
  std::wstring m_strText;
  int failures = 0;
  int failedControl = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_ERROR_MESSAGE, m_strText);
    DDV_MaxChars(pDX, m_strText, 2048);
  }
  void OnDataValidateError(int controlId) override {
    ++failures;
    failedControl = controlId;
  }
};

// Reading back more than the limit fails once, at the control whose text is too long.
TEST(DataExchangeTest, SavingChecksTheLimitToTheUnit) {
  struct Case {
    size_t length;
    bool accepted;
  };
  const Case cases[] = {{0, true}, {2047, true}, {2048, true}, {2049, false}, {5000, false}};
  for (const Case& c : cases) {
    LimitedTextDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
    const std::wstring text(c.length, L'x');
    SetDlgItemTextW(dialog.m_hWnd, IDC_ERROR_MESSAGE, text.c_str());
    EXPECT_EQ(c.accepted ? TRUE : FALSE, dialog.UpdateData(TRUE)) << c.length;
    EXPECT_EQ(c.accepted ? 0 : 1, dialog.failures) << c.length;
    if (c.accepted) {
      EXPECT_EQ(text, dialog.m_strText) << c.length;
    } else {
      EXPECT_EQ(IDC_ERROR_MESSAGE, dialog.failedControl);
    }
  }
  LimitedTextDialog dialog;
  dialog.m_strText = L"shown";
  ASSERT_TRUE(dialog.Create(IDD_ERROR_DIALOG, nullptr));
  wchar_t shown[16] = {};
  GetDlgItemTextW(dialog.m_hWnd, IDC_ERROR_MESSAGE, shown, 16);
  EXPECT_STREQ(L"shown", shown) << "creating the window loads the members into the controls";
}

TEST(StringResourceTest, LoadsWholeEntriesAndTellsMissingOnes) {
  std::wstring text = L"unchanged";
  EXPECT_TRUE(LoadResourceString(IDS_OUT_OF_MEMORY, text));
  // The longest entry, whole: 2 lines, 100 characters.
  EXPECT_EQ(std::wstring(L"メモリアクセス中にエラーが発生しました。\nメモリの空き容量を確認していただき、"
                         L"マシン再起動後、今一度、実行してください。"),
            text);

  text = L"unchanged";
  EXPECT_FALSE(LoadResourceString(4242, text)) << "no block holds 4242";
  EXPECT_EQ(L"unchanged", text);

  // 1010 shares a block with 1009 but is not defined: an empty entry.
  EXPECT_TRUE(LoadResourceString(1010, text));
  EXPECT_EQ(L"", text);
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
