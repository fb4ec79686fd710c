// Benchmark of the font readers on files built to be costly and on a real collection. Each file
// goes through the reader the search calls for it: IdentifyCollectionFont (open, map, walk,
// classify) for a .ttc, IdentifyOpenTypeFile (open, signature, name table) for an .otf; and, side
// by side, through a plain read of all its bytes into memory: the floor a reader
// that looked at every byte once could not beat. Figures are the best of kRounds rounds, the two
// alternating which goes first, so that a busy machine skews neither more than the other. Prints, per file, the reader's time per read and per 100 KB and
// the plain read's; last, "worst: W ms per 100 KB (FILE)". Real collections are named on the
// command line (bench/readers copies Debian's Noto CJK collection, about 20 MB).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fontid/collection_reader.h"
#include "fontid/opentype_font.h"
#include "found_fonts/found_fonts.h"
#include "tests/fonts/font_builder.h"
#include "tests/fonts/hostile_fonts.h"

#include "clock-win32.h"

namespace {

constexpr int kRounds = 31;


// The program's own folder, where the test bed has copied the real collections.
std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Reads the whole file; its size, or 0.
DWORD PlainRead(const std::string& path, std::vector<char>& buffer) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  const DWORD size = GetFileSize(file, nullptr);
  buffer.resize(size);
  DWORD read = 0;
  const BOOL ok = size == 0 || ReadFile(file, buffer.data(), size, &read, nullptr);
  CloseHandle(file);
  return ok ? read : 0;
}

// The reader the search uses for the file's kind; its result code.
int32_t Identify(const std::string& path) {
  const std::wstring wide(path.begin(), path.end());  // the bench's paths are ASCII
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".otf") == 0) {
    kc::OpenTypeFontRecord record{};
    std::snprintf(record.path, sizeof record.path, "%s", path.c_str());
    kc::ResultCode nameResult = kc::kOk;
    return kc::IdentifyOpenTypeFile(wide.c_str(), record, nameResult) ? nameResult : 1;  // 1: not "OTTO"
  }
  kc::CollectionFontRecord record;
  return kc::IdentifyCollectionFont(wide.c_str(), path.c_str(), "bench", record);
}

struct Figures {
  int32_t result;
  DWORD size;
  double reader;  // seconds a read
  double plain;
};

Figures Measure(const std::string& path) {
  std::vector<char> buffer;
  Figures figures{};
  figures.reader = figures.plain = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto timePlain = [&] {
      const double start = Now();
      figures.size = PlainRead(path, buffer);
      figures.plain = std::min(figures.plain, Now() - start);
    };
    if (round % 2 == 1) timePlain();
    const double start = Now();
    figures.result = Identify(path);
    figures.reader = std::min(figures.reader, Now() - start);
    if (round % 2 == 0) timePlain();
  }
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kc::testfonts;
  const std::string folder = ProgramFolder();
  const std::u16string ascii64 = u"KCOV" + std::u16string(60, u'x');
  const struct {
    const char* name;
    std::string bytes;
  } built[] = {
      {"repeated-font-840.ttc", BuildRepeatedFontCollection(840, 5000, ascii64)},
      {"repeated-font-65535.ttc", BuildRepeatedFontCollection(100, 65535, ascii64)},
      {"repeated-font-katakana.ttc", BuildRepeatedFontCollection(840, 5000, u"KCOV" + std::u16string(30, u'\u30E9'))},
      {"repeated-font-halfwidth.ttc", BuildRepeatedFontCollection(840, 5000, std::u16string(64, u'\uFF71'))},
      {"overlapping-name-tables.ttc", BuildOverlappingNameTables(2000, 5000)},
      {"overlapping-directories.ttc", BuildOverlappingDirectories(6000)},
      {"repeated-full-name-5000.otf", BuildRepeatedFullNameFont(5000, std::string(64, 'N'), "KCHV")},
      {"repeated-full-name-65535.otf", BuildRepeatedFullNameFont(65535, std::string(64, 'N'), "KCHV")},
  };
  std::vector<std::string> paths;
  for (const auto& file : built) {
    paths.push_back(folder + file.name);
    if (!WriteFontFile(paths.back(), file.bytes)) {
      std::printf("cannot write %s\n", paths.back().c_str());
      return 1;
    }
  }
  for (int i = 1; i < argc; ++i) paths.push_back(folder + argv[i]);

  double worst = 0;
  std::string worstName;
  for (const std::string& path : paths) {
    const Figures figures = Measure(path);
    if (figures.size == 0) {
      std::printf("cannot read %s\n", path.c_str());
      return 1;
    }
    const double per100KB = figures.reader * 1000.0 * 102400.0 / figures.size;
    const std::string name = path.substr(folder.size());
    std::printf("%-28s %9.1f KB  result %6d  reader %8.3f ms (%6.3f ms per 100 KB)  plain read %8.3f ms\n",
                name.c_str(), figures.size / 1024.0, figures.result, figures.reader * 1000.0, per100KB,
                figures.plain * 1000.0);
    if (per100KB > worst) {
      worst = per100KB;
      worstName = name;
    }
  }
  std::printf("worst: %.3f ms per 100 KB (%s)\n", worst, worstName.c_str());
  return 0;
}
