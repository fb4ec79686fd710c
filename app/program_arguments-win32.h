#pragma once
// The program's arguments, without its own name: the UTF-16 command line (GetCommandLineW) split
// as the shell splits it (CommandLineToArgvW, which XP's shell32 has), each argument as UTF-8, so
// that a path no code page can spell reaches the file system whole (WideFromUtf8 gives it back).

#include <string>
#include <vector>

namespace kc {

// Read once. The program's test build replaces them, to keep its own seams out of what the
// program parses.
std::vector<std::string>& ProgramArguments();

}  // namespace kc
