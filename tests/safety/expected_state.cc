#include "tests/safety/expected_state.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kc::safety {
namespace {

constexpr size_t kFullNameMax = 255;
constexpr size_t kDescriptionMax = 64;
constexpr uint16_t kMacintosh = 1;
constexpr uint16_t kMacJapanese = 11;
constexpr uint16_t kFullNameId = 4;
constexpr uint16_t kWindowsPlatform = 3;
constexpr uint16_t kWindowsJapanese = 0x0411;
constexpr uint16_t kDescriptionId = 13;

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpToZero(const std::string& text, size_t max) {
  const std::string head = text.substr(0, std::min(max, text.size()));
  return head.substr(0, head.find('\0'));
}

// OpenType tags: 1 for the other vendor's, 2 for the product's, 0 for anything else.
int OpenTypeKind(const std::string& tag) {
  for (const char* known : {"Mfvl", "Ncvl"}) {
    if (tag == known) return 1;
  }
  for (const char* known : {"KCHS", "KCHV", "KCHX", "KCPL", "KCPH"}) {
    if (tag == known) return 2;
  }
  return 0;
}

bool IsCollectionProductTag(const std::string& tag) {
  for (const char* known : {"KCOV", "KCHV", "KCPL", "KCPH", "KCVT", "KCHB", "SLH1", "SLH3", "SLH5",
                            "MSTB", "MST1", "MST2", "MST4", "MVST"}) {
    if (tag == known) return true;
  }
  return false;
}

// The OpenType reader: the Macintosh Japanese full name and the Macintosh descriptions, in
// record order. Each full name overwrites the field from its start for its own length only. The
// list shows the last Windows Japanese full name that is not empty, where there is one.
FontVerdict JudgeOpenType(const std::string& stem, const ContentFacts& facts) {
  FontVerdict verdict;
  const std::string& signature = facts.firstFourBytes;
  std::string upper;
  for (char c : UpToZero(signature, 4)) upper += AsciiUpper(c);
  if (upper != "OTTO" || facts.tagUnreadable || facts.fonts.empty()) return verdict;

  std::array<char, kFullNameMax + 1> fullName = {};
  std::string unicodeName;
  int kind = 0;
  for (const NameFact& name : facts.fonts[0].names) {
    if (name.platformID == kWindowsPlatform && name.nameID == kFullNameId && name.languageID == kWindowsJapanese) {
      const std::string text = UpToZero(name.text, name.text.size());
      if (!text.empty()) unicodeName = text;
    }
    if (name.platformID != kMacintosh) continue;
    if (name.nameID == kFullNameId && name.languageID == kMacJapanese) {
      const size_t count = std::min(kFullNameMax, name.text.size());
      const std::string text = UpToZero(name.text, count);
      std::fill(fullName.begin(), fullName.begin() + count, '\0');
      std::copy(text.begin(), text.end(), fullName.begin());
    } else if (name.nameID == kDescriptionId) {
      const std::string description = UpToZero(name.text, kDescriptionMax);
      if (description.size() >= 4) kind = OpenTypeKind(description.substr(0, 4));
    }
  }
  std::string listed = fullName.data();
  const bool named = !listed.empty();
  if (listed.empty() && stem.compare(0, 7, "ZUSuuji") == 0) listed = stem.substr(0, kFullNameMax);
  verdict.product = !listed.empty() && kind == 2;
  verdict.listedName = named && !unicodeName.empty() ? unicodeName : listed;
  return verdict;
}

// The collection reader: every font's nameID-13 records on any platform, the last one wins;
// one description over 64 bytes or one font without a name table fails the whole file.
FontVerdict JudgeCollection(const std::string& stem, const ContentFacts& facts) {
  FontVerdict verdict;
  verdict.collection = true;
  if (facts.tagUnreadable) return verdict;
  size_t fontsRead = 0;
  if (facts.firstFourBytes == "OTTO") {
    fontsRead = 1;
  } else if (facts.firstFourBytes == "ttcf") {
    fontsRead = facts.fonts.size();
  } else {
    return verdict;
  }
  std::string description;
  for (size_t i = 0; i < fontsRead && i < facts.fonts.size(); ++i) {
    const FontFacts& font = facts.fonts[i];
    if (!font.hasNameTable) return verdict;
    for (const NameFact& name : font.names) {
      if (name.nameID != kDescriptionId) continue;
      if (name.text.size() > kDescriptionMax) return verdict;
      description = UpToZero(name.text, kDescriptionMax);
    }
  }
  verdict.product = description.size() >= 4 && IsCollectionProductTag(description.substr(0, 4));
  verdict.listedName = stem;
  return verdict;
}

std::string ParentOf(const std::string& folder) { return FolderOf(folder.substr(0, folder.size() - 1)); }

// The clean-up removes its folders innermost first, each only when nothing is left in it.
void RemoveEmptyProductFolders(const Machine& machine, ExpectedState& expected) {
  for (const std::string& folder : ProductFolders()) {
    const bool exists = std::any_of(machine.directories.begin(), machine.directories.end(),
                                    [&](const GeneratedDirectory& d) { return d.path == folder; });
    if (!exists) continue;
    bool empty = true;
    for (size_t i = 0; i < machine.files.size(); ++i) {
      if (expected.fates[i] != Fate::kRemoved && FolderOf(machine.files[i].path) == folder) empty = false;
    }
    for (const GeneratedDirectory& directory : machine.directories) {
      const bool removed = std::find(expected.removedDirectories.begin(), expected.removedDirectories.end(),
                                     directory.path) != expected.removedDirectories.end();
      if (!removed && ParentOf(directory.path) == folder) empty = false;
    }
    if (empty) expected.removedDirectories.push_back(folder);
  }
}

}  // namespace

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(a[i]))) {
      if (i + 1 >= a.size() || a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
      return false;
    }
  }
  return true;
}

FontVerdict JudgeFile(const std::string& fileName, const ContentFacts& facts) {
  const size_t dot = fileName.rfind('.');  // 0x2E is never a trail byte
  const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot);
  // The extension is compared byte for byte: .OTF and .Ttc are not font files to the search.
  if (extension == ".otf") return JudgeOpenType(stem, facts);
  if (extension == ".ttc") return JudgeCollection(stem, facts);
  return FontVerdict{};
}

ExpectedState ComputeExpectedState(const Machine& machine) {
  ExpectedState expected;
  const bool vista = machine.version == WindowsVersion::kVista;  // the only OsKind 1 among them
  for (const GeneratedFile& file : machine.files) {
    if (file.productTool) {
      expected.fates.push_back(Fate::kRemoved);
      continue;
    }
    const FontVerdict verdict = JudgeFile(FileNameOf(file.path), file.facts);
    if (!verdict.product) {
      expected.fates.push_back(Fate::kStays);
      continue;
    }
    // Only files directly in the Fonts folder are uninstalled: collections on every system,
    // OpenType fonts on Windows 6.0 only. Uninstalling unregisters before it deletes, so the
    // values go even when the file then cannot be deleted.
    const bool inFontsFolder = SameIgnoringCase(FolderOf(file.path), kFontsFolder);
    if (inFontsFolder && (verdict.collection || vista)) {
      expected.uninstalledNames.push_back(FileNameOf(file.path));
    }
    // A font in use cannot be deleted now. Windows is asked to delete it at the next restart only
    // in the Fonts folder, whose path nobody but an administrator can redirect.
    if (file.lockedByTest && inFontsFolder) {
      expected.fates.push_back(Fate::kRemovedAtRestart);
      expected.removedAtRestart.push_back(verdict.listedName);
    } else if (file.lockedByTest) {
      expected.fates.push_back(Fate::kInUse);
      expected.notRemoved.push_back(verdict.listedName);
    } else {
      expected.fates.push_back(Fate::kRemoved);
      (verdict.collection ? expected.removedCollections : expected.removedOpenType).push_back(verdict.listedName);
    }
  }
  RemoveEmptyProductFolders(machine, expected);
  return expected;
}

bool RunDeletesFontTableValue(const ExpectedState& expected, const std::string& data) {
  for (const std::string& name : expected.uninstalledNames) {
    if (SameIgnoringCase(data, name) || SameIgnoringCase(data, std::string(kFontsFolder) + name)) return true;
  }
  return false;
}

}  // namespace kc::safety
