// The removal decision for fonts in the Fonts folder, on the Windows versions that decide it
// (the test bed runs this program as Vista and as XP), and a Fonts folder that cannot be found.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "tests/support/ansi_wide-win32.h"
#include "common/result_code.h"
#include "discovery/collection_font_list.h"
#include "discovery/font_search-win32.h"
#include "removal/shell_folders.h"
#include "tests/fonts/font_builder.h"

namespace kc {
namespace {

constexpr const char* kFontTable = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

bool IsVista() {
  const char* winver = std::getenv("WINEBED_WINVER");
  return winver != nullptr && std::strcmp(winver, "vista") == 0;
}

std::string ProductOpenType(const std::string& fullName) { return testfonts::BuildTaggedOpenType(fullName, "KCPL"); }

std::string ProductCollection() { return testfonts::BuildTaggedCollection("KCHB"); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetFontValue(const char* name, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFontTable, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

bool HasFontValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontTable, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

std::string FontsFolder() {
  std::wstring folder;
  EXPECT_EQ(kOk, GetFontsFolderPath(folder));
  return testsupport::AnsiOf(folder);
}

// The Fonts folder as the walk would name it in other letter case: C:\WINDOWS\FONTS\.
std::string FontsFolderInUpperCase() {
  std::string folder = FontsFolder();
  for (char& c : folder) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return folder;
}

// Which removal the walk tells its observer each font gets, by "file name:name".
struct Decisions : FontSearchObserver {
  bool BeforeRemoval(const ProductFont& font) override {
    uninstall[testsupport::AnsiOf(font.fileName) + ":" + testsupport::AnsiOfUtf8(font.name)] = font.uninstall;
    return true;
  }
  void AfterRemoval(const ProductFont&, RemovalOutcome) override {}
  std::map<std::string, bool> uninstall;
};

TEST(FontsFolderDecision, OpenTypeUninstalledOnVistaOnlyCollectionsAlways) {
  const std::string fonts = FontsFolder();
  ASSERT_TRUE(testfonts::WriteFontFile(fonts + "Sample-M.otf", ProductOpenType("Kc Sample M")));
  ASSERT_TRUE(testfonts::WriteFontFile(fonts + "KcColl.ttc", ProductCollection()));
  CreateDirectoryA((fonts + "old").c_str(), nullptr);
  ASSERT_TRUE(testfonts::WriteFontFile(fonts + "old\\Sample-M.otf", ProductOpenType("Kc Old")));
  SetFontValue("Kc Sample M (OpenType)", "Sample-M.otf");
  SetFontValue("Kc Collection (TrueType)", "KCCOLL.TTC");
  SetFontValue("Kc Old (OpenType)", fonts + "old\\Sample-M.otf");  // another folder: never matches

  ClearCollectionFontList();
  OpenTypeFontList openType;
  Decisions decisions;
  FontSearch search{openType, nullptr};
  search.observer = &decisions;
  // Walk the Fonts folder under a name in other letter case: it is still the Fonts folder.
  ASSERT_EQ(kOk, SearchFontFiles(testsupport::WideOf(FontsFolderInUpperCase()), search));
  // The observer is told which removal each font gets, by the same decision.
  EXPECT_EQ(IsVista(), decisions.uninstall.at("Sample-M.otf:Kc Sample M"));
  EXPECT_FALSE(decisions.uninstall.at("Sample-M.otf:Kc Old"));
  EXPECT_TRUE(decisions.uninstall.at("KcColl.ttc:KcColl"));

  ASSERT_EQ(2u, openType.size());
  ASSERT_EQ(1, GetCollectionFontCount());
  for (const auto& record : openType) EXPECT_EQ(RemovalOutcome::kRemoved, record.outcome) << record.path;
  EXPECT_FALSE(Exists(fonts + "Sample-M.otf"));
  EXPECT_FALSE(Exists(fonts + "old\\Sample-M.otf"));
  EXPECT_FALSE(Exists(fonts + "KcColl.ttc"));

  // Uninstalling removes the registration; a plain deletion (XP, or a subfolder) leaves it.
  EXPECT_EQ(!IsVista(), HasFontValue("Kc Sample M (OpenType)")) << "OpenType in the Fonts folder";
  EXPECT_FALSE(HasFontValue("Kc Collection (TrueType)")) << "collections are uninstalled on every system";
  EXPECT_TRUE(HasFontValue("Kc Old (OpenType)"));
  ClearCollectionFontList();
}

TEST(FontsFolderDecision, UnknownFontsFolderStopsEachDirectoryAtItsFirstFile) {
  // Only removing or renaming the folder makes the lookup fail (measured under Wine).
  const std::string fonts = FontsFolder();
  std::string moved = fonts.substr(0, fonts.size() - 1) + ".away";
  ASSERT_TRUE(MoveFileA(fonts.substr(0, fonts.size() - 1).c_str(), moved.c_str()));

  // D:\ holds only folders: they are entered, and each stops at its first file.
  CreateDirectoryA("D:\\one", nullptr);
  CreateDirectoryA("D:\\two", nullptr);
  ASSERT_TRUE(testfonts::WriteFontFile("D:\\one\\P.otf", ProductOpenType("Kc One")));
  ASSERT_TRUE(testfonts::WriteFontFile("D:\\two\\P.ttc", ProductCollection()));

  ClearCollectionFontList();
  OpenTypeFontList openType;
  FontSearch search{openType, nullptr};
  EXPECT_EQ(kOk, SearchFontFiles(testsupport::WideOf("D:\\"), search)) << "the folders' failures never stop the root";
  EXPECT_EQ(kFontsFolderUnavailable, SearchFontFiles(testsupport::WideOf("D:\\one\\"), search));
  ASSERT_TRUE(testfonts::WriteFontFile("D:\\root.txt", "x"));
  EXPECT_EQ(kFontsFolderUnavailable, SearchFontFiles(testsupport::WideOf("D:\\"), search));

  EXPECT_TRUE(openType.empty());
  EXPECT_EQ(0, GetCollectionFontCount());
  EXPECT_TRUE(Exists("D:\\one\\P.otf"));
  EXPECT_TRUE(Exists("D:\\two\\P.ttc"));

  ASSERT_TRUE(MoveFileA(moved.c_str(), fonts.substr(0, fonts.size() - 1).c_str()));
}

}  // namespace
}  // namespace kc
