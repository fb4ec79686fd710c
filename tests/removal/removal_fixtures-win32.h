#pragma once
// Fixture files, folders and registry values for the removal tests, made with plain Win32 calls
// (never with the code under test) inside the throwaway Wine prefix.

#include <windows.h>

#include <string>
#include <vector>

namespace kc {

constexpr char kFontTableKeyPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kUserShellFoldersKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Creates (or replaces) a small file; false on failure.
bool MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
DWORD Attributes(const std::string& path);  // INVALID_FILE_ATTRIBUTES when missing
// Makes every folder of `path` (which ends in a backslash); false on failure.
bool MakeFolders(const std::string& path);

// The folder SHGetSpecialFolderPathA reports, with one backslash appended: what a correct lookup
// of that folder must return on Wine (which never reports a trailing backslash of its own).
std::string ExpectedFolder(int csidl);

// Registry string values: set (REG_SZ), read and delete. Reading gives false when absent.
bool SetRegistryString(HKEY root, const char* keyPath, const std::string& name,
                       const std::string& data);
bool ReadRegistryString(HKEY root, const char* keyPath, const std::string& name, std::string& data);
bool DeleteRegistryValue(HKEY root, const char* keyPath, const std::string& name);

// The files Windows is asked to delete at the next restart: the sources of the pairs in HKLM
// "SYSTEM\CurrentControlSet\Control\Session Manager" "PendingFileRenameOperations" whose
// target is empty, as stored (\??\C:\...). Empty when the value is absent.
std::vector<std::string> PendingDeletions();

}  // namespace kc
