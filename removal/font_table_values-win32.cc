#include "removal/font_table_values-win32.h"

#include <cstring>

#include "removal/removal_journal.h"

namespace kc {
namespace {

constexpr DWORD kValueBufferSize = 2048;

}  // namespace

LONG RemoveMatchingValues(HKEY key, ValueMatch matches, const void* context, const std::string& subjectPrefix,
                          TableMode mode, LONG (*deleteValue)(HKEY key, const char* valueName)) {
  // One spare zero byte after each buffer: registry data need not end in a terminator.
  char name[kValueBufferSize + 1];
  char data[kValueBufferSize + 1];
  for (DWORD index = 0;;) {
    std::memset(name, 0, sizeof name);
    std::memset(data, 0, sizeof data);
    DWORD nameSize = kValueBufferSize;
    DWORD dataSize = kValueBufferSize;
    DWORD type = 0;
    const LONG status =
        RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
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

    const std::string subject = subjectPrefix + name;
    if (mode == TableMode::kPreview) {
      ReportRemoval(RemovalEventKind::kFontTableValueWouldBeRemoved, subject.c_str(), data);
      ++index;
      continue;
    }
    const LONG deleted = deleteValue(key, name);
    if (deleted != ERROR_SUCCESS) {
      ReportRemoval(RemovalEventKind::kFontTableValueRemoveFailed, subject.c_str(), data,
                    static_cast<unsigned long>(deleted));
      return deleted;
    }
    ReportRemoval(RemovalEventKind::kFontTableValueRemoved, subject.c_str(), data);
    // The registry renumbers: the value that followed now sits at this index.
  }
  return ERROR_SUCCESS;
}

}  // namespace kc
