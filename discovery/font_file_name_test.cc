#include "discovery/font_file_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kc {
namespace {

TEST(FontFileNameTest, OnlyLowerCaseFontExtensionsCount) {
  struct Case {
    const char* name;
    const char* stem;
    FontFileType type;
  };
  const Case cases[] = {
      {"Sample-M.otf", "Sample-M", FontFileType::kOpenType},
      {"Coll.ttc", "Coll", FontFileType::kCollection},
      {"a.b.otf", "a.b", FontFileType::kOpenType},
      {"Font.OTF", "Font", FontFileType::kNone},
      {"Font.Ttc", "Font", FontFileType::kNone},
      {"Font.otf2", "Font", FontFileType::kNone},
      {"Font.otf.bak", "Font.otf", FontFileType::kNone},
      {"NoExtension", "NoExtension", FontFileType::kNone},
      {".otf", "", FontFileType::kOpenType},
      // Code page 932 names: "ソ" is 0x83 0x5C, whose trail byte is a backslash.
      {"\x83\x5C\x83\x74\x83\x67.otf", "\x83\x5C\x83\x74\x83\x67", FontFileType::kOpenType},
  };
  for (const Case& c : cases) {
    const EntryName split = SplitEntryName(c.name);
    EXPECT_EQ(c.stem, std::string(split.name, split.stemLength)) << c.name;
    EXPECT_EQ(c.type, FontFileTypeOf(split.extension)) << c.name;
    EXPECT_EQ(std::strlen(c.name), split.length) << c.name;
  }
}

TEST(FontFileNameTest, ZusuujiPrefixIsExactAndCaseSensitive) {
  EXPECT_TRUE(IsZusuujiFileName("ZUSuuji-R", 9));
  EXPECT_TRUE(IsZusuujiFileName("ZUSuuji", 7));
  EXPECT_FALSE(IsZusuujiFileName("zusuuji-R", 9));
  EXPECT_FALSE(IsZusuujiFileName("ZUSuuj", 6));
  EXPECT_FALSE(IsZusuujiFileName("ZUSuuji-R", 6)) << "only the stem's bytes count";
}

}  // namespace
}  // namespace kc
