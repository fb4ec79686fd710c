#include "tests/safety/random_machine.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "tests/fonts/font_builder.h"

namespace kc::safety {
namespace {

using testfonts::FontSpec;
using testfonts::NameRecord;

// SplitMix64: tiny, and the same sequence on every compiler (the standard distributions are not).
class Rng {
 public:
  explicit Rng(uint64_t seed) : m_state(seed) {}
  uint64_t Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
  bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
  template <class T>
  const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }

 private:
  uint64_t m_state;
};

// A text in both forms a font can store it: code page 932 bytes (Macintosh Japanese records,
// and what a Windows record converts to) and UTF-16 (Windows records).
struct Text {
  std::string cp932;
  std::u16string utf16;
  Text& operator+=(const Text& other) {
    cp932 += other.cp932;
    utf16 += other.utf16;
    return *this;
  }
};

Text Ascii(const std::string& text) { return {text, std::u16string(text.begin(), text.end())}; }

// Kana and kanji without case. Two of them end in the trail byte 0x5C, the backslash's value,
// which code that is not aware of double-byte characters takes for a path separator.
const std::vector<Text> kJapanese = {
    {"\x83\x65\x83\x58\x83\x67", u"テスト"},
    {"\x96\xBE\x92\xA9", u"明朝"},
    {"\x83\x53\x83\x56\x83\x62\x83\x4E", u"ゴシック"},
    {"\x91\xCC", u"体"},
    {"\x8A\xDB", u"丸"},
    {"\x95\x5C\x8E\xA6", u"表示"},
    {"\x83\x5C\x83\x74\x83\x67", u"ソフト"},
    {"\x91\xBE\x8E\x9A", u"太字"},
    {"\x8C\xA9\x8F\x6F\x82\xB5", u"見出し"},
};

const std::vector<std::string> kAsciiWords = {"Kc", "Sample", "Charter", "Gothic", "Mincho", "Round",
                                              "Pro", "Std", "W3", "W6", "M", "B", "Data", "Old"};

const std::vector<std::string> kOpenTypeProductTags = {"KCHS", "KCHV", "KCHX", "KCPL", "KCPH"};
const std::vector<std::string> kCollectionProductTags = {"KCOV", "KCHV", "KCPL", "KCPH", "KCVT",
                                                         "KCHB", "SLH1", "SLH3", "SLH5", "MSTB",
                                                         "MST1", "MST2", "MST4", "MVST"};
// Tags that mark no font to remove in the file type they are used with, or not at all.
const std::vector<std::string> kOpenTypeKeptTags = {"Mfvl", "Ncvl", "KCOV", "KCVT", "SLH1", "kchv",
                                                    "Copy", "KCH", "", "KcPL"};
const std::vector<std::string> kCollectionKeptTags = {"KCHS", "KCHX", "Mfvl", "kcov", "KCO", "",
                                                      "Free"};

Text Word(Rng& rng) {
  return rng.Chance(35) ? rng.Pick(kJapanese) : Ascii(rng.Pick(kAsciiWords));
}

// A name of 1 to 3 words joined by `separator`.
Text Words(Rng& rng, const char* separator) {
  Text text = Word(rng);
  for (size_t i = rng.Below(3); i > 0; --i) {
    text += Ascii(separator);
    text += Word(rng);
  }
  return text;
}

// The description text: the tag, then (sometimes) what the product writes after it.
Text Description(Rng& rng, const std::string& tag) {
  Text text = Ascii(tag);
  if (rng.Chance(60)) {
    text += Ascii(" ");
    text += Words(rng, " ");
  }
  return text;
}

// A font under construction: its builder spec and the facts a reader will meet, kept together.
struct FontDraft {
  FontSpec spec;
  FontFacts facts;

  void Mac(uint16_t nameID, uint16_t languageID, const std::string& bytes) {
    spec.names.push_back(testfonts::MacName(nameID, languageID, bytes));
    facts.names.push_back({testfonts::kPlatformMacintosh, languageID, nameID, bytes});
  }
  void Windows(uint16_t nameID, const Text& text) {
    spec.names.push_back(testfonts::WindowsName(nameID, text.utf16, testfonts::kWindowsLanguageJaJp));
    facts.names.push_back({testfonts::kPlatformWindows, testfonts::kWindowsLanguageJaJp, nameID, text.cp932});
  }
};

struct Content {
  std::string bytes;
  ContentFacts facts;
};

std::string FirstFour(const std::string& bytes) { return bytes.substr(0, std::min<size_t>(4, bytes.size())); }

Content SingleFont(const FontDraft& draft) {
  Content content{testfonts::BuildFont(draft.spec), {}};
  content.facts.firstFourBytes = FirstFour(content.bytes);
  content.facts.fonts = {draft.facts};
  return content;
}

Content Collection(const std::vector<FontDraft>& drafts) {
  std::vector<FontSpec> specs;
  Content content;
  for (const FontDraft& draft : drafts) {
    specs.push_back(draft.spec);
    content.facts.fonts.push_back(draft.facts);
  }
  content.bytes = testfonts::BuildCollection(specs);
  content.facts.firstFourBytes = FirstFour(content.bytes);
  return content;
}

// Filler name records a font carries besides the ones that decide.
void AddOrdinaryNames(Rng& rng, FontDraft& draft) {
  if (rng.Chance(50)) draft.Mac(1, testfonts::kMacLanguageEnglish, "Kc Family");
  if (rng.Chance(50)) draft.Windows(4, Words(rng, " "));
  if (rng.Chance(30)) draft.Mac(4, testfonts::kMacLanguageEnglish, "English Full Name");
}

// An OpenType font whose Macintosh Japanese full name is `fullName` (none when empty).
FontDraft OpenTypeDraft(Rng& rng, const std::string& fullName, const std::vector<Text>& macDescriptions) {
  FontDraft draft;
  AddOrdinaryNames(rng, draft);
  const bool nameFirst = rng.Chance(50);
  if (nameFirst && !fullName.empty()) draft.Mac(4, testfonts::kMacLanguageJapanese, fullName);
  for (const Text& description : macDescriptions) draft.Mac(13, testfonts::kMacLanguageEnglish, description.cp932);
  if (!nameFirst && !fullName.empty()) draft.Mac(4, testfonts::kMacLanguageJapanese, fullName);
  if (rng.Chance(40)) draft.Windows(13, Description(rng, rng.Pick(kOpenTypeProductTags)));
  draft.spec.tablesBeforeName = static_cast<int>(rng.Below(4));
  draft.spec.tablesAfterName = static_cast<int>(rng.Below(3));
  return draft;
}

// A collection font with its description (if any) on either platform.
FontDraft CollectionFontDraft(Rng& rng, const Text* description) {
  FontDraft draft;
  AddOrdinaryNames(rng, draft);
  if (description != nullptr) {
    if (rng.Chance(50)) {
      draft.Mac(13, testfonts::kMacLanguageEnglish, description->cp932);
    } else {
      draft.Windows(13, *description);
    }
  }
  if (rng.Chance(30)) draft.spec.sfntVersion = testfonts::kTrueTypeVersion;  // allowed inside a collection
  draft.spec.tablesBeforeName = static_cast<int>(rng.Below(3));
  return draft;
}

class Generator {
 public:
  explicit Generator(uint64_t seed) : m_rng(seed) { m_machine.seed = seed; }

  Machine Run() {
    const WindowsVersion versions[] = {WindowsVersion::kWinXp, WindowsVersion::kWin2k,
                                       WindowsVersion::kVista, WindowsVersion::kWin7};
    m_machine.version = versions[m_rng.Below(4)];
    BuildTrees();
    const size_t fileCount = 25 + m_rng.Below(30);
    for (size_t i = 0; i < fileCount; ++i) AddFile();
    AddProductTools();
    AddFontTableValues();
    return std::move(m_machine);
  }

 private:
  struct Folder {
    std::string path;
    bool inFontsTree;
  };

  // Names within a folder differ in more than letter case, as on Windows.
  bool Claim(const std::string& folder, const std::string& name) {
    std::string key = folder + name;
    for (char& c : key) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return m_claimed.insert(key).second;
  }

  std::string FolderName() {
    switch (m_rng.Below(8)) {
      case 0: return "fonts.otf";  // a folder named like a font file is entered, never opened
      case 1: return "set.ttc";
      case 2: return Words(m_rng, "_").cp932;
      default: return Word(m_rng).cp932 + std::to_string(m_rng.Below(100));
    }
  }

  void AddTree(const std::string& root, bool inFontsTree, int depth) {
    const size_t children = depth == 0 ? 2 + m_rng.Below(3) : m_rng.Below(3);
    for (size_t i = 0; i < children && m_folders.size() < 40; ++i) {
      const std::string name = FolderName();
      if (!Claim(root, name)) continue;
      const std::string path = root + name + "\\";
      m_machine.directories.push_back({path, m_rng.Chance(15)});
      m_folders.push_back({path, inFontsTree});
      if (depth < 3 && m_rng.Chance(55)) AddTree(path, inFontsTree, depth + 1);
    }
  }

  void BuildTrees() {
    m_folders.push_back({kFontsFolder, true});
    m_folders.push_back({"C:\\", false});
    m_folders.push_back({"D:\\", false});
    // Folders that exist on every test-bed machine: created only if missing, never removed.
    for (const char* known : {"C:\\Program Files\\", "C:\\users\\Public\\"}) m_folders.push_back({known, false});
    AddTree("C:\\", false, 0);
    AddTree("C:\\Program Files\\", false, 1);
    AddTree("D:\\", false, 0);
    if (m_rng.Chance(60)) {  // else E: stays empty: its root cannot be listed and the run goes on
      m_folders.push_back({"E:\\", false});
      AddTree("E:\\", false, 1);
    }
    if (m_rng.Chance(70)) AddTree(kFontsFolder, true, 2);
    if (m_rng.Chance(60)) {
      // The product's folders; fonts may land in them too, which keeps a folder from being empty.
      const std::vector<std::string> product = ProductFolders();
      for (const size_t i : {size_t{3}, size_t{2}, size_t{0}, size_t{1}}) {  // parents first
        if (i == 1 && m_rng.Chance(50)) continue;  // no Utility folder
        m_machine.directories.push_back({product[i], m_rng.Chance(15), true});
        m_folders.push_back({product[i], false});
      }
    }
  }

  // The product's programs and shortcut where the clean-up looks for them, and files of the
  // user's own beside them that must stay.
  void AddProductTools() {
    const std::vector<std::string> product = ProductFolders();
    auto add = [&](const std::string& path, bool tool) {
      if (!Claim(FolderOf(path), FileNameOf(path))) return;
      GeneratedFile file;
      file.path = path;
      file.bytes = "MZ" + std::to_string(m_rng.Next());
      file.facts.firstFourBytes = file.bytes.substr(0, 4);
      file.facts.tagUnreadable = true;
      file.readOnly = m_rng.Chance(20);
      file.hidden = m_rng.Chance(20);
      file.productTool = tool;
      m_machine.files.push_back(file);
    };
    if (m_rng.Chance(50)) {
      add(std::string(kCommonDesktopFolder) +
              "Windows Vista\x97\x70TrueType\x83\x74\x83\x48\x83\x93\x83\x67 \x83\x67\x83\x89\x83\x43\x83\x41"
              "\x83\x8B\x94\xC5 \x83\x5A\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76\x83\x81\x83\x6A\x83\x85\x81\x5B.lnk",
          true);
    }
    if (m_rng.Chance(20)) add(std::string(kCommonDesktopFolder) + "ZIZAVInstaller.exe", false);  // not on this desktop
    const bool folders = std::any_of(m_machine.directories.begin(), m_machine.directories.end(),
                                     [](const GeneratedDirectory& d) { return d.productFolder; });
    if (!folders) return;
    const std::string& tools = product[0];
    for (const char* name : {"ZIZAVInstaller.exe", "ZIZAVUninstaller.exe", "\x83\x81\x83\x6A\x83\x85\x81\x5B.exe"}) {
      if (m_rng.Chance(75)) add(tools + name, true);
    }
    if (m_rng.Chance(20)) add(tools + "ZIZAVInstaller.exe.bak", false);
    if (m_rng.Chance(20)) add(product[2] + "readme.txt", false);
  }

  const Folder& PickFolder() {
    if (m_rng.Chance(25)) return m_folders[0];  // the Fonts folder itself
    return m_rng.Pick(m_folders);
  }

  std::string UniqueStem() {
    Text stem = Words(m_rng, m_rng.Chance(50) ? "-" : "_");
    return stem.cp932 + std::to_string(m_nextNumber++);
  }

  std::string ProductFullName() {
    // Now and then a name repeats: the list keeps duplicates.
    if (!m_fullNames.empty() && m_rng.Chance(10)) return m_rng.Pick(m_fullNames);
    std::string name;
    if (m_rng.Chance(5)) {
      name = "Kc Very Long " + std::string(300, 'N');  // listed with its first 255 bytes
    } else {
      name = Words(m_rng, " ").cp932 + " " + std::to_string(m_nextNumber++);
    }
    m_fullNames.push_back(name);
    return name;
  }

  struct Planned {
    std::string stem;
    std::string extension;
    Content content;
    bool hostile = false;  // kept out of the Fonts folder: Wine's own font loader reads every file there
  };

  Planned ProductOpenType() {
    Planned planned{UniqueStem(), ".otf", {}};
    FontDraft draft = OpenTypeDraft(m_rng, ProductFullName(),
                                    {Description(m_rng, m_rng.Pick(kOpenTypeProductTags))});
    if (m_rng.Chance(10)) draft.spec.sfntVersion = 0x6F74746F;  // "otto": the signature ignores case
    planned.content = SingleFont(draft);
    return planned;
  }

  Planned Plan() {
    switch (m_rng.Below(14)) {
      case 0:
      case 1:
      case 2:
        return ProductOpenType();
      case 3: {  // a product font under a name the search must not take for an OpenType file
        Planned planned = ProductOpenType();
        const std::vector<std::string> odd = {".OTF", ".Otf", ".otf2", ".otf.bak", "", ".oTf", ".ttf"};
        planned.extension = m_rng.Pick(odd);
        return planned;
      }
      case 4: {  // another vendor's font, or a tag that is not the product's
        Planned planned{UniqueStem(), ".otf", {}};
        planned.content = SingleFont(OpenTypeDraft(m_rng, ProductFullName(),
                                                   {Description(m_rng, m_rng.Pick(kOpenTypeKeptTags))}));
        return planned;
      }
      case 5: {  // a product tag only on the Windows platform, which the OpenType reader ignores
        Planned planned{UniqueStem(), ".otf", {}};
        FontDraft draft = OpenTypeDraft(m_rng, ProductFullName(), {});
        draft.Windows(13, Description(m_rng, m_rng.Pick(kOpenTypeProductTags)));
        planned.content = SingleFont(draft);
        return planned;
      }
      case 6: {  // no Macintosh Japanese full name: only the ZUSuuji family is listed, by file name
        const std::vector<std::string> stems = {"ZUSuuji-R", "ZUSuuji-B", "ZUSuujiStd", "zusuuji-R",
                                                "ZUSuuj-R", "Nameless"};
        Planned planned{NumberedStem(stems), ".otf", {}};
        planned.content = SingleFont(OpenTypeDraft(m_rng, "", {Description(m_rng, m_rng.Pick(kOpenTypeProductTags))}));
        return planned;
      }
      case 7: {  // TrueType-flavoured .otf: not "OTTO", never removed
        Planned planned{UniqueStem(), ".otf", {}};
        FontDraft draft = OpenTypeDraft(m_rng, ProductFullName(), {Description(m_rng, m_rng.Pick(kOpenTypeProductTags))});
        draft.spec.sfntVersion = testfonts::kTrueTypeVersion;
        planned.content = SingleFont(draft);
        return planned;
      }
      case 8: {  // two descriptions: the later decides, unless shorter than four bytes
        Planned planned{UniqueStem(), ".otf", {}};
        std::vector<std::string> tags = kOpenTypeProductTags;
        tags.insert(tags.end(), kOpenTypeKeptTags.begin(), kOpenTypeKeptTags.end());
        planned.content = SingleFont(OpenTypeDraft(
            m_rng, ProductFullName(), {Description(m_rng, m_rng.Pick(tags)), Description(m_rng, m_rng.Pick(tags))}));
        return planned;
      }
      case 9:
      case 10:
        return ProductOrKeptCollection(true);
      case 11:
        return ProductOrKeptCollection(false);
      case 12:
        return Damaged();
      default:
        return Unrelated();
    }
  }

  std::string NumberedStem(const std::vector<std::string>& stems) {
    return m_rng.Pick(stems) + (m_rng.Chance(50) ? std::string() : "-" + std::to_string(m_nextNumber++));
  }

  Planned ProductOrKeptCollection(bool product) {
    Planned planned{"KcColl" + (m_rng.Chance(30) ? std::string(".Set.") : std::string("_")) + UniqueStem(),
                    ".ttc", {}};
    const size_t fontCount = 1 + m_rng.Below(3);
    std::vector<Text> descriptions;
    for (size_t i = 0; i < fontCount; ++i) {
      const bool withTag = i == 0 || m_rng.Chance(50);
      const std::vector<std::string>& tags = product ? kCollectionProductTags : kCollectionKeptTags;
      descriptions.push_back(withTag ? Description(m_rng, m_rng.Pick(tags)) : Text{});
    }
    std::vector<FontDraft> drafts;
    for (const Text& description : descriptions) {
      drafts.push_back(CollectionFontDraft(m_rng, description.cp932.empty() && description.utf16.empty()
                                                      ? nullptr : &description));
    }
    // Now and then a later font's description overrides the first with a kept tag.
    if (product && fontCount > 1 && m_rng.Chance(20)) {
      const Text kept = Description(m_rng, m_rng.Pick(kCollectionKeptTags));
      drafts.back() = CollectionFontDraft(m_rng, &kept);
    }
    switch (m_rng.Below(8)) {
      case 0: {  // a description of 65 bytes anywhere fails the whole file
        FontDraft& draft = drafts[m_rng.Below(drafts.size())];
        draft.Mac(13, testfonts::kMacLanguageEnglish, "KCOV" + std::string(61, 'x'));
        break;
      }
      case 1: {  // a Unicode description converting to more than 64 bytes fails it too
        Text longText = Ascii("KCHV ");
        while (longText.cp932.size() <= 64) longText += m_rng.Pick(kJapanese);
        drafts[m_rng.Below(drafts.size())].Windows(13, longText);
        break;
      }
      case 2:  // a font without a name table fails the whole file
        if (fontCount > 1) {
          FontDraft& draft = drafts[1 + m_rng.Below(fontCount - 1)];
          draft.spec.withNameTable = false;
          draft.facts.hasNameTable = false;
        }
        break;
      default:
        break;
    }
    if (fontCount == 1 && m_rng.Chance(25)) {
      // A .ttc that holds one single font: OpenType CFF is read as that font, TrueType is refused.
      FontDraft single = drafts[0];
      single.spec.sfntVersion = m_rng.Chance(70) ? testfonts::kOttoVersion : testfonts::kTrueTypeVersion;
      planned.content = SingleFont(single);
    } else {
      planned.content = Collection(drafts);
    }
    if (product && m_rng.Chance(12)) planned.extension = m_rng.Chance(50) ? ".TTC" : ".Ttc";
    return planned;
  }

  // Where the description's first four bytes lie in a built single font or one-font collection.
  static size_t TagStart(const std::string& bytes, uint32_t fontOffset, size_t recordIndex) {
    const uint32_t table = testfonts::NameTableOffset(bytes, fontOffset);
    const size_t record = table + 6 + 12 * recordIndex;
    return table + testfonts::ReadU16At(bytes, table + 4) + testfonts::ReadU16At(bytes, record + 10);
  }

  Planned Damaged() {
    Planned planned{UniqueStem(), m_rng.Chance(50) ? ".otf" : ".ttc", {}};
    planned.hostile = true;
    const bool openType = planned.extension == ".otf";
    const std::string signature = openType ? "OTTO" : "ttcf";
    const Text description = Description(m_rng, openType ? m_rng.Pick(kOpenTypeProductTags)
                                                         : m_rng.Pick(kCollectionProductTags));
    FontDraft draft;
    draft.Mac(4, testfonts::kMacLanguageJapanese, ProductFullName());
    draft.Mac(13, testfonts::kMacLanguageEnglish, description.cp932);  // the only description
    Content content = openType ? SingleFont(draft) : Collection({draft});
    const uint32_t fontOffset = openType ? 0 : testfonts::CollectionFontOffset(content.bytes, 0);
    switch (m_rng.Below(4)) {
      case 0: {  // cut before the tag is complete
        const size_t cut = m_rng.Below(TagStart(content.bytes, fontOffset, 1) + 4);
        content.bytes.resize(cut);
        break;
      }
      case 1: {  // the description's offset points past the end of the file
        const uint32_t table = testfonts::NameTableOffset(content.bytes, fontOffset);
        testfonts::PutU16(content.bytes, table + 6 + 12 + 10, 0xFFF0);
        break;
      }
      case 2:  // shorter than a signature
        content.bytes = signature.substr(0, m_rng.Below(4));
        break;
      default: {  // a signature and then noise
        content.bytes = signature;
        for (size_t i = 12 + m_rng.Below(400); i > 0; --i) content.bytes.push_back(static_cast<char>(m_rng.Next()));
        break;
      }
    }
    content.facts.firstFourBytes = FirstFour(content.bytes);
    content.facts.tagUnreadable = true;
    planned.content = content;
    return planned;
  }

  Planned Unrelated() {
    const std::vector<std::string> extensions = {".txt", ".ttf", ".dat", ".otf~", ".lnk", ""};
    Planned planned{UniqueStem(), m_rng.Pick(extensions), {}};
    planned.hostile = true;
    for (size_t i = m_rng.Below(300); i > 0; --i) planned.content.bytes.push_back(static_cast<char>(m_rng.Next()));
    planned.content.facts.firstFourBytes = FirstFour(planned.content.bytes);
    planned.content.facts.tagUnreadable = true;
    return planned;
  }

  void AddFile() {
    Planned planned = Plan();
    const Folder* folder = &PickFolder();
    for (int tries = 0; planned.hostile && folder->inFontsTree && tries < 20; ++tries) folder = &PickFolder();
    if (planned.hostile && folder->inFontsTree) return;
    const std::string name = planned.stem + planned.extension;
    if (!Claim(folder->path, name)) return;

    GeneratedFile file;
    file.path = folder->path + name;
    file.bytes = std::move(planned.content.bytes);
    file.facts = std::move(planned.content.facts);
    file.readOnly = m_rng.Chance(15);
    file.hidden = m_rng.Chance(15);
    // Held open with reading shared, as Windows and applications hold fonts in use: readers get
    // in, deletion does not.
    file.lockedByTest = (planned.extension == ".otf" || planned.extension == ".ttc") && m_rng.Chance(6);
    m_machine.files.push_back(std::move(file));
  }

  // ASCII letters in random case; double-byte characters untouched.
  std::string RandomCase(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(out[i]);
      if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
        ++i;
        continue;
      }
      if (m_rng.Chance(30)) {
        if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
      }
    }
    return out;
  }

  void AddFontTableValues() {
    // Values naming one file sit next to each other (the table lists names in order): removing
    // one must not make the removal skip the next.
    std::vector<std::vector<std::string>> groups;
    for (const GeneratedFile& file : m_machine.files) {
      const std::string folder = FolderOf(file.path);
      const std::string name = FileNameOf(file.path);
      const bool inFontsFolder = folder == kFontsFolder;
      if (!m_rng.Chance(inFontsFolder ? 85 : 12)) continue;
      std::vector<std::string> group;
      for (size_t copies = inFontsFolder && m_rng.Chance(45) ? 2 + m_rng.Below(2) : 1; copies > 0; --copies) {
        switch (m_rng.Below(5)) {
          case 0:
          case 1: group.push_back(RandomCase(name)); break;
          case 2:
            // Wine's own font loader opens every file the table names by full path, in every
            // process it starts, and a hostile one hangs it: those are named by bare name only.
            group.push_back(file.facts.tagUnreadable ? RandomCase(name) : RandomCase(folder) + RandomCase(name));
            break;
          case 3: group.push_back(RandomCase(std::string(kFontsFolder)) + RandomCase(name)); break;
          default: group.push_back(name + (m_rng.Chance(50) ? ",1" : " ")); break;  // never a match
        }
      }
      groups.push_back(group);
    }
    groups.push_back({"Gone-" + std::to_string(m_rng.Below(1000)) + ".otf"});
    char number[24];
    for (size_t i = 0; i < groups.size(); ++i) {
      std::snprintf(number, sizeof number, "%03zu", i);
      const std::string name = std::string("KcSafety ") + number + (m_rng.Chance(50) ? " (OpenType)" : " (TrueType)");
      for (size_t copy = 0; copy < groups[i].size(); ++copy) {
        m_machine.fontTableValues.push_back(
            {copy == 0 ? name : name + " #" + std::to_string(copy + 1), kRegString, groups[i][copy]});
      }
    }
    m_machine.fontTableValues.push_back({"KcSafety number", kRegDword, std::string("\x01\x00\x00\x00", 4)});
    if (m_rng.Chance(50)) {  // too long for the program's buffers: passed over, never deleted
      m_machine.fontTableValues.push_back({"KcSafety long", kRegString, std::string(3000, 'L')});
    }
  }

  Rng m_rng;
  Machine m_machine;
  std::vector<Folder> m_folders;
  std::set<std::string> m_claimed;
  std::vector<std::string> m_fullNames;
  size_t m_nextNumber = 1;
};

// Index of the last backslash that is a character of its own, not a double-byte trail byte.
size_t LastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      ++i;
    } else if (c == '\\') {
      last = i;
    }
  }
  return last;
}

}  // namespace

const char* WindowsVersionName(WindowsVersion version) {
  switch (version) {
    case WindowsVersion::kWinXp: return "winxp";
    case WindowsVersion::kWin2k: return "win2k";
    case WindowsVersion::kVista: return "vista";
    case WindowsVersion::kWin7: return "win7";
  }
  return "";
}

std::vector<std::string> ProductFolders() {
  const std::string maker = std::string(kProgramFilesFolder) + "Kestrel\\";
  return {maker + "Fonts\\ZIZAV\\", maker + "Fonts\\Utility\\", maker + "Fonts\\", maker};
}

std::string FolderOf(const std::string& path) {
  const size_t separator = LastSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = LastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

Machine GenerateMachine(uint64_t seed) { return Generator(seed).Run(); }

}  // namespace kc::safety
