#pragma once
// Reading and clearing folder trees of a test prefix, the way the program meets them.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kc::testsupport {

// The whole file, or "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The files below `directory` (ends in a backslash) whose names `wanted` accepts (all, when null),
// in depth-first listing order: the order in which the program's walk meets them. Links to folders
// are not entered, so each file is listed once, under its own path.
std::vector<std::string> ListFilesDepthFirst(const std::string& directory,
                                             const std::function<bool(const std::string&)>& wanted = nullptr);

// Every file below `directory` with its bytes.
std::map<std::string, std::string> SnapshotFiles(const std::string& directory);

// Deletes everything below `directory`, read-only files too, but not the folder itself. Links to
// folders are removed (as far as the file system lets them), never entered.
void EmptyDirectory(const std::string& directory);

}  // namespace kc::testsupport
