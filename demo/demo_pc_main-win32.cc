// demo_pc.exe: puts the demo PC's files, folders and font-table values in place, and reports what a
// removal run left of them. Runs inside the demo's Wine prefix, next to FontList.exe.
//   demo_pc seed STAGING   creates everything; real font files are taken from the folder STAGING
//                          (ending in a backslash), where the demo script copied them
//   demo_pc report before|after
//                          prints every entry and value with its state, UTF-8; "before" expects
//                          all of them present, "after" expects exactly the product's to be gone.
//                          Exit status 1 when anything differs from that.
//   demo_pc expected-result
//                          the lines a correct first run lists, sorted, UTF-8
//   demo_pc hold PATH...   holds each file open as an application using the font does (others may
//                          read it, nobody may delete it) until the process is ended; prints
//                          "held" once all are open. For the pictures of a result with fonts in use
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "demo/demo_pc.h"
#include "tests/fonts/font_builder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc::demo {
namespace {

using testfonts::BuildCollection;
using testfonts::BuildFont;
using testfonts::FontSpec;
using testfonts::MacName;

// ---- output: the program's texts are code page 932; the terminal reads UTF-8 ----------------

// Through code page 932 itself, not the system's: the demo PC's names read the same on a test bed
// of any code page.
std::string Utf8(const std::string& ansi) {
  if (ansi.empty()) return ansi;
  const int wide = MultiByteToWideChar(932, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, ansi.data(), static_cast<int>(ansi.size()), &text[0], wide);
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &out[0], size, nullptr, nullptr);
  return out;
}

// `line` is UTF-8 already (u8 literals and Utf8() pieces).
void Print(const std::string& line) {
  const std::string bytes = line + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

// ---- places -------------------------------------------------------------------------------------

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return std::string();
  return std::string(path) + "\\";
}

std::string Folder(Place place) {
  switch (place) {
    case Place::kFontsFolder: return SpecialFolder(CSIDL_FONTS);
    case Place::kSecondDrive: return "D:\\";
    case Place::kUserDocuments: return SpecialFolder(CSIDL_PERSONAL);
    case Place::kUserDesktop: return SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    case Place::kCommonDesktop: return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    case Place::kProgramFiles: return SpecialFolder(CSIDL_PROGRAM_FILES);
  }
  return std::string();
}

std::string FullPath(const DemoEntry& entry) { return Folder(entry.place) + entry.relativePath; }

std::string ParentFolder(const std::string& path) {
  const std::string withoutSlash = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
  return withoutSlash.substr(0, withoutSlash.find_last_of('\\') + 1);
}

// ---- seeding ------------------------------------------------------------------------------------

FontSpec Font(const std::string& tag, const std::string& fullName, const std::string& romanName) {
  FontSpec font;
  font.names.push_back(MacName(testfonts::kNameIdFullName, testfonts::kMacLanguageEnglish, romanName));
  if (!fullName.empty()) {
    font.names.push_back(
        MacName(testfonts::kNameIdFullName, testfonts::kMacLanguageJapanese, fullName));
  }
  font.names.push_back(
      MacName(testfonts::kNameIdDescription, testfonts::kMacLanguageEnglish, tag));
  return font;
}

std::string RomanName(const DemoEntry& entry) {
  const size_t slash = entry.relativePath.find_last_of('\\');
  const std::string file = entry.relativePath.substr(slash == std::string::npos ? 0 : slash + 1);
  return file.substr(0, file.find_last_of('.'));
}

std::string PlainFileBytes(const DemoEntry& entry) {
  return "demo PC file: " + entry.relativePath + "\r\n";
}

bool SeedEntry(const DemoEntry& entry, const std::string& staging) {
  const std::string path = FullPath(entry);
  if (!MakeFolders(ParentFolder(path))) return false;
  switch (entry.content) {
    case Content::kFolder:
      return MakeFolders(path);
    case Content::kProductOpenType:
    case Content::kKindOneOpenType:
    case Content::kOtherOpenType:
      return testfonts::WriteFontFile(path, BuildFont(Font(entry.tag, entry.fullName,
                                                           RomanName(entry))));
    case Content::kProductCollection:
    case Content::kOtherCollection: {
      const std::string name = RomanName(entry);
      return testfonts::WriteFontFile(
          path, BuildCollection({Font(entry.tag, "", name + " W3"), Font(entry.tag, "", name + " W6")}));
    }
    case Content::kDebianFont:
      return CopyFileA((staging + entry.debianSource).c_str(), path.c_str(), FALSE) != FALSE;
    case Content::kPlainFile:
      return testfonts::WriteFontFile(path, PlainFileBytes(entry));
  }
  return false;
}

std::string ValueData(const DemoFontValue& value) {
  return value.byFullPath ? Folder(Place::kFontsFolder) + value.fontFile : value.fontFile;
}

int Seed(const std::string& staging) {
  int failures = 0;
  for (const DemoEntry& entry : DemoEntries()) {
    if (!SeedEntry(entry, staging)) {
      Print(u8"seed: cannot create " + Utf8(FullPath(entry)));
      ++failures;
    }
  }
  for (const DemoFontValue& value : DemoFontValues()) {
    if (!SetRegistryString(HKEY_LOCAL_MACHINE, kFontTableKeyPath, value.name, ValueData(value))) {
      Print(u8"seed: cannot write the font-table value " + Utf8(value.name));
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

// ---- report -------------------------------------------------------------------------------------

std::string Describe(const DemoEntry& entry) {
  switch (entry.content) {
    case Content::kProductOpenType: return u8"product OpenType font, tag " + entry.tag.substr(0, 4);
    case Content::kProductCollection: return u8"product collection, tag " + entry.tag.substr(0, 4);
    case Content::kKindOneOpenType: return u8"partner font, tag " + entry.tag.substr(0, 4) + u8" (kept)";
    case Content::kOtherOpenType: return u8"other vendor's OpenType font, no tag";
    case Content::kOtherCollection: return u8"other vendor's collection, no tag";
    case Content::kDebianFont: return u8"real font from a Debian package";
    case Content::kPlainFile:
      return entry.goes ? u8"product tool" : u8"user's or other vendor's file";
    case Content::kFolder: return u8"product folder";
  }
  return std::string();
}

bool Present(const DemoEntry& entry) {
  const std::string path = FullPath(entry);
  return entry.content == Content::kFolder ? FolderExists(path) : FileExists(path);
}

bool ValuePresent(const DemoFontValue& value, std::string& data) {
  return ReadRegistryString(HKEY_LOCAL_MACHINE, kFontTableKeyPath, value.name, data);
}

// One line per entry: its state, whether that is what a correct run leaves, and what it is.
int Report(bool afterRun) {
  int wrong = 0;
  auto line = [&](bool present, bool goes, const std::string& what, const std::string& note) {
    const bool expectedPresent = afterRun ? !goes : true;
    std::string state = present ? (afterRun ? u8"stayed " : u8"present") : (afterRun ? u8"went   " : u8"MISSING");
    std::string mark = present == expectedPresent ? u8"  " : u8"!!";
    if (present != expectedPresent) ++wrong;
    Print(mark + u8" " + state + u8"  " + what + u8"  [" + note + u8"]");
  };
  Print(u8"-- files and folders");
  for (const DemoEntry& entry : DemoEntries()) {
    line(Present(entry), entry.goes, Utf8(FullPath(entry)), Describe(entry));
  }
  Print(u8"-- values of HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
  for (const DemoFontValue& value : DemoFontValues()) {
    std::string data;
    const bool present = ValuePresent(value, data);
    line(present, value.goes, Utf8(value.name) + u8" = " + Utf8(ValueData(value)),
         value.goes ? u8"names a product font" : u8"names a font that stays");
  }
  const size_t total = DemoEntries().size() + DemoFontValues().size();
  if (wrong == 0) {
    Print(afterRun ? u8"-- all " + std::to_string(total) +
                         u8" entries as a correct removal leaves them: the product's gone, the rest untouched"
                   : u8"-- all " + std::to_string(total) + u8" entries in place");
  } else {
    Print(u8"-- " + std::to_string(wrong) + u8" of " + std::to_string(total) +
          u8" entries (marked !!) are not as a correct removal leaves them");
  }
  return wrong == 0 ? 0 : 1;
}

int Hold(int count, char** paths) {
  for (int i = 0; i < count; ++i) {
    const HANDLE file = CreateFileA(paths[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Print(u8"cannot hold " + Utf8(paths[i]));
      return 1;
    }
  }
  Print(u8"held");
  Sleep(INFINITE);  // the handles go with the process
  return 0;
}

int ExpectedResult() {
  for (const std::string& line : ExpectedResultLines()) Print(Utf8(line));
  return 0;
}

}  // namespace
}  // namespace kc::demo

int main(int argc, char** argv) {
  using namespace kc::demo;
  const std::string command = argc >= 2 ? argv[1] : "";
  if (command == "seed" && argc == 3) return Seed(argv[2]);
  if (command == "report" && argc == 3 && std::strcmp(argv[2], "before") == 0) return Report(false);
  if (command == "report" && argc == 3 && std::strcmp(argv[2], "after") == 0) return Report(true);
  if (command == "expected-result" && argc == 2) return ExpectedResult();
  if (command == "hold" && argc >= 3) return Hold(argc - 2, argv + 2);
  Print(u8"usage: demo_pc seed STAGING | report before|after | expected-result | hold PATH...");
  return 2;
}
