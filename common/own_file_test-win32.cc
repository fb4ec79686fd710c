// What CreateOwnFile finds at a name and makes of it: the other file a link leads to keeps its
// bytes, a plain file is emptied, and the handle it gives lets others read while it writes.
#include "common/own_file-win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/file_tree-win32.h"

namespace kc {
namespace {

void Write(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  SetFileAttributesA(path.c_str(), attributes);
}

// The test's paths are ASCII.
OwnFile CreateOwnFileAt(const std::string& path) { return CreateOwnFile(std::wstring(path.begin(), path.end())); }

void Append(const OwnFile& file, const std::string& bytes) {
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

TEST(OwnFileTest, WhatLiesAtTheName) {
  CreateDirectoryA("C:\\own", nullptr);
  const std::string other = "C:\\own\\other.dat";
  const std::string log = "C:\\own\\run.log";
  struct Case {
    const char* what;
    DWORD otherAttributes;  // of the file the planted link leads to
    bool linked;            // a hard link at the log's name, else the last run's log
    bool made;              // else no file at all: removing that name would mean touching the other file
    OwnFileOrigin origin;
  };
  const Case cases[] = {
      {"a hard link to a file that can be written", FILE_ATTRIBUTE_NORMAL, true, true, OwnFileOrigin::kLinkReplaced},
      // The read-only attribute is the file's, shared by both names: neither can go without it.
      {"a hard link to a read-only file", FILE_ATTRIBUTE_READONLY, true, false, OwnFileOrigin::kCreated},
      {"the last run's log", FILE_ATTRIBUTE_NORMAL, false, true, OwnFileOrigin::kReused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(log.c_str());
    Write(other, "precious", c.otherAttributes);
    if (c.linked) {
      ASSERT_TRUE(CreateHardLinkA(log.c_str(), other.c_str(), nullptr));
    } else {
      Write(log, "the last run's lines");
    }
    if (!c.made) {
      EXPECT_FALSE(CreateOwnFileAt(log).handle.valid());
      EXPECT_EQ("precious", testsupport::ReadWholeFile(other));
      EXPECT_NE(0u, GetFileAttributesA(other.c_str()) & FILE_ATTRIBUTE_READONLY);
      continue;
    }
    {
      const OwnFile file = CreateOwnFileAt(log);
      ASSERT_TRUE(file.handle.valid()) << file.error;
      EXPECT_EQ(c.origin, file.origin);
      Append(file, "new");
      // Read as Notepad reads a file another program writes.
      const HANDLE reader = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
      EXPECT_NE(INVALID_HANDLE_VALUE, reader) << GetLastError();
      if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    }
    EXPECT_EQ("new", testsupport::ReadWholeFile(log));
    EXPECT_EQ("precious", testsupport::ReadWholeFile(other));
  }
  SetFileAttributesA(other.c_str(), FILE_ATTRIBUTE_NORMAL);

  // Nothing at the name: a new file. A folder there, or a missing folder on the way: no file.
  DeleteFileA(log.c_str());
  EXPECT_EQ(OwnFileOrigin::kCreated, CreateOwnFileAt(log).origin);
  CreateDirectoryA("C:\\own\\folder.log", nullptr);
  EXPECT_FALSE(CreateOwnFileAt("C:\\own\\folder.log").handle.valid());
  EXPECT_FALSE(CreateOwnFileAt("C:\\own\\missing\\run.log").handle.valid());
}

}  // namespace
}  // namespace kc
