#include "tests/safety/machine_setup-win32.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "tests/safety/expected_state.h"

namespace kc::safety {
namespace {

constexpr char kFontTableKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* Receive() { return &m_key; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

std::string Error(const std::string& what, const std::string& path) {
  return what + " " + path + ": error " + std::to_string(GetLastError());
}

bool SetString(HKEY root, const char* keyPath, const char* name, const std::string& data) {
  RegKey key;
  if (RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

void Walk(const std::string& folder, FileSystemSnapshot& snapshot) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    EntryState state;
    state.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    state.attributes = found.dwFileAttributes;
    state.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    state.written = found.ftLastWriteTime;
    const std::string path = folder + name;
    snapshot[path] = state;
    if (state.directory) Walk(path + "\\", snapshot);
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

}  // namespace

HeldFiles::~HeldFiles() {
  for (HANDLE handle : m_handles) CloseHandle(handle);
}

bool InstallMachine(const Machine& machine, HeldFiles& held, std::string& error) {
  char fonts[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, fonts, CSIDL_FONTS, FALSE) ||
      !SameIgnoringCase(std::string(fonts) + "\\", kFontsFolder)) {
    error = std::string("the Fonts folder is \"") + fonts + "\", the generator assumes " + kFontsFolder;
    return false;
  }
  const struct {
    int csidl;
    const char* path;
  } folders[] = {{CSIDL_PROGRAM_FILES, kProgramFilesFolder}, {CSIDL_COMMON_DESKTOPDIRECTORY, kCommonDesktopFolder}};
  for (const auto& folder : folders) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, folder.csidl, FALSE) ||
        !SameIgnoringCase(std::string(path) + "\\", folder.path)) {
      error = std::string("special folder ") + std::to_string(folder.csidl) + " is \"" + path +
              "\", the generator assumes " + folder.path;
      return false;
    }
  }
  for (const GeneratedDirectory& directory : machine.directories) {
    if (!CreateDirectoryA(directory.path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      error = Error("cannot create", directory.path);
      return false;
    }
  }
  for (const GeneratedFile& file : machine.files) {
    std::FILE* out = std::fopen(file.path.c_str(), "wb");
    if (out == nullptr) {
      error = Error("cannot create", file.path);
      return false;
    }
    const bool written = std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) == file.bytes.size();
    if (std::fclose(out) != 0 || !written) {
      error = Error("cannot write", file.path);
      return false;
    }
    DWORD attributes = 0;
    if (file.readOnly) attributes |= FILE_ATTRIBUTE_READONLY;
    if (file.hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (attributes != 0 && !SetFileAttributesA(file.path.c_str(), attributes)) {
      error = Error("cannot set the attributes of", file.path);
      return false;
    }
  }
  for (const GeneratedDirectory& directory : machine.directories) {
    if (directory.hidden) SetFileAttributesA(directory.path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  }

  RegKey table;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFontTableKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, table.Receive(),
                      nullptr) != ERROR_SUCCESS) {
    error = "cannot open the font table";
    return false;
  }
  for (const GeneratedValue& value : machine.fontTableValues) {
    std::string data = value.data;
    if (value.type == kRegString) data.push_back('\0');
    if (RegSetValueExA(table.Get(), value.name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
      error = "cannot set font-table value " + value.name;
      return false;
    }
  }

  // Wine reads its Windows version when a process starts: this is what the program will see.
  if (!SetString(HKEY_CURRENT_USER, "Software\\Wine", "Version", WindowsVersionName(machine.version))) {
    error = "cannot set the Windows version";
    return false;
  }

  for (const GeneratedFile& file : machine.files) {
    if (!file.lockedByTest) continue;
    const HANDLE handle = CreateFileA(file.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      error = Error("cannot hold", file.path);
      return false;
    }
    held.Add(handle);
  }
  return true;
}

FileSystemSnapshot SnapshotFileSystem() {
  FileSystemSnapshot snapshot;
  char drives[2048] = {};
  GetLogicalDriveStringsA(sizeof drives - 1, drives);
  for (const char* root = drives; *root != '\0'; root += std::strlen(root) + 1) Walk(root, snapshot);
  return snapshot;
}

FontTableSnapshot SnapshotFontTable() {
  FontTableSnapshot snapshot;
  RegKey table;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontTableKey, 0, KEY_QUERY_VALUE, table.Receive()) != ERROR_SUCCESS) {
    return snapshot;
  }
  for (DWORD index = 0;; ++index) {
    char name[16384];
    std::string data(8192, '\0');
    DWORD nameSize = sizeof name;
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(table.Get(), index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                      &dataSize) != ERROR_SUCCESS) {
      break;
    }
    data.resize(dataSize);
    snapshot[std::string(name, nameSize)] = {type, data};
  }
  return snapshot;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  // Shared reading, so a file the test itself holds can be compared too.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return ok;
}

}  // namespace kc::safety
