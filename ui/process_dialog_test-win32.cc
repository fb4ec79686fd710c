// The progress window's operations against the real control: the start-up range and step, the
// status lines, StepIt's complete drain of the queue, and the window's end with its object.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/win_app-win32.h"
#include "res/resource.h"
#include "ui/process_dialog-win32.h"

namespace kc {
namespace {

std::wstring ControlText(HWND dialog, int id) {
  wchar_t text[2048] = {};
  GetDlgItemTextW(dialog, id, text, 2048);
  return text;
}

TEST(ProcessDialogTest, DrivesTheBarAndTheStatusLines) {
  AfxEnableControlContainer();
  HWND window = nullptr;
  {
    CProcessDialog progress(nullptr);
    progress.Start();
    window = progress.m_hWnd;
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    const HWND bar = GetDlgItem(window, IDC_PROGRESS);
    EXPECT_EQ(0, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(7, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));

    progress.SetRange(0, 12 + 3);
    progress.SetStep(1);
    EXPECT_EQ(15, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));

    EXPECT_EQ(0, progress.SetStatus(L"line one", L"C:\\"));
    EXPECT_EQ(L"line one", ControlText(window, IDC_STATUS_LINE1));
    EXPECT_EQ(L"C:\\", ControlText(window, IDC_STATUS_LINE2));
    progress.SetStatus(L"", L"");
    EXPECT_EQ(L"", ControlText(window, IDC_STATUS_LINE1));
    EXPECT_EQ(L"", ControlText(window, IDC_STATUS_LINE2));

    // Unlike PumpMessages, StepIt takes every pending message before it advances the bar.
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, i, 0));
    EXPECT_EQ(0, progress.StepIt());
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(1, SendMessageA(bar, PBM_GETPOS, 0, 0));
  }
  EXPECT_FALSE(IsWindow(window)) << "a run that stops early still takes its window away";
}

TEST(ProcessDialogTest, FinishTakesTheWindowAway) {
  CProcessDialog progress(nullptr);
  progress.Start();
  const HWND window = progress.m_hWnd;
  progress.Finish();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, progress.m_hWnd);
  progress.StepIt();  // harmless after the end: the driver's last calls may come late
}

}  // namespace
}  // namespace kc
