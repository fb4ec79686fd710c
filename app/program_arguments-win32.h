#pragma once
// The program's arguments, without its own name, as the C runtime split its command line (ANSI).

#include <string>
#include <vector>

namespace kc {

// Read once from the C runtime. The program's test build replaces them, to keep its own seams
// out of what the program parses.
std::vector<std::string>& ProgramArguments();

}  // namespace kc
