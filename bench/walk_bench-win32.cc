// Benchmark of the drive walk. Builds a synthetic tree (100,000 files in 10,000 folders, about 1%
// fonts, a few of them the product's) on D:\ and the same tree on E:\, where bench/walk has made
// 1,000 links, none of them a loop, and times on each, side by side in one run:
//   search  SearchFontFiles over the tree (the product fonts written back before every round),
//   bare    a plain FindFirstFileW/FindNextFileW walk of the same tree by extended-length paths
//           (through the links too): the floor,
//   dir     "cmd /c dir /s /b D:\": what a user would reach for (plain tree only).
// Each round times the search and the bare walk side by side, alternating which goes first, so
// that a busy machine skews both alike; the ratio is the median of the rounds' ratios, the speeds
// the best of kRounds rounds. Prints files per second for each, the ratio on the tree with links
// and, last, "ratio search/bare: R; longest drain gap: G ms" for the plain tree, the gap being the
// longest time the walk went without letting window messages through.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "discovery/collection_font_list.h"
#include "discovery/font_search-win32.h"
#include "tests/fonts/font_builder.h"

#include "clock-win32.h"

namespace {

constexpr int kTopFolders = 100;
constexpr int kSubFolders = 100;  // per top folder: 10,000 folders
constexpr int kFilesPerFolder = 10;
constexpr int kRounds = 5;

std::string Font(const char* tag, bool collection) {
  using namespace kc::testfonts;
  FontSpec font;
  font.names = {MacName(kNameIdFullName, kMacLanguageJapanese, "Bench Font"),
                MacName(kNameIdDescription, 0, tag)};
  return collection ? BuildCollection({font}) : BuildFont(font);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

struct Tree {
  int files = 0;
  int folders = 0;
  std::vector<std::pair<std::string, std::string>> productFonts;  // path, bytes
};

Tree BuildTree(const std::string& root) {
  Tree tree;
  const std::string otherFont = Font("none", false);
  const std::string otherCollection = Font("none", true);
  const std::string productFont = Font("KCHV", false);
  const std::string productCollection = Font("KCOV", true);
  for (int top = 0; top < kTopFolders; ++top) {
    const std::string topPath = root + "top" + std::to_string(top) + "\\";
    CreateDirectoryA(topPath.c_str(), nullptr);
    for (int sub = 0; sub < kSubFolders; ++sub) {
      const std::string folder = topPath + "folder" + std::to_string(sub) + "\\";
      CreateDirectoryA(folder.c_str(), nullptr);
      ++tree.folders;
      for (int file = 0; file < kFilesPerFolder; ++file) {
        const int serial = tree.files++;
        std::string path = folder + "file" + std::to_string(file);
        std::string bytes;
        if (serial % 100 == 7) {  // 1% fonts; one font in fifty of those is the product's
          const bool collection = (serial / 100) % 2 == 1;
          const bool product = (serial / 100) % 50 == 0 || (serial / 100) % 50 == 1;
          path += collection ? ".ttc" : ".otf";
          bytes = product ? (collection ? productCollection : productFont)
                          : (collection ? otherCollection : otherFont);
          if (product) tree.productFonts.emplace_back(path, bytes);
        } else {
          path += ".txt";
        }
        WriteBytes(path, bytes);
      }
    }
  }
  return tree;
}

// The floor: a plain wide listing of the same tree, by extended-length paths, as the walk lists.
int BareWalk(const std::wstring& directory) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((directory + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int files = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0) {
        files += BareWalk(directory + found.cFileName + L"\\");
      }
    } else {
      ++files;
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return files;
}

std::wstring ExtendedRoot(const std::string& root) { return L"\\\\?\\" + std::wstring(root.begin(), root.end()); }

// The program's message pump, as the walk calls it: every pending message dispatched.
struct DrainClock {
  double start = 0;
  double last = 0;
  double longestGap = 0;
  double longestGapEnd = 0;  // seconds into the walk
  void Note(double now) {
    if (now - last <= longestGap) return;
    longestGap = now - last;
    longestGapEnd = now - start;
  }
  void Drain() {
    Note(Now());
    MSG message;
    for (int i = 0; i < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    last = Now();
  }
};

double TimeDir() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  PROCESS_INFORMATION process = {};
  char command[] = "cmd /c dir /s /b D:\\";
  const double start = Now();
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(nul);
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double elapsed = Now() - start;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(nul);
  return elapsed;
}

struct Figures {
  double search = 1e9, bare = 1e9, dir = 1e9, longestGap = 0;
  std::vector<double> ratios;  // search/bare of each round, both timed side by side
  int listed = 0;

  // The median of the rounds' own ratios: a load spike during one walk of one round moves it
  // less than it moves a ratio of bests taken from different rounds.
  double Ratio() const {
    std::vector<double> sorted = ratios;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n == 0 ? 0 : n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
};

// kRounds rounds on the tree at `root`; false when a search did not record every product font.
bool Measure(const std::string& root, const Tree& tree, bool withDir, Figures& figures) {
  for (int round = 0; round < kRounds; ++round) {
    for (const auto& [path, bytes] : tree.productFonts) WriteBytes(path, bytes);
    double bareTime = 0;
    const auto timeBare = [&] {
      const double start = Now();
      figures.listed = BareWalk(ExtendedRoot(root));
      bareTime = Now() - start;
    };
    if (round % 2 == 1) timeBare();

    kc::ClearCollectionFontList();
    kc::OpenTypeFontList found;
    DrainClock clock;
    kc::FontSearch search{found, [&clock] { clock.Drain(); }};
    const double start = Now();
    clock.start = clock.last = start;
    const int16_t result = kc::SearchFontFiles(std::wstring(root.begin(), root.end()), search);
    const double searchTime = Now() - start;
    clock.Note(Now());
    figures.longestGap = std::max(figures.longestGap, clock.longestGap);
    const size_t recorded = found.size() + static_cast<size_t>(kc::GetCollectionFontCount());
    if (result != 0 || recorded != tree.productFonts.size()) {
      std::printf("%s search failed: result %d, %zu of %zu product fonts recorded\n", root.c_str(), result, recorded,
                  tree.productFonts.size());
      return false;
    }
    if (round % 2 == 0) timeBare();
    const double dirTime = withDir ? TimeDir() : -1;
    std::printf("%s round %d: search %.3f s, bare %.3f s (%d files), ratio %.2f, longest drain gap %.0f ms (%.2f s in)",
                root.c_str(), round + 1, searchTime, bareTime, figures.listed, searchTime / bareTime,
                clock.longestGap * 1000.0, clock.longestGapEnd);
    if (withDir) std::printf(", dir %.3f s", dirTime);
    std::printf("\n");
    figures.ratios.push_back(searchTime / bareTime);
    figures.search = std::min(figures.search, searchTime);
    figures.bare = std::min(figures.bare, bareTime);
    if (dirTime > 0) figures.dir = std::min(figures.dir, dirTime);
  }
  return true;
}

}  // namespace

int main() {
  const double buildStart = Now();
  const Tree plainTree = BuildTree("D:\\");
  const Tree linkedTree = BuildTree("E:\\");
  std::printf("trees: %d files in %d folders each, %zu product fonts each (built in %.1f s)\n", plainTree.files,
              plainTree.folders, plainTree.productFonts.size(), Now() - buildStart);

  Figures plain, linked;
  if (!Measure("D:\\", plainTree, true, plain) || !Measure("E:\\", linkedTree, false, linked)) return 1;
  std::printf("search: %.0f files/s\n", plainTree.files / plain.search);
  std::printf("bare:   %.0f files/s\n", plainTree.files / plain.bare);
  std::printf("dir:    %.0f files/s\n", plainTree.files / plain.dir);
  std::printf("with 1,000 links (%d files through them): ratio search/bare: %.2f (fastest rounds %.2f); longest drain "
              "gap: %.0f ms\n",
              linked.listed, linked.Ratio(), linked.search / linked.bare, linked.longestGap * 1000.0);
  std::printf("ratio search/bare: %.2f (fastest rounds %.2f); longest drain gap: %.0f ms\n", plain.Ratio(),
              plain.search / plain.bare, plain.longestGap * 1000.0);
  return 0;
}
