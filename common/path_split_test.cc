#include "common/path_split.h"

#include <gtest/gtest.h>

#include <string>

namespace kc {
namespace {

std::string Base(const char* path) {
  const BaseName base = BaseNameOf(path, IsCp932LeadByte);
  return std::string(base.start, base.length);
}

TEST(PathSplitTest, BaseNameWithoutFolderOrExtension) {
  EXPECT_EQ("acrotray", Base("C:\\Program Files\\Reader\\acrotray.exe"));
  EXPECT_EQ("ACROTRAY", Base("C:/x/ACROTRAY.EXE"));
  EXPECT_EQ("acrotray", Base("acrotray"));
  EXPECT_EQ("a.b", Base("D:a.b.exe"));
  EXPECT_EQ("", Base("C:\\dir\\"));
  EXPECT_EQ("", Base(""));
  EXPECT_EQ("name", Base("C:\\dir.d\\name"));
}

TEST(PathSplitTest, TrailByteBackslashIsNoSeparator) {
  // "表" is 0x95 0x5C: a naive split would end the folder inside it and yield "acrotray".
  EXPECT_EQ("\x95\x5C" "acrotray", Base("C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C" "acrotray.exe"));
  // A lead byte at the very end stands alone.
  EXPECT_EQ("x\x95", Base("C:\\x\x95"));
}

TEST(PathSplitTest, EndsWithSeparatorSeesATrailByteForWhatItIs) {
  EXPECT_TRUE(EndsWithSeparator("C:\\", IsCp932LeadByte));
  EXPECT_TRUE(EndsWithSeparator("\\\\server\\logs/", IsCp932LeadByte));
  EXPECT_FALSE(EndsWithSeparator("C:\\Windows", IsCp932LeadByte));
  EXPECT_FALSE(EndsWithSeparator("C:\\\x83\x5C", IsCp932LeadByte));  // "ソ"
  EXPECT_TRUE(EndsWithSeparator("C:\\\x83\x5C\\", IsCp932LeadByte));
  EXPECT_FALSE(EndsWithSeparator("", IsCp932LeadByte));
}

}  // namespace
}  // namespace kc
