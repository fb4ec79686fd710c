#include "tests/support/machine_state-win32.h"

#include <cstdio>

#include "common/scoped_handles-win32.h"

namespace kc::testsupport {
namespace {

// FNV-1a over the whole file: a changed byte changes it, and reading is the only cost.
std::string Fingerprint(const std::string& path, const WIN32_FIND_DATAA& entry) {
  uint64_t hash = 1469598103934665603ull;
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  bool readable = file.valid();
  static char buffer[1 << 20];
  DWORD got = 0;
  while (readable && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
  }
  char text[96];
  std::snprintf(text, sizeof text, "attributes %lx, %lu bytes, %s %016llx",
                static_cast<unsigned long>(entry.dwFileAttributes), static_cast<unsigned long>(entry.nFileSizeLow),
                readable ? "hash" : "unreadable", static_cast<unsigned long long>(hash));
  return text;
}

bool Skipped(const std::string& folder, const std::vector<std::string>& skipped) {
  for (const std::string& s : skipped) {
    if (lstrcmpiA(folder.c_str(), s.c_str()) == 0) return true;
  }
  return false;
}

void TakeFolder(const std::string& folder, const std::vector<std::string>& skipped, MachineState& state) {
  WIN32_FIND_DATAA entry;
  ScopedFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &entry));
  if (!find.valid()) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + name;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if (Skipped(path + "\\", skipped)) continue;
      state.folders.insert(path + "\\");
      // A link below a drive would lead out of it or round in a circle: recorded, not followed.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) TakeFolder(path + "\\", skipped, state);
    } else {
      state.files[path] = Fingerprint(path, entry);
    }
  } while (FindNextFileA(find.get(), &entry));
}

void TakeKey(HKEY parent, const std::string& path, const std::string& name, MachineState& state) {
  ScopedRegKey key;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    char valueName[16384];
    DWORD nameSize = sizeof valueName;
    DWORD type = 0;
    DWORD dataSize = 0;
    if (RegEnumValueA(key.get(), index, valueName, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS) {
      break;
    }
    std::string data(dataSize, '\0');
    nameSize = sizeof valueName;
    RegEnumValueA(key.get(), index, valueName, &nameSize, nullptr, &type,
                  reinterpret_cast<BYTE*>(data.empty() ? nullptr : &data[0]), &dataSize);
    data.resize(dataSize);
    state.registry[name + "\\" + path + "|" + valueName] = std::to_string(type) + ":" + data;
  }
  std::vector<std::string> subkeys;
  for (DWORD index = 0;; ++index) {
    char subkey[256];
    DWORD size = sizeof subkey;
    if (RegEnumKeyExA(key.get(), index, subkey, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(subkey, size);
  }
  for (const std::string& subkey : subkeys) TakeKey(parent, path + "\\" + subkey, name, state);
}

template <class Map>
void Diff(const Map& before, const Map& after, std::vector<std::string>& gone, std::vector<std::string>& added,
          std::vector<std::string>* changed) {
  for (auto it = before.begin(); it != before.end(); ++it) {
    const auto found = after.find(it->first);
    if (found == after.end()) {
      gone.push_back(it->first);
    } else if (changed != nullptr && found->second != it->second) {
      changed->push_back(it->first);
    }
  }
  for (auto it = after.begin(); it != after.end(); ++it) {
    if (before.find(it->first) == before.end()) added.push_back(it->first);
  }
}

}  // namespace

MachineState TakeMachineState(const std::vector<std::string>& roots, const std::vector<std::string>& skipped,
                              const std::vector<RegistryRoot>& registry) {
  MachineState state;
  for (const std::string& root : roots) TakeFolder(root, skipped, state);
  for (const RegistryRoot& root : registry) TakeKey(root.key, root.path, root.name, state);
  return state;
}

bool StateChanges::empty() const {
  return filesGone.empty() && filesNew.empty() && filesChanged.empty() && foldersGone.empty() &&
         foldersNew.empty() && valuesGone.empty() && valuesNew.empty() && valuesChanged.empty();
}

std::string StateChanges::Describe() const {
  std::string text;
  auto add = [&text](const char* mark, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) text += std::string(mark) + " " + line + "\n";
  };
  add("- file", filesGone);
  add("+ file", filesNew);
  add("* file", filesChanged);
  add("- folder", foldersGone);
  add("+ folder", foldersNew);
  add("- value", valuesGone);
  add("+ value", valuesNew);
  add("* value", valuesChanged);
  return text;
}

StateChanges CompareMachineStates(const MachineState& before, const MachineState& after) {
  StateChanges changes;
  Diff(before.files, after.files, changes.filesGone, changes.filesNew, &changes.filesChanged);
  std::map<std::string, int> foldersBefore, foldersAfter;
  for (const std::string& f : before.folders) foldersBefore[f] = 0;
  for (const std::string& f : after.folders) foldersAfter[f] = 0;
  Diff(foldersBefore, foldersAfter, changes.foldersGone, changes.foldersNew, nullptr);
  Diff(before.registry, after.registry, changes.valuesGone, changes.valuesNew, &changes.valuesChanged);
  return changes;
}

}  // namespace kc::testsupport
