#include "discovery/font_file_name.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace kc {
namespace {

TEST(FontFileNameTest, OnlyLowerCaseFontExtensionsCount) {
  struct Case {
    const wchar_t* name;
    const wchar_t* stem;
    FontFileType type;
  };
  const Case cases[] = {
      {L"Sample-M.otf", L"Sample-M", FontFileType::kOpenType},
      {L"Coll.ttc", L"Coll", FontFileType::kCollection},
      {L"a.b.otf", L"a.b", FontFileType::kOpenType},
      {L"Font.OTF", L"Font", FontFileType::kNone},
      {L"Font.Ttc", L"Font", FontFileType::kNone},
      {L"Font.otf2", L"Font", FontFileType::kNone},
      {L"Font.otf.bak", L"Font.otf", FontFileType::kNone},
      {L"NoExtension", L"NoExtension", FontFileType::kNone},
      {L".otf", L"", FontFileType::kOpenType},
      {L"ソフト.otf", L"ソフト", FontFileType::kOpenType},
      {L"a¥b.otf", L"a¥b", FontFileType::kOpenType},
      {L"font.ｏｔｆ", L"font", FontFileType::kNone},
  };
  for (const Case& c : cases) {
    const EntryName split = SplitEntryName(c.name, std::wcslen(c.name));
    const size_t extensionLength = split.length - split.stemLength;
    EXPECT_EQ(std::wstring(c.stem), std::wstring(split.name, split.stemLength)) << split.stemLength;
    EXPECT_EQ(c.type, FontFileTypeOf(split.extension, extensionLength)) << split.stemLength;
  }
}

TEST(FontFileNameTest, ZusuujiPrefixIsExactAndCaseSensitive) {
  EXPECT_TRUE(IsZusuujiFileName(L"ZUSuuji-R", 9));
  EXPECT_TRUE(IsZusuujiFileName(L"ZUSuuji", 7));
  EXPECT_FALSE(IsZusuujiFileName(L"zusuuji-R", 9));
  EXPECT_FALSE(IsZusuujiFileName(L"ZUSuuj", 6));
  EXPECT_FALSE(IsZusuujiFileName(L"ZUSuuji-R", 6)) << "only the stem's units count";
}

}  // namespace
}  // namespace kc
