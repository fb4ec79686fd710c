// Start-up pieces that the end-to-end tests cannot see from outside: the platform decision for
// every kind of GetVersion value, the administrator check's revert and the About item of the main
// screen's system menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/admin_access-win32.h"
#include "app/font_list_dlg-win32.h"
#include "app/platform_kind-win32.h"
#include "framework/win_app-win32.h"
#include "res/resource.h"

namespace kc {
namespace {

TEST(PlatformKindTest, OnlyTheTopBitAndTheMajorVersionDecide) {
  struct Case {
    DWORD version;
    int16_t kind;
  };
  const Case cases[] = {
      {0x0A280105, PLATFORM_NT},     // XP 5.1 build 2600
      {0x00000004, PLATFORM_NT},     // NT 4
      {0x7FFFFFFF, PLATFORM_NT},     // top bit clear, whatever else
      {0xC0000A04, PLATFORM_WIN9X},  // 98
      {0xC0005A04, PLATFORM_WIN9X},  // Me
      {0x800000FF, PLATFORM_WIN9X},  // major 255
      {0x80000003, PLATFORM_WIN32S},
      {0x80000000, PLATFORM_WIN32S},  // major 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.kind, PlatformKindFromVersion(c.version)) << std::hex << c.version;
  }
  EXPECT_EQ(PLATFORM_NT, GetPlatformKind()) << "Wine is an NT system";
}

// The check impersonates itself; afterwards the thread must be itself again (no token of its own).
TEST(AdminAccessTest, AdministratorPassesAndTheThreadIsRevertedAfterwards) {
  EXPECT_TRUE(CheckAdminAccess()) << "every Wine process counts as an administrator";
  HANDLE token = nullptr;
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
  EXPECT_EQ(static_cast<DWORD>(ERROR_NO_TOKEN), GetLastError());
  if (token != nullptr) CloseHandle(token);
}

// The main screen's start-up, in-process: the system menu ends with a separator and the About item
// (string 101), and the drive list holds C:\ (the test bed's only drive).
TEST(MainScreenTest, StartUpAddsTheAboutItemAndListsTheDrives) {
  CWinApp app;
  CFontListDlg dialog(nullptr);
  app.m_pMainWnd = &dialog;
  ASSERT_TRUE(dialog.Create(IDD_FONTLIST_DIALOG, nullptr));
  EXPECT_NE(nullptr, dialog.m_hIcon);

  const HMENU menu = GetSystemMenu(dialog.m_hWnd, FALSE);
  ASSERT_NE(nullptr, menu);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), GetMenuItemID(menu, count - 1));
  wchar_t text[256] = {};
  GetMenuStringW(menu, count - 1, text, 256, MF_BYPOSITION);
  EXPECT_STREQ(L"フォントリスト生成ツールのバージョン情報(&A)...", text);

  ASSERT_EQ(1u, dialog.m_driveRootList.size());
  EXPECT_STREQ("C:\\", dialog.m_driveRootList[0].path);
  EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.m_hIcon), SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_BIG, 0));
  dialog.DestroyWindow();
  app.m_pMainWnd = nullptr;
}

}  // namespace
}  // namespace kc
