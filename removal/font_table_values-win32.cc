#include "removal/font_table_values-win32.h"

#include <cstring>

#include "removal/removal_journal.h"

namespace kc {
namespace {

constexpr DWORD kValueBufferUnits = 2048;

}  // namespace

LONG RemoveMatchingValues(HKEY key, ValueMatch matches, const void* context, const std::wstring& subjectPrefix,
                          TableMode mode, LONG (*deleteValue)(HKEY key, const wchar_t* valueName)) {
  // One spare zero unit after each buffer: registry data need not end in a terminator.
  wchar_t name[kValueBufferUnits + 1];
  wchar_t data[kValueBufferUnits + 1];
  for (DWORD index = 0;;) {
    std::memset(name, 0, sizeof name);
    std::memset(data, 0, sizeof data);
    DWORD nameUnits = kValueBufferUnits;
    DWORD dataBytes = kValueBufferUnits * sizeof(wchar_t);
    DWORD type = 0;
    const LONG status =
        RegEnumValueW(key, index, name, &nameUnits, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
    if (status == ERROR_MORE_DATA) {
      // Does not fit the buffers, so it can be neither compared nor deleted by name: skip it, the
      // values after it must still be examined.
      ++index;
      continue;
    }
    if (status != ERROR_SUCCESS) break;  // the end, or an error
    if (!matches(data, context)) {
      ++index;
      continue;
    }

    const std::wstring subject = subjectPrefix + name;
    if (mode == TableMode::kPreview) {
      ReportRemoval(RemovalEventKind::kFontTableValueWouldBeRemoved, subject, data);
      ++index;
      continue;
    }
    const LONG deleted = deleteValue(key, name);
    if (deleted != ERROR_SUCCESS) {
      ReportRemoval(RemovalEventKind::kFontTableValueRemoveFailed, subject, data, static_cast<unsigned long>(deleted));
      return deleted;
    }
    ReportRemoval(RemovalEventKind::kFontTableValueRemoved, subject, data);
    // The registry renumbers: the value that followed now sits at this index.
  }
  return ERROR_SUCCESS;
}

}  // namespace kc
