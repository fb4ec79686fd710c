#pragma once
// Everything of a test prefix that a run of the program could change, taken whole so that two
// states can be compared: every file (with a hash of its bytes and its attributes) and folder of
// the given drives, and every registry value under the given keys.

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kc::testsupport {

struct MachineState {
  std::map<std::string, std::string> files;  // path -> attributes, size and a hash of the bytes
  std::set<std::string> folders;             // paths ending in a backslash
  std::map<std::string, std::string> registry;  // "ROOT\key\path|value name" -> type and data
};

struct RegistryRoot {
  HKEY key;
  const char* name;  // for the record, e.g. "HKLM"
  const char* path;  // below it, e.g. "SOFTWARE"
};

// Files and folders below each of `roots` (ending in a backslash), except below `skipped` (folder
// paths ending in a backslash, letter case as listed), and the values under `registry`.
MachineState TakeMachineState(const std::vector<std::string>& roots, const std::vector<std::string>& skipped,
                              const std::vector<RegistryRoot>& registry);

// The differences, one line each ("- gone", "+ new", "* changed"), for a failure message.
struct StateChanges {
  std::vector<std::string> filesGone, filesNew, filesChanged;
  std::vector<std::string> foldersGone, foldersNew;
  std::vector<std::string> valuesGone, valuesNew, valuesChanged;  // "ROOT\key|name"
  bool empty() const;
  std::string Describe() const;
};
StateChanges CompareMachineStates(const MachineState& before, const MachineState& after);

}  // namespace kc::testsupport
