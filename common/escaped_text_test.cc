// Escaping keeps every text on its line, and never splits or merges a character.
#include "common/escaped_text.h"

#include <gtest/gtest.h>

namespace kc {
namespace {

TEST(EscapedTextTest, TableOfTexts) {
  struct Case {
    const char* text;
    const char* display;
    const char* logField;
  };
  const Case cases[] = {
      {"C:\\Fonts\\A.otf", "C:\\Fonts\\A.otf", "C:\\Fonts\\A.otf"},
      {"a\r\nb\tc", "a%0D%0Ab%09c", "a%0D%0Ab%09c"},
      {"\x01\x1F\x7F", "%01%1F%7F", "%01%1F%7F"},
      {"say \"hi\" 100%", "say \"hi\" 100%", "say %22hi%22 100%25"},
      // Code page 932's "ケ" (0x83 0x50) and "表" (0x95 0x5C) are no UTF-8: each byte stands alone.
      {"\x83\x50\x95\x5C", "%83P%95\\", "%83P%95\\"},
      // A lead byte at the end, or before a byte that cannot end a character, stands alone.
      {"ab\x83", "ab%83", "ab%83"},
      {"\x83\"", "%83\"", "%83%22"},
      {"\x83\n", "%83%0A", "%83%0A"},
      {"\xB1\x80", "%B1%80", "%B1%80"},
      // UTF-8: whole characters stay, before a quote too; NEL, U+2028, a surrogate's bytes and an
      // overlong form do not.
      {"\xE3\x82\xB1\"", "\xE3\x82\xB1\"", "\xE3\x82\xB1%22"},
      {"Caf\xC3\xA9 \xF0\x9F\x98\x80", "Caf\xC3\xA9 \xF0\x9F\x98\x80", "Caf\xC3\xA9 \xF0\x9F\x98\x80"},
      {"a\xC2\x85" "b\xE2\x80\xA8", "a%C2%85b%E2%80%A8", "a%C2%85b%E2%80%A8"},
      {"\xED\xA0\x80\xC0\xAF", "%ED%A0%80%C0%AF", "%ED%A0%80%C0%AF"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.display, EscapedText(c.text, EscapeFor::kDisplay)) << c.text;
    EXPECT_EQ(c.logField, EscapedText(c.text, EscapeFor::kLogField)) << c.text;
  }
}

}  // namespace
}  // namespace kc
