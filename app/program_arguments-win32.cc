#include "app/program_arguments-win32.h"

#include <cstdlib>

namespace kc {

std::vector<std::string>& ProgramArguments() {
  static std::vector<std::string> arguments = [] {
    std::vector<std::string> list;
    for (int i = 1; i < __argc; ++i) list.emplace_back(__argv[i]);
    return list;
  }();
  return arguments;
}

}  // namespace kc
