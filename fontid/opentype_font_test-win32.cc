// The one-open path for .otf files against the two named operations it stands for, and on files
// that another holder keeps open.
#include "tests/support/ansi_wide-win32.h"
#include "fontid/opentype_font.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fontid/opentype_signature.h"
#include "fontid/sfnt_name_reader.h"
#include "tests/fonts/font_builder.h"
#include "tests/fonts/scratch_dir.h"

namespace kc {
namespace {

using namespace testfonts;

OpenTypeFontRecord RecordFor(const std::string& path) {
  OpenTypeFontRecord record;
  std::memset(&record, 0, sizeof record);
  std::strcpy(record.path, path.c_str());
  return record;
}

TEST(IdentifyOpenTypeFile, AnswersExactlyAsTheSignatureCheckAndTheNameReader) {
  FontSpec trueType = FontWith({MacName(kNameIdFullName, kMacLanguageJapanese, "TT"), MacDescription("KCHV")});
  trueType.sfntVersion = kTrueTypeVersion;
  std::string cutShort = BuildTaggedOpenType("Kc Cut", "KCHV");
  cutShort.resize(NameTableOffset(cutShort) + 10);  // the name records end early
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"product", BuildTaggedOpenType("Kc Gothic M", "KCHV")},
      {"other vendor", BuildTaggedOpenType("Other", "Mfvl")},
      {"lower-case signature", "otto" + BuildTaggedOpenType("Kc Odd", "KCHV").substr(4)},
      {"TrueType flavour", BuildFont(trueType)},
      {"name records cut short", cutShort},
      {"no name table", [] {
         FontSpec font;
         font.withNameTable = false;
         return BuildFont(font);
       }()},
      {"three bytes", "OTT"},
      {"empty", ""},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.Path("font.otf");
    ASSERT_TRUE(WriteFontFile(path, c.bytes)) << c.label;
    OpenTypeFontRecord separate = RecordFor(path);
    const bool cff = IsOpenTypeCffFile(path.c_str());
    const ResultCode separateResult = cff ? ReadSfntNameInfo(separate) : kOk;

    OpenTypeFontRecord once = RecordFor(path);
    ResultCode onceResult = static_cast<ResultCode>(12345);  // a canary
    EXPECT_EQ(cff, IdentifyOpenTypeFile(testsupport::WideOf(path).c_str(), once, onceResult)) << c.label;
    if (!cff) {
      EXPECT_EQ(12345, onceResult) << c.label << ": no name read without the signature";
      continue;
    }
    EXPECT_EQ(separateResult, onceResult) << c.label;
    EXPECT_EQ(0, std::memcmp(&separate, &once, sizeof once)) << c.label << ": the same record, byte for byte";
  }
  OpenTypeFontRecord missing = RecordFor(dir.Path("absent.otf"));
  ResultCode ignored = kOk;
  EXPECT_FALSE(IdentifyOpenTypeFile(testsupport::WideOf(dir.Path("absent.otf")).c_str(), missing, ignored));
}

TEST(IdentifyOpenTypeFile, AFontInUseIsReadUnlessItsHolderSharesNoReading) {
  ScratchDir dir;
  const std::string path = dir.Path("held.otf");
  ASSERT_TRUE(WriteFontFile(path, BuildTaggedOpenType("Kc Held", "KCHV")));
  const struct {
    const char* label;
    DWORD access;
    DWORD share;
    bool read;
  } holders[] = {
      {"reading shared, as Windows holds an installed font", GENERIC_READ, FILE_SHARE_READ, true},
      // A plain "rb" open shares no deletion, so it fails on this holder.
      {"holder that may delete it", GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
       true},
      {"nothing shared", GENERIC_READ, 0, false},
  };
  for (const auto& holder : holders) {
    HANDLE held = CreateFileA(path.c_str(), holder.access, holder.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held) << holder.label;
    OpenTypeFontRecord record = RecordFor(path);
    ResultCode result = static_cast<ResultCode>(-1);
    EXPECT_EQ(holder.read, IdentifyOpenTypeFile(testsupport::WideOf(path).c_str(), record, result)) << holder.label;
    if (holder.read) {
      EXPECT_EQ(0, result) << holder.label;
      EXPECT_STREQ("Kc Held", record.fullName) << holder.label;
      EXPECT_EQ(kKindProductOpenType, record.kind) << holder.label;
    }
    CloseHandle(held);
  }
}

}  // namespace
}  // namespace kc
