// The conversion the collection reader measures descriptions with. Windows: the system's (code
// page 932 in the test bed); natively: iconv made to agree with it. The same expectations run on
// both builds, so a unit on which the two disagree fails one of them.

#include "fontid/ansi_converter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kc {
namespace {

constexpr char kCanary = 0x5A;

// The text converted into a buffer of exactly the size asked for.
std::string Convert(const std::u16string& text) {
  const int unitCount = static_cast<int>(text.size());
  const int needed = ConvertToAnsiCodePage(text.data(), unitCount, nullptr, 0);
  if (needed <= 0) return "<failed>";
  std::string out(static_cast<size_t>(needed), kCanary);
  if (ConvertToAnsiCodePage(text.data(), unitCount, &out[0], needed) != needed) return "<failed>";
  EXPECT_EQ('\0', out.back()) << "terminated";
  out.pop_back();
  return out;
}

TEST(AnsiConverterTest, FollowsTheWideCharToMultiByteContract) {
  const char16_t text[] = u"KCOV\u30E9\u30A4\u30BB\u30F3\u30B9";  // "KCOV" and 5 katakana
  const char expected[] = "KCOV\x83\x89\x83\x43\x83\x5A\x83\x93\x83\x58";
  EXPECT_EQ(15, ConvertToAnsiCodePage(text, 9, nullptr, 0)) << "terminating zero counted";
  char out[20];
  std::memset(out, kCanary, sizeof out);
  EXPECT_EQ(0, ConvertToAnsiCodePage(text, 9, out, 14)) << "does not fit";
  EXPECT_EQ(0, ConvertToAnsiCodePage(text, 9, out, 1)) << "room for the zero alone";
  EXPECT_EQ(15, ConvertToAnsiCodePage(text, 9, out, 15));
  EXPECT_STREQ(expected, out);
  EXPECT_EQ(kCanary, out[15]);
  EXPECT_EQ(3, ConvertToAnsiCodePage(u"ab\0cd", 5, nullptr, 0)) << "a zero unit ends the text";
  EXPECT_EQ(1, ConvertToAnsiCodePage(u"", 0, nullptr, 0));
  std::memset(out, kCanary, sizeof out);
  EXPECT_EQ(1, ConvertToAnsiCodePage(u"", 0, out, 1));
  EXPECT_EQ('\0', out[0]);
  EXPECT_EQ(kCanary, out[1]);
}

TEST(AnsiConverterTest, ConvertsAsWindowsCodePage932) {
  ASSERT_NE("<failed>", Convert(u"x")) << "the converter cannot start";
  struct Case {
    const char* label;
    std::u16string text;
    std::string bytes;
  };
  const Case cases[] = {
      {"ASCII as it stands, backslash and tilde too", u"KCOV \\~", "KCOV \\~"},
      {"katakana, two bytes", u"\u30E9", "\x83\x89"},
      {"half-width katakana, one byte", u"\uFF71", "\xB1"},
      {"kanji", u"\u6F22", "\x8A\xBF"},
      {"yen sign to 0x5C", u"\u00A5", "\x5C"},
      {"full-width tilde", u"\uFF5E", "\x81\x60"},
      {"private use", u"\uE000", "\xF0\x40"},
      {"no mapping: one '?'", u"K\u0101\u20AC\uFFFD", "K???"},
      {"best fit to ASCII", u"KC\u00D2V caf\u00E9", "KCOV cafe"},
      {"best fit to two bytes", u"\u00AB\u00B5\u3094", "\x81\xE1\x83\xCA\x83\x94"},
      {"mapped by iconv, not by Windows", u"\u301C\u2014\u2212\u2016\u203E", "?????"},
      {"each half of a surrogate pair is one '?'", u"\U0001F600A", "??A"},
      {"lone surrogates", u"\xD83D" u"A\xDE00", "?A?"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.bytes, Convert(c.text)) << c.label;
}

}  // namespace
}  // namespace kc
