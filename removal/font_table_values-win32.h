#pragma once
// One pass over the values of a font table key (the machine's, or a user's), deleting every value
// whose data names a given font file. Shared by the uninstallation from the Fonts folder and from
// a user's Fonts folder. Names and data are read and deleted as the registry stores them (UTF-16).

#include <windows.h>

#include <string>

namespace kc {

// Only a preview: which values would go. The real removal deletes them.
enum class TableMode { kRemove, kPreview };

// Whether a value's data (zero-terminated UTF-16 text, as the registry holds it) names the file.
using ValueMatch = bool (*)(const wchar_t* data, const void* context);

// Examines every value of `key` in index order; each whose data matches is deleted with
// `deleteValue` (RegDeleteValueW, or a test's stand-in) and reported to the removal journal as
// removed, or, for a preview, only reported as one that would be. The journal names a value
// `subjectPrefix` + its name. A value whose name or data does not fit 2048 characters can be
// neither compared nor deleted, and is passed over. Returns ERROR_SUCCESS, or the error of a
// deletion that failed (reported; the values after it are left).
LONG RemoveMatchingValues(HKEY key, ValueMatch matches, const void* context, const std::wstring& subjectPrefix,
                          TableMode mode, LONG (*deleteValue)(HKEY key, const wchar_t* valueName));

}  // namespace kc
