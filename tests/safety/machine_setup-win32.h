#pragma once
// Puts a generated machine onto the test bed's Windows (folders, files, attributes, font-table
// values, the Windows version for programs started afterwards) and takes the snapshots that
// the run is judged against.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/safety/random_machine.h"

namespace kc::safety {

// Open handles of the files the test holds while the program runs; closed when destroyed.
class HeldFiles {
 public:
  HeldFiles() = default;
  ~HeldFiles();
  HeldFiles(const HeldFiles&) = delete;
  HeldFiles& operator=(const HeldFiles&) = delete;
  HeldFiles(HeldFiles&& other) noexcept : m_handles(std::move(other.m_handles)) { other.m_handles.clear(); }
  HeldFiles& operator=(HeldFiles&&) = delete;
  void Add(HANDLE handle) { m_handles.push_back(handle); }

 private:
  std::vector<HANDLE> m_handles;
};

// Creates everything; on failure returns false with the reason in `error`.
bool InstallMachine(const Machine& machine, HeldFiles& held, std::string& error);

// Every file and folder on every drive, by full path.
struct EntryState {
  bool directory = false;
  DWORD attributes = 0;
  ULONGLONG size = 0;
  FILETIME written = {};
};
using FileSystemSnapshot = std::map<std::string, EntryState>;
FileSystemSnapshot SnapshotFileSystem();

struct ValueState {
  DWORD type = 0;
  std::string data;
  bool operator==(const ValueState& other) const { return type == other.type && data == other.data; }
};
using FontTableSnapshot = std::map<std::string, ValueState>;
FontTableSnapshot SnapshotFontTable();

// The whole file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace kc::safety
