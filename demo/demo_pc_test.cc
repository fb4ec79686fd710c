// The demo PC's table must agree with itself: the demo's verdict is only as good as its table.
#include "demo/demo_pc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kc::demo {
namespace {

bool IsProductFont(const DemoEntry& entry) {
  return entry.content == Content::kProductOpenType || entry.content == Content::kProductCollection;
}

std::string BaseName(const std::string& path) {
  const std::string file = path.substr(path.find_last_of('\\') + 1);
  return file.substr(0, file.find_last_of('.'));
}

TEST(DemoPcTest, OnlyTheProductsFontsAndToolsGo) {
  for (const DemoEntry& entry : DemoEntries()) {
    SCOPED_TRACE(entry.relativePath);
    const bool productTool = entry.place == Place::kProgramFiles
                                 ? entry.relativePath.rfind("Kestrel\\", 0) == 0
                                 : (entry.place == Place::kUserDesktop ||
                                    entry.place == Place::kCommonDesktop) &&
                                       entry.content == Content::kPlainFile && entry.goes;
    EXPECT_EQ(entry.goes, IsProductFont(entry) || productTool);
    if (entry.content == Content::kDebianFont) {
      EXPECT_FALSE(entry.debianSource.empty());
    }
  }
}

// The program lists an OpenType font by its Japanese full name (its file name for a ZUSuuji font
// without one) and a collection by its file name without extension.
TEST(DemoPcTest, EveryProductFontIsListedUnderTheNameTheProgramShows) {
  size_t productFonts = 0;
  for (const DemoEntry& entry : DemoEntries()) {
    SCOPED_TRACE(entry.relativePath);
    if (!IsProductFont(entry)) {
      EXPECT_TRUE(entry.listedAs.empty());
      continue;
    }
    ++productFonts;
    const bool byFileName = entry.content == Content::kProductCollection || entry.fullName.empty();
    EXPECT_EQ(entry.listedAs, byFileName ? BaseName(entry.relativePath) : entry.fullName);
  }
  const std::vector<std::string> lines = ExpectedResultLines();
  EXPECT_EQ(lines.size(), productFonts);
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
}

TEST(DemoPcTest, FontTableValuesGoWithTheFontTheyName) {
  for (const DemoFontValue& value : DemoFontValues()) {
    SCOPED_TRACE(value.name);
    const auto& entries = DemoEntries();
    const auto font = std::find_if(entries.begin(), entries.end(), [&](const DemoEntry& entry) {
      return entry.place == Place::kFontsFolder && entry.relativePath == value.fontFile;
    });
    ASSERT_NE(font, entries.end());
    EXPECT_EQ(value.goes, font->goes);
  }
}

}  // namespace
}  // namespace kc::demo
