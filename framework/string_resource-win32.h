#pragma once
// Strings of the program's string table, read as UTF-16 (LoadStringW): the system's code page
// never comes between the table and the window, so they read the same on a Windows of any language.

#include <windows.h>

#include <string>

namespace kc {

// The module whose string table has the block of `id` (the executable), or null when none has.
HINSTANCE FindStringResourceHandle(UINT id);

// Loads string `id` whole into `text`. Returns false, leaving `text` unchanged, when no module
// holds it. An id missing from a block that exists gives true and an empty text, as Windows does.
bool LoadResourceString(UINT id, std::wstring& text);

// String `id`, or L"" when no module holds it.
std::wstring LoadResourceTextW(UINT id);

}  // namespace kc
