#include "tests/support/file_tree-win32.h"

#include <windows.h>

#include "common/scoped_handles-win32.h"

namespace kc::testsupport {
namespace {

// Calls `visit` for every entry of `directory` but "." and "..".
void ForEachEntry(const std::string& directory, const std::function<void(const WIN32_FIND_DATAA&)>& visit) {
  WIN32_FIND_DATAA found;
  ScopedFindHandle find(FindFirstFileA((directory + "*.*").c_str(), &found));
  if (!find.valid()) return;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") visit(found);
  } while (FindNextFileA(find.get(), &found));
}

bool IsDirectory(const WIN32_FIND_DATAA& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

std::vector<std::string> ListFilesDepthFirst(const std::string& directory,
                                             const std::function<bool(const std::string&)>& wanted) {
  std::vector<std::string> files;
  ForEachEntry(directory, [&](const WIN32_FIND_DATAA& entry) {
    if (IsDirectory(entry)) {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return;  // each file once
      const auto below = ListFilesDepthFirst(directory + entry.cFileName + "\\", wanted);
      files.insert(files.end(), below.begin(), below.end());
    } else if (!wanted || wanted(entry.cFileName)) {
      files.push_back(directory + entry.cFileName);
    }
  });
  return files;
}

std::map<std::string, std::string> SnapshotFiles(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const std::string& path : ListFilesDepthFirst(directory)) files[path] = ReadWholeFile(path);
  return files;
}

void EmptyDirectory(const std::string& directory) {
  ForEachEntry(directory, [&](const WIN32_FIND_DATAA& entry) {
    const std::string path = directory + entry.cFileName;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsDirectory(entry)) {
      // A link is removed, never followed: its target is not ours to empty, and may hold it.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) EmptyDirectory(path + "\\");
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  });
}

}  // namespace kc::testsupport
