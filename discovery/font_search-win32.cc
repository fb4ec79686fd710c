#include "discovery/font_search-win32.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <memory>

#include "common/append.h"
#include "common/path_buffer.h"
#include "common/result_code.h"
#include "common/scoped_win32.h"
#include "discovery/font_file_name.h"
#include "fontid/collection_reader.h"
#include "fontid/opentype_signature.h"
#include "fontid/sfnt_name_reader.h"
#include "removal/file_deletion.h"
#include "removal/font_uninstall.h"
#include "removal/os_version.h"
#include "removal/path_compare-win32.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// What a directory level learns at its first file: whether it is the Fonts folder.
struct LevelState {
  bool fontsFolderChecked = false;
  bool isFontsFolder = false;
};

// One walk of one drive. Its working storage lives on the heap, shared by all levels: a level
// appends its entry names to the one path buffer and cuts them off again, so a recursion frame
// holds only a find handle and a few words, and trees as deep as the ANSI path limit allows
// cannot exhaust the thread's stack.
class FontWalk {
 public:
  explicit FontWalk(FontSearch& search) : search_(search), lastDrain_(GetTickCount()) {}

  int16_t Run(const char* directory) {
    const size_t length = std::strlen(directory);
    if (length >= kPathBufferSize) return kRootNotListable;
    std::memcpy(storage_->path, directory, length + 1);
    return WalkDirectory(length);
  }

 private:
  struct Storage {
    char path[kPathBufferSize] = {};  // the current directory, then an entry name appended
    char fontsFolder[kPathBufferSize] = {};
    char stem[kPathBufferSize] = {};
    WIN32_FIND_DATAA found = {};
    OpenTypeFontRecord openType = {};
    CollectionFontRecord collection = {};
  };

  // Appends `text` to the path at `at`; false (path unchanged) when it would not fit.
  bool AppendToPath(size_t at, const char* text, size_t& newLength) {
    const size_t length = std::strlen(text);
    if (length >= kPathBufferSize - at) return false;
    std::memcpy(storage_->path + at, text, length + 1);
    newLength = at + length;
    return true;
  }

  int16_t WalkDirectory(size_t directoryLength) {
    char* const path = storage_->path;
    size_t patternLength = 0;
    if (!AppendToPath(directoryLength, "*.*", patternLength)) return kRootNotListable;
    ScopedFindHandle find(FindFirstFileA(path, &storage_->found));
    path[directoryLength] = '\0';
    if (!find.valid()) return kRootNotListable;

    LevelState level;
    do {
      const WIN32_FIND_DATAA& entry = storage_->found;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (!IsDotOrDotDot(entry.cFileName)) WalkChild(directoryLength, entry.cFileName);
      } else {
        const int16_t result = HandleFile(directoryLength, level);
        path[directoryLength] = '\0';
        if (result != kOk) return result;
      }
      DrainWhenDue();
    } while (FindNextFileA(find.get(), &storage_->found));
    return kOk;
  }

  void WalkChild(size_t directoryLength, const char* name) {
    size_t nameEnd = 0;
    size_t childLength = 0;
    if (AppendToPath(directoryLength, name, nameEnd) && AppendToPath(nameEnd, "\\", childLength)) {
      WalkDirectory(childLength);  // a subdirectory's failure never stops its parent
    }
    storage_->path[directoryLength] = '\0';
  }

  int16_t HandleFile(size_t directoryLength, LevelState& level) {
    // One Fonts-folder lookup per directory, at its first file, not one per file: the lookup
    // costs more than listing the entry.
    if (!level.fontsFolderChecked) {
      if (GetFontsFolderPath(storage_->fontsFolder) != kOk) return kFontsFolderUnavailable;
      // Windows paths ignore letter case: C:\WINDOWS\Fonts\ is the folder C:\Windows\Fonts\.
      level.isFontsFolder = SameFileNameIgnoringCase(storage_->path, storage_->fontsFolder);
      level.fontsFolderChecked = true;
    }

    const char* name = storage_->found.cFileName;
    const EntryName split = SplitEntryName(name);
    const FontFileType type = FontFileTypeOf(split.extension);
    if (type == FontFileType::kNone) return kOk;

    size_t pathLength = 0;
    if (!AppendToPath(directoryLength, name, pathLength)) return kOk;  // cannot be opened anyway
    return type == FontFileType::kOpenType ? HandleOpenType(split, level)
                                           : HandleCollection(split, level);
  }

  int16_t HandleOpenType(const EntryName& split, const LevelState& level) {
    const char* fullPath = storage_->path;
    if (!IsOpenTypeCffFile(fullPath)) return kOk;

    OpenTypeFontRecord& record = storage_->openType;
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.path, fullPath, std::strlen(fullPath));
    ReadSfntNameInfo(record);  // only fullName and kind decide; a short read leaves them empty
    if (record.fullName[0] == '\0' && IsZusuujiFileName(split.name, split.stemLength)) {
      const size_t length = split.stemLength < sizeof record.fullName - 1 ? split.stemLength
                                                                           : sizeof record.fullName - 1;
      std::memcpy(record.fullName, split.name, length);
    }
    if (record.fullName[0] == '\0' || record.kind != kKindProductOpenType) return kOk;

    try {
      AppendCopy(search_.openTypeFonts, record);
      OsKind osKind = kOsKindWindows5;
      const bool uninstall = GetOsKind(osKind) == kOk && osKind == kOsKindVista && level.isFontsFolder;
      const ProductFont font{FontFileType::kOpenType, fullPath, record.fullName, record.tag, uninstall,
                             split.name};
      if (!RemovalApproved(font)) return kOk;
      const int16_t result = uninstall ? UninstallFont(split.name) : DeleteTargetFile(fullPath);
      search_.openTypeFonts.back().removed = result == kOk;
      RemovalDone(font, result == kOk);
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  int16_t HandleCollection(const EntryName& split, const LevelState& level) {
    const char* fullPath = storage_->path;
    CollectionFontRecord& record = storage_->collection;
    InitCollectionFontRecord(record);
    std::memcpy(storage_->stem, split.name, split.stemLength);
    storage_->stem[split.stemLength] = '\0';
    if (IdentifyCollectionFont(fullPath, storage_->stem, record) != kOk) return kOk;

    try {
      AppendCollectionFont(record);
      // Collections in the Fonts folder are uninstalled on every system.
      const ProductFont font{FontFileType::kCollection, fullPath, record.fileName, record.tag,
                             level.isFontsFolder, split.name};
      if (!RemovalApproved(font)) return kOk;
      const int16_t result = level.isFontsFolder ? UninstallFont(split.name) : DeleteTargetFile(fullPath);
      SetLastCollectionFontRemoved(result == kOk);
      RemovalDone(font, result == kOk);
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  bool RemovalApproved(const ProductFont& font) {
    return search_.observer == nullptr || search_.observer->BeforeRemoval(font);
  }
  void RemovalDone(const ProductFont& font, bool removed) {
    if (search_.observer != nullptr) search_.observer->AfterRemoval(font, removed);
  }

  void DrainWhenDue() {
    if (GetTickCount() - lastDrain_ < kDrainIntervalMs) return;
    if (search_.drainMessages) search_.drainMessages();
    lastDrain_ = GetTickCount();
  }

  FontSearch& search_;
  std::unique_ptr<Storage> storage_ = std::make_unique<Storage>();
  DWORD lastDrain_;
};

}  // namespace

int16_t SearchFontFiles(const char* directory, FontSearch& search) {
  try {
    FontWalk walk(search);
    return walk.Run(directory);
  } catch (const std::bad_alloc&) {
    // The walk's own storage could not be had: as much a memory failure as a failed append.
    return kOutOfMemory;
  }
}

}  // namespace kc
