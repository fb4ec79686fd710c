#pragma once
// A whole machine generated from a seed, for the randomized safety test: folder trees on several
// drives, font files of every shape (product fonts of every tag, other vendors' fonts, damaged and
// hostile files, fonts under extensions the removal must ignore), file attributes, font-table
// values naming some of them, and the Windows version. Each file carries the facts of its contents
// that the removal rules decide on, so the expected end state can be worked out from the rules
// alone (expected_state.h), never from the program's own readers.
//
// All texts are code page 932 bytes, written as escapes so the host and Windows builds generate
// identical machines from one seed.

#include <cstdint>
#include <string>
#include <vector>

namespace kc::safety {

// Where the test bed's Windows keeps its fonts; the test checks the running system agrees.
constexpr char kFontsFolder[] = "C:\\windows\\Fonts\\";

enum class WindowsVersion { kWinXp, kWin2k, kVista, kWin7 };
const char* WindowsVersionName(WindowsVersion version);  // as Wine's "Version" setting names it

// One name record as a reader meets it: `text` holds the bytes of a Macintosh record as stored,
// or the code page 932 form of a Windows (UTF-16) record.
struct NameFact {
  uint16_t platformID;
  uint16_t languageID;
  uint16_t nameID;
  std::string text;
};

struct FontFacts {
  bool hasNameTable = true;
  std::vector<NameFact> names;  // in record order
};

struct ContentFacts {
  std::string firstFourBytes;     // fewer when the file is shorter
  std::vector<FontFacts> fonts;   // one for a single font, numFonts for a collection
  // The bytes stop (or point) before the description text's end, or are no font at all: no
  // reader gets the tag out of this file.
  bool tagUnreadable = false;
};

struct GeneratedFile {
  std::string path;  // full Windows path
  std::string bytes;
  ContentFacts facts;
  bool readOnly = false;
  bool hidden = false;
  bool lockedByTest = false;  // held open (reading shared) while the program runs
  bool productTool = false;   // one of the product's programs or its shortcut, by exact path
};

struct GeneratedDirectory {
  std::string path;  // ends in a backslash; parents come first in the list
  bool hidden = false;
  bool productFolder = false;  // one the clean-up removes when it is left empty
};

// The product's tools live under these (the test checks the running system agrees).
constexpr char kProgramFilesFolder[] = "C:\\Program Files\\";
constexpr char kCommonDesktopFolder[] = "C:\\users\\Public\\Desktop\\";
// The clean-up's folders, in the order it tries to remove them (innermost first).
std::vector<std::string> ProductFolders();

constexpr uint32_t kRegString = 1;  // REG_SZ
constexpr uint32_t kRegDword = 4;   // REG_DWORD

struct GeneratedValue {
  std::string name;
  uint32_t type;
  std::string data;  // for strings without the terminating zero
};

struct Machine {
  uint64_t seed = 0;
  WindowsVersion version = WindowsVersion::kWinXp;
  std::vector<GeneratedDirectory> directories;  // only those the generator creates
  std::vector<GeneratedFile> files;
  std::vector<GeneratedValue> fontTableValues;  // added to HKLM's font table
};

Machine GenerateMachine(uint64_t seed);

// Splits a full path at its last backslash: the folder (with the backslash) and the file name.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);

}  // namespace kc::safety
