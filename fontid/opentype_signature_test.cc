#include "fontid/opentype_signature.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fonts/font_builder.h"
#include "tests/fonts/scratch_dir.h"

namespace kc {
namespace {

using testfonts::ScratchDir;
using testfonts::WriteFontFile;

struct SignatureCase {
  const char* label;
  std::string bytes;
  bool expected;
};

TEST(OpenTypeSignatureTest, AcceptsOnlyOttoInAnyLetterCase) {
  testfonts::FontSpec trueType;
  trueType.sfntVersion = testfonts::kTrueTypeVersion;
  const SignatureCase cases[] = {
      {"OTTO font", testfonts::BuildFont({}), true},
      {"exactly OTTO", "OTTO", true},
      {"lower case", "otto and more", true},
      {"mixed case", "OtTo", true},
      {"empty", "", false},
      {"1 byte", "O", false},
      {"2 bytes", "OT", false},
      {"3 bytes", "OTT", false},
      {"zero byte inside", std::string("OT\0O", 4), false},
      {"TrueType", std::string("\0\1\0\0", 4) + "rest", false},
      {"TrueType font", testfonts::BuildFont(trueType), false},
      {"collection", testfonts::BuildCollection({{}}), false},
      {"near miss", "OTTP", false},
  };
  ScratchDir dir;
  for (const SignatureCase& c : cases) {
    const std::string path = dir.Path("font.otf");
    ASSERT_TRUE(WriteFontFile(path, c.bytes));
    EXPECT_EQ(c.expected, IsOpenTypeCffFile(path.c_str())) << c.label;
  }
}

TEST(OpenTypeSignatureTest, MissingFileAnswersFalse) {
  ScratchDir dir;
  EXPECT_FALSE(IsOpenTypeCffFile(dir.Path("absent.otf").c_str()));
  EXPECT_FALSE(IsOpenTypeCffFile(dir.Path("").c_str())) << "a folder is no font";
}

}  // namespace
}  // namespace kc
