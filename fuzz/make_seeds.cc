// Writes the fuzzers' seed corpora with the test font builder:
//   make_seeds SFNT_DIR NAME_TAG_DIR
// The seeds are committed (fuzz/corpus/); run this again only to change them.

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fonts/font_builder.h"
#include "tests/fonts/hostile_fonts.h"

namespace {

using namespace kc::testfonts;

FontSpec Font(std::vector<NameRecord> names, uint32_t version = kOttoVersion) {
  FontSpec font;
  font.sfntVersion = version;
  font.names = std::move(names);
  return font;
}

NameRecord MacJapaneseName(const std::string& text) {
  return MacName(kNameIdFullName, kMacLanguageJapanese, text);
}
NameRecord WinFullName() { return WindowsName(kNameIdFullName, u"Seed Font"); }

bool Write(const std::string& dir, const std::string& name, const std::string& bytes) {
  if (WriteFontFile(dir + "/" + name, bytes)) return true;
  std::fprintf(stderr, "make_seeds: cannot write %s/%s\n", dir.c_str(), name.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_seeds SFNT_DIR NAME_TAG_DIR\n");
    return 2;
  }
  const std::string sfnt = argv[1];
  const std::string nameTag = argv[2];
  FontSpec noName;
  noName.withNameTable = false;
  const std::string sjis = "\x83\x4A\x83\x58\x83\x67\x83\x8C\x83\x8B";

  bool ok = true;
  ok &= Write(sfnt, "product", BuildFont(Font({MacJapaneseName(sjis), MacDescription("KCHV licence")})));
  ok &= Write(sfnt, "other-vendor", BuildFont(Font({WinFullName(), MacJapaneseName("Name"),
                                                    MacDescription("Mfvl"), MacDescription("KC")})));
  ok &= Write(sfnt, "windows-only", BuildFont(Font({WinFullName(), WindowsDescription(u"KCHS")})));
  ok &= Write(sfnt, "no-name-table", BuildFont(noName));
  ok &= Write(sfnt, "truetype", BuildFont(Font({MacJapaneseName("Name"), MacDescription("KCPL")},
                                               kTrueTypeVersion)));
  ok &= Write(sfnt, "long-names", BuildFont(Font({MacJapaneseName(std::string(300, 'N')),
                                                  MacDescription("KCPH" + std::string(80, 'x'))})));
  std::string katakana130;
  for (int i = 0; i < 130; ++i) katakana130 += "\x83\x89";
  ok &= Write(sfnt, "long-katakana-name", BuildFont(Font({MacJapaneseName(katakana130), MacDescription("KCHX")})));
  std::string farNameTable = BuildFont(Font({MacJapaneseName("Name"), MacDescription("KCHV")}));
  PutU32(farNameTable, 12 + 16 * 2 + 8, 0x80000000);  // the name table's offset: past 2^31 - 1
  ok &= Write(sfnt, "far-name-table", farNameTable);

  ok &= Write(nameTag, "three-fonts", BuildCollection({Font({WinFullName()}),
                                                       Font({WinFullName(), WindowsDescription(u"KCOV")}),
                                                       Font({WinFullName()})}));
  ok &= Write(nameTag, "mac-and-unicode", BuildCollection({Font({MacDescription("KCHV")}),
                                                           Font({WindowsDescription(u"SLH1\u30E9")})}));
  ok &= Write(nameTag, "no-description", BuildCollection({Font({WinFullName()}), Font({})}));
  ok &= Write(nameTag, "no-name-table", BuildCollection({Font({WindowsDescription(u"KCOV")}), noName}));
  ok &= Write(nameTag, "no-fonts", BuildCollection({}));
  ok &= Write(nameTag, "single-otto", BuildFont(Font({WinFullName(), WindowsDescription(u"KCPH")})));
  ok &= Write(nameTag, "limits", BuildCollection({Font({MacDescription(std::string(64, 'M'))}),
                                                  Font({WindowsDescription(std::u16string(64, u'U'))})}));
  // Files that cost a naive walk time out of all proportion to their size.
  const std::u16string ascii64 = u"KCOV" + std::u16string(60, u'x');
  ok &= Write(nameTag, "repeated-font-840", BuildRepeatedFontCollection(840, 5000, ascii64));
  ok &= Write(nameTag, "repeated-font-65535", BuildRepeatedFontCollection(100, 65535, ascii64));
  ok &= Write(nameTag, "repeated-font-katakana",
              BuildRepeatedFontCollection(840, 5000, u"KCOV" + std::u16string(30, u'\u30E9')));
  ok &= Write(nameTag, "overlapping-name-tables", BuildOverlappingNameTables(500, 2000));
  ok &= Write(nameTag, "overlapping-directories", BuildOverlappingDirectories(2000));
  ok &= Write(nameTag, "katakana-66-bytes",
              BuildCollection({Font({WindowsDescription(u"KCOV" + std::u16string(31, u'\u30E9'))})}));
  return ok ? 0 : 1;
}
