#include "tests/support/ansi_wide-win32.h"
#include "fontid/collection_reader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/result_code.h"
#include "fontid/ansi_converter.h"
#include "fontid/name_tag_ctrl.h"
#include "tests/fonts/font_builder.h"
#include "tests/fonts/scratch_dir.h"

namespace kc {
namespace {

using namespace testfonts;

// "KCOV" and the katakana of "licence" in code page 932.
const char kKcovLicenceCp932[] = "KCOV\x83\x89\x83\x43\x83\x5A\x83\x93\x83\x58";
const char16_t kKcovLicence[] = u"KCOV\u30E9\u30A4\u30BB\u30F3\u30B9";

NameRecord FullName() { return WindowsName(kNameIdFullName, u"Some Font"); }

struct Identified {
  int32_t result;
  CollectionFontRecord record;
};

Identified Identify(const std::string& path, const char* baseName = "Sample") {
  Identified out;
  std::memset(&out.record, 0x7F, sizeof out.record);  // the wrapper must reset it
  out.result = IdentifyCollectionFont(testsupport::WideOf(path).c_str(), path.c_str(), baseName, out.record);
  return out;
}

class CollectionReaderTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes, const std::string& name = "Sample.ttc") {
    const std::string path = dir_.Path(name);
    EXPECT_TRUE(WriteFontFile(path, bytes)) << path;
    return path;
  }
  ScratchDir dir_;
};

struct FileCase {
  const char* label;
  std::string bytes;
  int32_t result;
  int32_t kind;
};

TEST_F(CollectionReaderTest, IdentifiesProductCollectionsThroughTheMapping) {
  FontSpec noNameTable;
  noNameTable.withNameTable = false;
  FontSpec trueType = FontWith({WindowsDescription(u"KCOV")});
  trueType.sfntVersion = kTrueTypeVersion;
  const FileCase cases[] = {
      {"KCOV in the second of three fonts",
       BuildCollection({FontWith({FullName()}), FontWith({FullName(), WindowsDescription(u"KCOV 2026")}),
                        FontWith({FullName()})}),
       kOk, 3},
      {"KCHV", BuildCollection({FontWith({MacDescription("KCHV")})}), kOk, 4},
      {"MVST, the last of the tags", BuildCollection({FontWith({WindowsDescription(u"MVST")})}), kOk, 4},
      {"KCHS counts only in OpenType files", BuildCollection({FontWith({WindowsDescription(u"KCHS")})}),
       kUnknownCollectionTag, -1},
      {"no font has a description", BuildCollection({FontWith({FullName()}), FontWith({FullName()})}),
       kUnknownCollectionTag, -1},
      {"one font without a name table",
       BuildCollection({FontWith({WindowsDescription(u"KCOV")}), noNameTable}), kCollectionMalformed, -1},
      {"numFonts 0", BuildCollection({}), kUnknownCollectionTag, -1},
      {"Mac description of 65 bytes",
       BuildCollection({FontWith({MacDescription("KCOV" + std::string(61, 'x'))}),
                        FontWith({WindowsDescription(u"KCOV")})}),
       kCollectionMalformed, -1},
      {"a single OpenType font", BuildFont(FontWith({WindowsDescription(u"KCPL")})), kOk, 4},
      {"a TrueType font", BuildFont(trueType), kCollectionMalformed, -1},
      {"3 bytes", "ttc", kCollectionMalformed, -1},
      {"numFonts 2^31-1 in a small file",
       [] {
         std::string bytes = BuildCollection({FontWith({WindowsDescription(u"KCOV")})});
         PutU32(bytes, 8, 0x7FFFFFFF);
         return bytes;
       }(),
       kCollectionMalformed, -1},
      {"empty file: nothing to map", "", kCollectionMapFailed, -1},
  };
  for (const FileCase& c : cases) {
    const std::string path = Write(c.bytes);
    const Identified out = Identify(path);
    EXPECT_EQ(c.result, out.result) << c.label;
    EXPECT_EQ(c.kind, out.record.kind) << c.label;
    EXPECT_STREQ(path.c_str(), out.record.path) << c.label;
    EXPECT_STREQ("Sample", out.record.fileName) << c.label;
    // Nothing of the file stays open: the removal deletes it next.
    EXPECT_TRUE(DeleteFileA(path.c_str())) << c.label << ": error " << GetLastError();
  }
}

// The tag that identified the collection is kept for the run's log; a collection that is not the
// product's keeps the empty tag of a fresh record.
TEST_F(CollectionReaderTest, KeepsTheProductTag) {
  Identified out = Identify(Write(BuildCollection({FontWith({WindowsDescription(u"KCOV 2026")})})));
  EXPECT_EQ(kOk, out.result);
  EXPECT_STREQ("KCOV", out.record.tag);
  out = Identify(Write(BuildCollection({FontWith({MacDescription("MST2")})})));
  EXPECT_STREQ("MST2", out.record.tag);
  out = Identify(Write(BuildCollection({FontWith({MacDescription("ABCD")})})));
  EXPECT_EQ(kUnknownCollectionTag, out.result);
  EXPECT_STREQ("", out.record.tag);
}

TEST_F(CollectionReaderTest, RecordBuffersAreFilledBoundedAndTerminated) {
  const std::string path = Write(BuildCollection({FontWith({WindowsDescription(u"KCOV")})}));
  const std::string longName(3000, 'n');
  const Identified out = Identify(path, longName.c_str());
  EXPECT_EQ(kOk, out.result);
  EXPECT_EQ(longName.substr(0, kCollectionPathSize - 1), out.record.fileName);
  for (size_t i = path.size(); i < sizeof out.record.path; ++i) {
    ASSERT_EQ('\0', out.record.path[i]) << "path buffer cleared over its full length, at " << i;
  }

  Identified missing = Identify(dir_.Path("absent.ttc"));
  EXPECT_EQ(kCollectionOpenFailed, missing.result);
  EXPECT_EQ(-1, missing.record.kind);
}

TEST_F(CollectionReaderTest, PathsInCodePage932) {
  const std::string path = Write(BuildCollection({FontWith({WindowsDescription(u"KCPH")})}),
                                 "\x83\x54\x83\x93\x83\x76\x83\x8B.ttc");  // katakana "sample"
  EXPECT_EQ(kOk, Identify(path).result);
}

TEST_F(CollectionReaderTest, FileHeldOpenIsReadUnlessItsHolderSharesNoReading) {
  const std::string path = Write(BuildCollection({FontWith({WindowsDescription(u"KCOV")})}));
  struct Holder {
    DWORD access;
    DWORD share;
    int32_t expected;
  };
  const Holder holders[] = {
      {GENERIC_READ, 0, kCollectionOpenFailed},  // nobody can read it
      {GENERIC_READ, FILE_SHARE_READ, kOk},      // a font in use, as Windows and applications hold them
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, kOk},
      {GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kOk},
  };
  for (const Holder& holder : holders) {
    HANDLE held = CreateFileA(path.c_str(), holder.access, holder.share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const Identified out = Identify(path);
    EXPECT_EQ(holder.expected, out.result) << "held with access " << std::hex << holder.access << ", share "
                                           << holder.share;
    EXPECT_EQ(holder.expected == kOk ? kKindProductCollectionCov : -1, out.record.kind);
    CloseHandle(held);
  }
  EXPECT_EQ(kOk, Identify(path).result);
}

// The second process is this program, started with --hold (see main below).
TEST_F(CollectionReaderTest, FileHeldWithoutSharingByAnotherProcessIsRefused) {
  const std::string path = Write(BuildCollection({FontWith({WindowsDescription(u"KCOV")})}));
  const std::string eventBase = "kc-hold-" + std::to_string(GetCurrentProcessId());
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (eventBase + "-ready").c_str());
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, (eventBase + "-release").c_str());
  ASSERT_TRUE(ready && release);

  char self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
  std::string commandLine = std::string("\"") + self + "\" --hold \"" + path + "\" " + eventBase;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << "error " << GetLastError();
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 20000)) << "the holder did not open the file";

  EXPECT_EQ(kCollectionOpenFailed, Identify(path).result);

  SetEvent(release);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000));
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(0u, exitCode) << "the holder's own open failed";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(ready);
  CloseHandle(release);
  EXPECT_EQ(kOk, Identify(path).result) << "readable once the other process has let go";
}

// Unicode descriptions are converted to code page 932, where katakana take two bytes each, and the
// converted text must fit 64 bytes.
TEST_F(CollectionReaderTest, UnicodeDescriptionsBecomeCodePage932) {
  ASSERT_EQ(932u, GetACP());

  const std::string bytes = BuildCollection({FontWith({WindowsDescription(kKcovLicence)})});
  std::vector<unsigned char> view(bytes.begin(), bytes.end());
  char nameTag[kDescriptionMax + 1] = {};
  CNameTagCtrl control(ConvertToAnsiCodePage);
  ASSERT_TRUE(control.ReadNameTag(static_cast<int32_t>(view.size()), view.data(), nameTag));
  EXPECT_STREQ(kKcovLicenceCp932, nameTag);

  // "KCOV" and 30 katakana are 64 bytes; one more is 66.
  const std::u16string fits = u"KCOV" + std::u16string(30, u'\u30E9');
  EXPECT_EQ(kOk, Identify(Write(BuildCollection({FontWith({WindowsDescription(fits)})}))).result);
  EXPECT_EQ(kCollectionMalformed,
            Identify(Write(BuildCollection({FontWith({WindowsDescription(fits + u"\u30E9")})}))).result);
  // 60 ASCII units and 2 katakana: 64 bytes; with a 65th (ASCII) byte it fails.
  const std::u16string mixed = u"KCOV" + std::u16string(56, u'x') + u"\u30E9\u30E9";
  EXPECT_EQ(kOk, Identify(Write(BuildCollection({FontWith({WindowsDescription(mixed)})}))).result);
  EXPECT_EQ(kCollectionMalformed,
            Identify(Write(BuildCollection({FontWith({WindowsDescription(mixed + u"x")})}))).result);
}

// The other process of FileHeldOpenByAnotherProcessIsRefused: opens the file without sharing,
// signals, and holds it until released.
int HoldFileOpen(const char* path, const std::string& eventBase) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (eventBase + "-ready").c_str());
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, (eventBase + "-release").c_str());
  if (file == INVALID_HANDLE_VALUE || !ready || !release) return 1;
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseHandle(file);
  CloseHandle(ready);
  CloseHandle(release);
  return 0;
}

}  // namespace
}  // namespace kc

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--hold") == 0) return kc::HoldFileOpen(argv[2], argv[3]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
