#pragma once
// What UninstallFont asks of the system where a test must be able to answer differently: Wine
// grants every process the right to delete any value of the font table, so a value that cannot be
// deleted exists only through this seam.

#include <windows.h>

#include <cstdint>

#include "common/open_font_file-win32.h"
#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

struct FontUninstallHooks {
  LONG (*deleteValue)(HKEY key, const wchar_t* valueName);  // RegDeleteValueW
};

const FontUninstallHooks& SystemFontUninstallHooks();

// UninstallFont (removal/font_uninstall.h) with the given hooks.
ResultCode UninstallFont(OpenFontFile& file, const wchar_t* fileName, const FontUninstallHooks& hooks,
                         RemovalOutcome& outcome);
ResultCode UninstallFont(const wchar_t* fileName, const FontUninstallHooks& hooks);
ResultCode UninstallFont(const wchar_t* fileName, const FontUninstallHooks& hooks, RemovalOutcome& outcome);

// How long the WM_FONTCHANGE broadcast waits for any one window that is not hung.
constexpr UINT kFontChangeTimeoutPerWindowMs = 3000;

}  // namespace kc
