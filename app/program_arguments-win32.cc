#include "app/program_arguments-win32.h"

#include <windows.h>
#include <shellapi.h>

#include "common/wide_text-win32.h"

namespace kc {

std::vector<std::string>& ProgramArguments() {
  static std::vector<std::string> arguments = [] {
    std::vector<std::string> list;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return list;  // out of memory: no argument, as a bare start
    for (int i = 1; i < count; ++i) list.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return list;
  }();
  return arguments;
}


}  // namespace kc
