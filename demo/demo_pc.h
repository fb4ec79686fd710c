#pragma once
// The demo PC: every file, folder and font-table value that the demo puts on the machine, with what
// a correct removal run does to it. Paths and names are in the ANSI code page of the build
// (code page 932 in the Windows builds), as the program sees them.

#include <string>
#include <vector>

namespace kc::demo {

// Where an entry lies; the folder is looked up on the demo PC itself.
enum class Place {
  kFontsFolder,     // C:\windows\Fonts\ (the product's installer puts fonts here)
  kSecondDrive,     // D:\ (a data drive with copies of fonts in nested folders)
  kUserDocuments,   // the current user's documents
  kUserDesktop,     // the current user's desktop
  kCommonDesktop,   // the desktop shared by all users
  kProgramFiles,    // the program-files folder
};

enum class Content {
  kProductOpenType,    // OpenType CFF with a product tag in nameID 13
  kProductCollection,  // TrueType collection with a product collection tag
  kKindOneOpenType,    // tagged "Mfvl" / "Ncvl": recognised, but not the product's
  kOtherOpenType,      // another vendor's OpenType font, no tag
  kOtherCollection,    // another vendor's collection, no tag
  kDebianFont,         // a real font file from a Debian package, copied in unchanged
  kPlainFile,          // a file of the user's or a product tool, not a font
  kFolder,             // a folder
};

struct DemoEntry {
  Place place;
  std::string relativePath;  // below the place's folder; a folder ends in a backslash
  Content content;
  std::string tag;           // nameID-13 text of a built font
  std::string fullName;      // Macintosh Japanese full name of a built OpenType font (may be empty)
  std::string debianSource;  // kDebianFont: the file's name in the staging folder
  bool goes;                 // a correct run removes it
  std::string listedAs;      // the line the result list shows for it (empty: not listed)
};

// A value of HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" that the demo writes.
struct DemoFontValue {
  std::string name;
  std::string fontFile;  // the Fonts-folder file it names
  bool byFullPath;       // data is the full path rather than the bare file name
  bool goes;
};

const std::vector<DemoEntry>& DemoEntries();
const std::vector<DemoFontValue>& DemoFontValues();

// The lines a correct first run lists, sorted (the program lists in the order it finds them).
std::vector<std::string> ExpectedResultLines();

}  // namespace kc::demo
