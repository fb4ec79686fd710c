#include <shlobj.h>

#include <vector>

#include "common/scoped_handles-win32.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {

bool MakeFile(const std::string& path, DWORD attributes) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  if (!WriteFile(file.get(), "fixture", 7, &written, nullptr) || written != 7) return false;
  file.reset();
  // Wine keeps hidden and system in an extended attribute of the Unix file, which it can no longer
  // write once the file is read-only: set them first.
  if (!SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) return false;
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolders(const std::string& path) {
  for (size_t end = path.find('\\', 3); end != std::string::npos; end = path.find('\\', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (!FolderExists(folder) && !CreateDirectoryA(folder.c_str(), nullptr)) return false;
  }
  return true;
}

std::string ExpectedFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return "(lookup failed)";
  return std::string(path) + "\\";
}

bool SetRegistryString(HKEY root, const char* keyPath, const std::string& name,
                       const std::string& data) {
  ScopedRegKey key;
  if (RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.receive(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool ReadRegistryString(HKEY root, const char* keyPath, const std::string& name,
                        std::string& data) {
  ScopedRegKey key;
  if (RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::vector<char> buffer(size + 1, '\0');
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
    return false;
  }
  data = buffer.data();
  return true;
}

bool DeleteRegistryValue(HKEY root, const char* keyPath, const std::string& name) {
  ScopedRegKey key;
  if (RegOpenKeyExA(root, keyPath, 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS) return false;
  return RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> PendingDeletions() {
  std::vector<std::string> deletions;
  ScopedRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                    key.receive()) != ERROR_SUCCESS) {
    return deletions;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return deletions;
  }
  std::vector<char> data(size + 2, '\0');
  if (RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return deletions;
  }
  // Pairs of strings: source, then target (empty for a deletion).
  std::vector<std::string> strings;
  for (size_t at = 0; at < size;) {
    const std::string text(data.data() + at);
    strings.push_back(text);
    at += text.size() + 1;
  }
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    if (!strings[i].empty() && strings[i + 1].empty()) deletions.push_back(strings[i]);
  }
  return deletions;
}

}  // namespace kc
