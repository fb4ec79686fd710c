#pragma once
// The end state a removal run must leave on a generated machine, worked out from the removal
// rules themselves (which files are the product's, how each is removed on which Windows, which
// font-table values go with an uninstalled file), independently of the program's own code.

#include <string>
#include <vector>

#include "tests/safety/random_machine.h"

namespace kc::safety {

enum class Fate {
  kStays,            // untouched, byte for byte and attributes
  kRemoved,          // gone, and listed as removed
  kRemovedAtRestart, // a product font in use directly in the Fonts folder: still there, byte for
                     // byte, but no longer read-only, and listed apart as one Windows deletes at
                     // the next restart
  kInUse,            // a product font in use anywhere else: untouched, byte for byte and
                     // attributes (nothing is left to a restart that a renamed folder could
                     // redirect), and listed apart as not removed
};

struct ExpectedState {
  std::vector<Fate> fates;  // one per Machine::files entry
  // The result list as multisets: OpenType fonts by full name, collections by file name.
  std::vector<std::string> removedOpenType;
  std::vector<std::string> removedCollections;
  std::vector<std::string> removedAtRestart;  // listed under the restart heading
  std::vector<std::string> notRemoved;        // listed under the "could not be removed" heading
  // File names (with extension) that the run uninstalls from the Fonts folder.
  std::vector<std::string> uninstalledNames;
  // The product's folders that the clean-up finds empty and removes.
  std::vector<std::string> removedDirectories;
};

ExpectedState ComputeExpectedState(const Machine& machine);

// True when the run deletes a font-table value holding `data` (a string value): it names an
// uninstalled file by its bare name or by its full path in the Fonts folder, letter case aside.
// Applies to every value of the table, the machine's own included.
bool RunDeletesFontTableValue(const ExpectedState& expected, const std::string& data);

// The rules for one file, exposed for the model's own tests.
struct FontVerdict {
  bool product = false;
  std::string listedName;  // full name (OpenType) or file name without extension (collection)
  bool collection = false;
};
FontVerdict JudgeFile(const std::string& fileName, const ContentFacts& facts);

// Compares two file names or paths as Windows does: ASCII letters without regard to case,
// double-byte characters of code page 932 byte for byte.
bool SameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace kc::safety
