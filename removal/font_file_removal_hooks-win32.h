#pragma once
// What RemoveFontFile asks of the system where a test must be able to answer differently: under
// Wine a held file always refuses its open with delete access (a sharing violation), never its
// disposition as "access denied" as a mapped file does on Windows, and scheduling never fails.

#include <windows.h>

#include "common/open_font_file-win32.h"
#include "removal/font_file_removal.h"

namespace kc {

struct FontFileRemovalHooks {
  unsigned long (*markForDeletion)(OpenFontFile& file);  // OpenFontFile::MarkForDeletion
  BOOL (*scheduleDeletion)(const wchar_t* path);  // MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)
};

const FontFileRemovalHooks& SystemFontFileRemovalHooks();

RemovalOutcome RemoveFontFile(OpenFontFile& file, const std::wstring& path, const wchar_t* fontsFolderFileName,
                              InUseBy inUseBy, const FontFileRemovalHooks& hooks);

}  // namespace kc
