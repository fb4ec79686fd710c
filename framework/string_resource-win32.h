#pragma once
// Strings of the program's string table, read as ANSI text (code page 932 on Japanese systems).

#include <windows.h>

#include <string>

namespace kc {

// The module whose string table has the block of `id` (the executable), or null when none has.
HINSTANCE FindStringResourceHandle(UINT id);

// Loads string `id` whole into `text`. Returns false, leaving `text` unchanged, when no module
// holds it. An id missing from a block that exists gives true and an empty text, as Windows does.
bool LoadResourceString(UINT id, std::string& text);

// String `id`, or "" when no module holds it.
std::string LoadResourceText(UINT id);

}  // namespace kc
