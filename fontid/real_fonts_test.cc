// Fonts that no one here wrote, from Debian's font packages: both readers must read them without
// error, and none may ever pass for a product font. Natively they are read where the packages put
// them; under Wine the test bed copies a few next to the test program.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/result_code.h"
#include "fontid/ansi_converter.h"
#include "fontid/collection_reader.h"
#include "fontid/description_tag.h"
#include "fontid/name_tag_ctrl.h"
#include "fontid/opentype_signature.h"
#include "fontid/sfnt_name_reader.h"
#ifdef _WIN32
#include "tests/support/ansi_wide-win32.h"
#endif

namespace kc {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const char* const kFontFolders[] = {"C:\\tests"};
#else
const char* const kFontFolders[] = {"/usr/share/fonts", "/usr/share/texmf/fonts/opentype/public/lm"};
#endif

std::vector<std::string> FontsWithExtension(const std::string& extension) {
  std::vector<std::string> paths;
  for (const char* folder : kFontFolders) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
      if (!it->is_regular_file()) continue;
      std::string ext = it->path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (ext == extension) paths.push_back(it->path().string());
    }
  }
  return paths;
}

int16_t ReadOpenType(const std::string& path, OpenTypeFontRecord& record) {
  std::memset(&record, 0, sizeof record);
  std::strncpy(record.path, path.c_str(), sizeof record.path - 1);
  return ReadSfntNameInfo(record);
}

TEST(RealFontsTest, OpenTypeAndTrueTypeFontsAreReadAndNeverProductFonts) {
  const std::vector<std::string> otf = FontsWithExtension(".otf");
  const std::vector<std::string> ttf = FontsWithExtension(".ttf");
  ASSERT_FALSE(otf.empty()) << "no .otf font installed (scripts/setup installs some)";
  ASSERT_FALSE(ttf.empty()) << "no .ttf font installed (scripts/setup installs some)";
  for (const std::string& path : otf) {
    EXPECT_TRUE(IsOpenTypeCffFile(path.c_str())) << path;
    OpenTypeFontRecord record;
    EXPECT_EQ(0, ReadOpenType(path, record)) << path;
    EXPECT_NE(kKindProductOpenType, record.kind) << path;
  }
  for (const std::string& path : ttf) {
    EXPECT_FALSE(IsOpenTypeCffFile(path.c_str())) << path;
    OpenTypeFontRecord record;
    EXPECT_EQ(0, ReadOpenType(path, record)) << path;
    EXPECT_NE(kKindProductOpenType, record.kind) << path;
  }
}

// Noto CJK collections carry a licence description (nameID 13) far longer than 64 bytes, so the
// collection reader rejects them as malformed; any other answer would mean it misread them.
TEST(RealFontsTest, CollectionsAreReadAndNeverProductFonts) {
  const std::vector<std::string> ttc = FontsWithExtension(".ttc");
  ASSERT_FALSE(ttc.empty()) << "no .ttc font installed (scripts/setup installs fonts-noto-cjk)";
  for (const std::string& path : ttc) {
    std::vector<unsigned char> bytes(static_cast<size_t>(fs::file_size(path)));
    {
      std::ifstream in(path, std::ios::binary);
      in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      ASSERT_TRUE(in && !bytes.empty()) << path;
    }  // closed: the collection reader shares the file with no one
    char description[kDescriptionMax + 1] = {};
    CNameTagCtrl control(ConvertToAnsiCodePage);
    const bool read =
        control.ReadNameTag(static_cast<int32_t>(bytes.size()), bytes.data(), description);
    EXPECT_TRUE(!read || ClassifyCollectionTag(description) == kUnknownCollectionTag) << path;
    if (path.find("Noto") != std::string::npos) {
      EXPECT_FALSE(read) << path;
    }

#ifdef _WIN32
    CollectionFontRecord record;
    const int32_t result = IdentifyCollectionFont(testsupport::WideOf(path).c_str(), path.c_str(), "base", record);
    EXPECT_TRUE(result == kCollectionMalformed || result == kUnknownCollectionTag)
        << path << ": " << result;
    EXPECT_EQ(kKindNotIdentified, record.kind) << path;
#endif
  }
}

}  // namespace
}  // namespace kc
