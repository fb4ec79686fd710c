#include "removal/path_compare-win32.h"

#include <windows.h>

namespace kc {

bool SameFileNameIgnoringCase(const char* a, const char* b) {
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1) ==
         CSTR_EQUAL;
}

}  // namespace kc
