#include "common/path_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/path_buffer.h"

namespace kc {
namespace {

constexpr char kCanary = '\x7E';

struct JoinCase {
  const char* folder;
  const char* name;
  size_t capacity;
  const char* expected;  // nullptr: refused
};

// The bytes the helpers may write are the first `capacity`; the rest of the buffer is a canary.
TEST(PathCopyTest, JoinFitsExactlyOrIsRefusedWhole) {
  const JoinCase cases[] = {
      {"C:\\", "a.otf", 9, "C:\\a.otf"},  // eight bytes and the terminator: exact fit
      {"C:\\", "a.otf", 8, nullptr},      // one byte over
      {"C:\\", "a.otf", 4, nullptr},      // the folder alone would fit, the name would be lost
      {"C:\\", "a.otf", 3, nullptr},      // not even the folder
      {"", "", 1, ""},
      {"", "abc", 4, "abc"},
      {"C:\\", "", 4, "C:\\"},
      {"C:\\", "", 3, nullptr},
      {"C:\\", "x", 0, nullptr},  // no room even for an empty string: nothing written
      // "ソ" is 0x83 0x5C: whole, or not at all; a cut after the lead byte would leave half of it.
      {"C:\\", "\x83\x5C", 6, "C:\\\x83\x5C"},
      {"C:\\", "\x83\x5C", 5, nullptr},
      {"C:\\\x83\x5C\\", "a", 8, "C:\\\x83\x5C\\a"},
      {"C:\\\x83\x5C\\", "a", 7, nullptr},
  };
  for (const JoinCase& c : cases) {
    char out[16];
    std::memset(out, kCanary, sizeof out);
    const bool joined = JoinPath(out, c.capacity, c.folder, c.name);
    SCOPED_TRACE(std::string(c.folder) + "|" + c.name + "| capacity " + std::to_string(c.capacity));
    EXPECT_EQ(c.expected != nullptr, joined);
    if (c.expected != nullptr) {
      EXPECT_STREQ(c.expected, out);
    } else {
      // Refused: nothing but zero bytes written, so a cleared buffer stays cleared.
      if (c.capacity > 0) {
        EXPECT_EQ('\0', out[0]);
      }
      for (size_t i = 0; i < c.capacity; ++i) {
        EXPECT_TRUE(out[i] == kCanary || out[i] == '\0') << "byte " << i;
      }
    }
    for (size_t i = c.capacity; i < sizeof out; ++i) EXPECT_EQ(kCanary, out[i]) << "byte " << i;
  }
}

TEST(PathCopyTest, CopyTakesOnlyTheGivenLengthAndAppendsInPlace) {
  char out[12];
  std::memset(out, kCanary, sizeof out);
  ASSERT_TRUE(CopyPath(out, 10, "C:\\dir\\*.*", 7));
  EXPECT_STREQ("C:\\dir\\", out);
  EXPECT_EQ(kCanary, out[8]);
  // Appending at the end: exact fit, then one byte over, refused whole; the path ends where it did.
  ASSERT_TRUE(CopyPath(out + 7, 10 - 7, "ab", 2));
  EXPECT_STREQ("C:\\dir\\ab", out);
  EXPECT_FALSE(CopyPath(out + 7, 10 - 7, "abc", 3));
  EXPECT_STREQ("C:\\dir\\", out);
  EXPECT_FALSE(CopyPath(out, 10, "C:\\dir\\abc"));
  EXPECT_STREQ("", out);
  EXPECT_EQ(kCanary, out[10]);
  EXPECT_EQ(kCanary, out[11]);
}

TEST(PathCopyTest, PathBufferHoldsAtMostOneByteLessThanItsSize) {
  char out[kPathBufferSize];
  const std::string longest(kPathBufferSize - 1, 'a');
  EXPECT_TRUE(CopyPath(out, longest.c_str()));
  EXPECT_EQ(longest, out);
  EXPECT_FALSE(CopyPath(out, (longest + "a").c_str()));
  EXPECT_TRUE(JoinPath(out, "C:\\", longest.substr(3).c_str()));
  EXPECT_FALSE(JoinPath(out, "C:\\", longest.substr(2).c_str()));
}

}  // namespace
}  // namespace kc
