#include "tests/safety/expected_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace kc::safety {
namespace {

NameFact Mac(uint16_t nameID, uint16_t languageID, const std::string& text) { return {1, languageID, nameID, text}; }
NameFact Win(uint16_t nameID, const std::string& cp932) { return {3, 0x411, nameID, cp932}; }

ContentFacts Facts(const std::string& signature, std::vector<FontFacts> fonts, bool unreadable = false) {
  return {signature, std::move(fonts), unreadable};
}

FontFacts Font(std::vector<NameFact> names, bool hasNameTable = true) { return {hasNameTable, std::move(names)}; }

struct VerdictCase {
  const char* what;
  std::string fileName;
  ContentFacts facts;
  bool product;
  std::string listedName;
};

TEST(JudgeFile, FollowsTheReadersRules) {
  const std::string jp = "\x96\xBE\x92\xA9";  // two double-byte characters
  const std::vector<VerdictCase> cases = {
      {"product OpenType", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "Kc A"), Mac(13, 0, "KCPL x")})}), true, "Kc A"},
      {"signature in lower case", "A.otf", Facts("otto", {Font({Mac(4, 11, "Kc A"), Mac(13, 0, "KCHS")})}), true, "Kc A"},
      {"upper-case extension", "A.OTF", Facts("OTTO", {Font({Mac(4, 11, "Kc A"), Mac(13, 0, "KCPL")})}), false, ""},
      {"TrueType flavour", "A.otf", Facts(std::string("\0\1\0\0", 4), {Font({Mac(4, 11, "A"), Mac(13, 0, "KCPL")})}), false, ""},
      {"kind 1", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "A"), Mac(13, 0, "Mfvl")})}), false, ""},
      {"collection tag in OpenType", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "A"), Mac(13, 0, "KCOV")})}), false, ""},
      {"tag on Windows only", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "A"), Win(13, "KCPL")})}), false, ""},
      {"English full name only", "A.otf", Facts("OTTO", {Font({Mac(4, 0, "A"), Mac(13, 0, "KCPL")})}), false, ""},
      {"ZUSuuji by file name", "ZUSuuji-R.otf", Facts("OTTO", {Font({Mac(13, 0, "KCHV")})}), true, "ZUSuuji-R"},
      {"zusuuji is another family", "zusuuji-R.otf", Facts("OTTO", {Font({Mac(13, 0, "KCHV")})}), false, ""},
      {"later description decides", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "A"), Mac(13, 0, "KCPL"), Mac(13, 0, "Ncvl")})}), false, ""},
      {"a short later one does not", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "A"), Mac(13, 0, "KCPL"), Mac(13, 0, "KC")})}), true, "A"},
      {"full name cut to 255 bytes", "A.otf", Facts("OTTO", {Font({Mac(4, 11, std::string(300, 'N')), Mac(13, 0, "KCPL")})}), true, std::string(255, 'N')},
      {"tag unreadable", "A.otf", Facts("OTTO", {Font({Mac(4, 11, "A"), Mac(13, 0, "KCPL")})}, true), false, ""},
      {"product collection, Windows text", "C.ttc", Facts("ttcf", {Font({Win(13, "KCOV " + jp)})}), true, "C"},
      {"last font's text wins", "C.ttc", Facts("ttcf", {Font({Mac(13, 0, "KCHB")}), Font({Win(13, "Free")})}), false, ""},
      {"a font without text keeps the earlier", "C.ttc", Facts("ttcf", {Font({Mac(13, 0, "MVST")}), Font({})}), true, "C"},
      {"OpenType-only tag in a collection", "C.ttc", Facts("ttcf", {Font({Mac(13, 0, "KCHS")})}), false, ""},
      {"65-byte description anywhere", "C.ttc", Facts("ttcf", {Font({Mac(13, 0, "KCOV" + std::string(61, 'x'))}), Font({Mac(13, 0, "KCOV")})}), false, ""},
      {"64-byte description", "C.ttc", Facts("ttcf", {Font({Mac(13, 0, "KCOV" + std::string(60, 'x'))})}), true, "C"},
      {"a font without a name table", "C.ttc", Facts("ttcf", {Font({Mac(13, 0, "KCOV")}), Font({}, false)}), false, ""},
      {"no fonts", "C.ttc", Facts("ttcf", {}), false, ""},
      {"one OpenType font in a .ttc", "C.Set.ttc", Facts("OTTO", {Font({Mac(13, 0, "KCVT")})}), true, "C.Set"},
      {"one TrueType font in a .ttc", "C.ttc", Facts(std::string("\0\1\0\0", 4), {Font({Mac(13, 0, "KCVT")})}), false, ""},
      {"upper-case collection extension", "C.TTC", Facts("ttcf", {Font({Mac(13, 0, "KCOV")})}), false, ""},
      {"no extension", "KCOV", Facts("ttcf", {Font({Mac(13, 0, "KCOV")})}), false, ""},
  };
  for (const VerdictCase& c : cases) {
    const FontVerdict verdict = JudgeFile(c.fileName, c.facts);
    EXPECT_EQ(c.product, verdict.product) << c.what;
    if (c.product) {
      EXPECT_EQ(c.listedName, verdict.listedName) << c.what;
    }
  }
}

TEST(SameIgnoringCase, FoldsAsciiOnlyAndStepsOverDoubleByteCharacters) {
  EXPECT_TRUE(SameIgnoringCase("C:\\WINDOWS\\FONTS\\A.OTF", "c:\\windows\\Fonts\\a.otf"));
  EXPECT_FALSE(SameIgnoringCase("A.otf", "A.otf "));
  // 0x83 0x61 and 0x83 0x41 are two different characters, though their trail bytes are 'a' and 'A'.
  EXPECT_FALSE(SameIgnoringCase("\x83\x61", "\x83\x41"));
  EXPECT_TRUE(SameIgnoringCase("\x95\x5C" "a", "\x95\x5C" "A"));
}

TEST(FolderOf, NeverSplitsADoubleByteCharacter) {
  const std::string path = "D:\\\x95\x5C\x8E\xA6\\\x83\x5C.otf";  // 表示\ソ.otf: both end in 0x5C
  EXPECT_EQ("D:\\\x95\x5C\x8E\xA6\\", FolderOf(path));
  EXPECT_EQ("\x83\x5C.otf", FileNameOf(path));
  EXPECT_EQ("D:\\", FolderOf("D:\\\x83\x5C"));
}

Machine OneFileMachine(WindowsVersion version, const std::string& path, const std::string& tag, bool locked) {
  Machine machine;
  machine.version = version;
  GeneratedFile file;
  file.path = path;
  file.facts = Facts(FileNameOf(path).find(".ttc") != std::string::npos ? "ttcf" : "OTTO",
                     {Font({Mac(4, 11, "Kc Name"), Mac(13, 0, tag)})});
  file.lockedByTest = locked;
  machine.files.push_back(file);
  return machine;
}

TEST(ComputeExpectedState, UninstallsOnlyDirectlyInTheFontsFolderAsTheVersionDecides) {
  struct Case {
    WindowsVersion version;
    std::string path;
    bool locked;
    Fate fate;
    bool uninstalled;
  };
  const std::vector<Case> cases = {
      {WindowsVersion::kVista, "C:\\windows\\Fonts\\A.otf", false, Fate::kRemoved, true},
      {WindowsVersion::kVista, "C:\\WINDOWS\\FONTS\\A.otf", false, Fate::kRemoved, true},
      {WindowsVersion::kWinXp, "C:\\windows\\Fonts\\A.otf", false, Fate::kRemoved, false},
      {WindowsVersion::kWin7, "C:\\windows\\Fonts\\A.otf", false, Fate::kRemoved, false},
      {WindowsVersion::kVista, "C:\\windows\\Fonts\\old\\A.otf", false, Fate::kRemoved, false},
      {WindowsVersion::kWin2k, "C:\\windows\\Fonts\\C.ttc", false, Fate::kRemoved, true},
      {WindowsVersion::kWin2k, "D:\\C.ttc", false, Fate::kRemoved, false},
      {WindowsVersion::kVista, "C:\\windows\\Fonts\\A.otf", true, Fate::kRemovedAtRestart, true},
      {WindowsVersion::kWinXp, "D:\\A.otf", true, Fate::kInUse, false},
      {WindowsVersion::kVista, "C:\\windows\\Fonts\\old\\A.otf", true, Fate::kInUse, false},
      {WindowsVersion::kWinXp, "C:\\windows\\Fonts\\C.ttc", true, Fate::kRemovedAtRestart, true},
  };
  for (const Case& c : cases) {
    const bool collection = c.path.find(".ttc") != std::string::npos;
    const ExpectedState expected = ComputeExpectedState(OneFileMachine(c.version, c.path, collection ? "KCOV" : "KCPL", c.locked));
    ASSERT_EQ(1u, expected.fates.size());
    EXPECT_EQ(c.fate, expected.fates[0]) << c.path;
    EXPECT_EQ(c.uninstalled, !expected.uninstalledNames.empty()) << c.path << " on " << WindowsVersionName(c.version);
    EXPECT_EQ(c.fate == Fate::kRemovedAtRestart ? 1u : 0u, expected.removedAtRestart.size()) << c.path;
    EXPECT_EQ(c.fate == Fate::kInUse ? 1u : 0u, expected.notRemoved.size()) << c.path;
  }
}

TEST(ComputeExpectedState, CleanUpRemovesOnlyTheProductFoldersLeftEmpty) {
  const std::vector<std::string> folders = ProductFolders();  // ZIZAV, Utility, Fonts, Kestrel
  struct Case {
    const char* what;
    std::vector<std::string> keptFiles;  // besides the tools, which always go
    std::vector<std::string> removed;
  };
  const std::vector<Case> cases = {
      {"nothing of the user's", {}, {folders[0], folders[1], folders[2], folders[3]}},
      {"a file of the user's in Fonts", {folders[2] + "readme.txt"}, {folders[0], folders[1]}},
      {"a file of the user's in ZIZAV", {folders[0] + "ZIZAVInstaller.exe.bak"}, {folders[1]}},
  };
  for (const Case& c : cases) {
    Machine machine;
    for (size_t i : {3, 2, 0, 1}) machine.directories.push_back({folders[i], false, true});
    GeneratedFile tool;
    tool.path = folders[0] + "ZIZAVInstaller.exe";
    tool.productTool = true;
    machine.files.push_back(tool);
    for (const std::string& path : c.keptFiles) {
      GeneratedFile file;
      file.path = path;
      file.facts.tagUnreadable = true;
      machine.files.push_back(file);
    }
    const ExpectedState expected = ComputeExpectedState(machine);
    EXPECT_EQ(Fate::kRemoved, expected.fates[0]) << c.what;
    EXPECT_EQ(c.removed, expected.removedDirectories) << c.what;
  }
}

TEST(RunDeletesFontTableValue, BareNameOrFontsFolderPathLetterCaseAside) {
  ExpectedState expected;
  expected.uninstalledNames = {"Kc-A.otf"};
  EXPECT_TRUE(RunDeletesFontTableValue(expected, "KC-A.OTF"));
  EXPECT_TRUE(RunDeletesFontTableValue(expected, "C:\\WINDOWS\\Fonts\\kc-a.otf"));
  EXPECT_FALSE(RunDeletesFontTableValue(expected, "D:\\Kc-A.otf"));
  EXPECT_FALSE(RunDeletesFontTableValue(expected, "C:\\windows\\Fonts\\old\\Kc-A.otf"));
  EXPECT_FALSE(RunDeletesFontTableValue(expected, "Kc-A.otf,1"));
}

// The machines are what the test is worth: the same seed gives the same machine, the facts
// describe the bytes, and twenty seeds cover every rule the run is judged by.
TEST(GenerateMachine, IsReproducibleAndItsFactsMatchItsBytes) {
  const Machine a = GenerateMachine(42);
  const Machine b = GenerateMachine(42);
  ASSERT_EQ(a.files.size(), b.files.size());
  for (size_t i = 0; i < a.files.size(); ++i) {
    EXPECT_EQ(a.files[i].path, b.files[i].path);
    EXPECT_EQ(a.files[i].bytes, b.files[i].bytes);
  }
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    for (const GeneratedFile& file : GenerateMachine(seed).files) {
      EXPECT_EQ(file.bytes.substr(0, 4), file.facts.firstFourBytes) << file.path;
      if (file.facts.tagUnreadable) continue;
      for (const FontFacts& font : file.facts.fonts) {
        if (!font.hasNameTable) continue;
        for (const NameFact& name : font.names) {
          if (name.platformID == 1) {
            EXPECT_NE(std::string::npos, file.bytes.find(name.text)) << file.path;
          }
        }
      }
      // Damaged and random files never enter the Fonts folder's tree.
      if (file.path.compare(0, std::string(kFontsFolder).size(), kFontsFolder) == 0) {
        EXPECT_FALSE(file.facts.tagUnreadable) << file.path;
      }
    }
  }
}

TEST(GenerateMachine, TwentySeedsCoverTheRules) {
  std::set<std::string> versions;
  std::set<std::string> removedTags;  // "otf KCHS", "ttc KCOV", ...: every product tag removes something
  std::map<Fate, int> fates;
  int uninstalled = 0, lockedProducts = 0, listedOpenType = 0, listedCollections = 0, deletedValues = 0;
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    const Machine machine = GenerateMachine(seed);
    const ExpectedState expected = ComputeExpectedState(machine);
    versions.insert(WindowsVersionName(machine.version));
    for (Fate fate : expected.fates) ++fates[fate];
    uninstalled += static_cast<int>(expected.uninstalledNames.size());
    lockedProducts += static_cast<int>(expected.removedAtRestart.size() + expected.notRemoved.size());
    listedOpenType += static_cast<int>(expected.removedOpenType.size());
    listedCollections += static_cast<int>(expected.removedCollections.size());
    for (size_t i = 0; i < machine.files.size(); ++i) {
      if (expected.fates[i] == Fate::kStays) continue;
      const bool collection = FileNameOf(machine.files[i].path).rfind(".ttc") != std::string::npos;
      for (const FontFacts& font : machine.files[i].facts.fonts) {
        for (const NameFact& name : font.names) {
          if (name.nameID == 13 && name.text.size() >= 4) removedTags.insert((collection ? "ttc " : "otf ") + name.text.substr(0, 4));
        }
      }
    }
    for (const GeneratedValue& value : machine.fontTableValues) {
      if (value.type == kRegString && RunDeletesFontTableValue(expected, value.data)) ++deletedValues;
    }
  }
  EXPECT_EQ(4u, versions.size());
  for (const char* tag : {"KCHS", "KCHV", "KCHX", "KCPL", "KCPH"}) {
    EXPECT_EQ(1u, removedTags.count(std::string("otf ") + tag)) << tag;
  }
  for (const char* tag : {"KCOV", "KCHV", "KCPL", "KCPH", "KCVT", "KCHB", "SLH1", "SLH3", "SLH5", "MSTB", "MST1",
                          "MST2", "MST4", "MVST"}) {
    EXPECT_EQ(1u, removedTags.count(std::string("ttc ") + tag)) << tag;
  }
  EXPECT_GT(fates[Fate::kStays], 100);
  EXPECT_GT(fates[Fate::kRemoved], 50);
  EXPECT_GT(lockedProducts, 0);
  EXPECT_GT(uninstalled, 5);
  EXPECT_GT(listedOpenType, 20);
  EXPECT_GT(listedCollections, 10);
  EXPECT_GT(deletedValues, 5);
}

}  // namespace
}  // namespace kc::safety
