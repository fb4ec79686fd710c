// The test bed's promise: a program in a test prefix sees only the drives the test mapped and
// nothing of the host. The program under test walks every drive and deletes files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// "d e r=missing" -> "C:\|D:\|E:\|R:\|"
std::string ExpectedDriveStrings() {
  std::string expected = "C:\\|";
  std::istringstream specs(std::getenv("WINEBED_DRIVES") ? std::getenv("WINEBED_DRIVES") : "");
  std::string spec;
  while (specs >> spec) {
    expected += static_cast<char>(std::toupper(static_cast<unsigned char>(spec[0])));
    expected += ":\\|";
  }
  return expected;
}

TEST(WinebedIsolation, OnlyMappedDrivesAreListed) {
  char buffer[2048];
  FillMemory(buffer, sizeof buffer, 0x7f);
  const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
  ASSERT_GT(length, 0u);
  std::string listed(buffer, length);
  for (char& c : listed) if (c == '\0') c = '|';
  EXPECT_EQ(ExpectedDriveStrings(), listed);
  EXPECT_EQ('\0', buffer[length]) << "the list ends with an empty string";
}

TEST(WinebedIsolation, CodePageIsJapanese) { EXPECT_EQ(932u, GetACP()); }

// Every font-table value must name a file of the prefix: a bare name (Fonts folder) or a C: path.
void ExpectNoHostFontValues(const char* keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    char name[1024];
    char data[1024];
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data - 1;
    DWORD type = 0;
    const LONG status = RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(ERROR_SUCCESS, status) << keyPath << " value " << index;
    data[dataSize] = '\0';
    const std::string value(data);
    const bool bareName = value.find('\\') == std::string::npos;
    const bool onDriveC = value.size() > 3 && (value[0] == 'C' || value[0] == 'c') &&
                          value.compare(1, 2, ":\\") == 0;
    EXPECT_TRUE(bareName || onDriveC) << keyPath << ": \"" << name << "\" = \"" << value << "\"";
  }
  RegCloseKey(key);
}

TEST(WinebedIsolation, FontTableNamesNoHostFile) {
  ExpectNoHostFontValues("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
  ExpectNoHostFontValues("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts");
}

TEST(WinebedIsolation, MissingDriveTargetLooksLikeAnEmptyDrive) {
  WIN32_FIND_DATAA found;
  SetLastError(0xdeadbeef);
  HANDLE find = FindFirstFileA("R:\\*.*", &found);
  EXPECT_EQ(INVALID_HANDLE_VALUE, find);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

}  // namespace
