#include "discovery/font_search-win32.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "common/append.h"
#include "common/open_font_file-win32.h"
#include "common/path_buffer.h"
#include "common/path_copy.h"
#include "common/result_code.h"
#include "common/scoped_handles-win32.h"
#include "discovery/collection_font_list.h"
#include "discovery/font_file_name.h"
#include "fontid/collection_reader.h"
#include "fontid/opentype_font.h"
#include "removal/font_uninstall.h"
#include "removal/os_version-win32.h"
#include "removal/path_compare-win32.h"
#include "removal/font_file_removal.h"
#include "removal/shell_folders.h"
#include "removal/user_font_uninstall.h"

namespace kc {
namespace {

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// One folder on the walk's current path, from the folder the walk started at down.
struct Level {
  size_t pathLength = 0;       // its path is the first pathLength bytes of the path buffer
  bool belowLink = false;      // reached through a link: its identity is known or was tried
  bool identityTried = false;  // its identity was read, or found unreadable
  bool identityKnown = false;
  FileIdentity identity;
  // What the folder's first file tells: whether it is the Fonts folder, or a user's.
  bool fontsFolderChecked = false;
  bool isFontsFolder = false;
  UserFontFolder* userFontFolder = nullptr;
};

// Whether the folder path (ending in its backslash) ends in a folder named Fonts, letter case
// aside. A trail byte of code page 932 may look like the backslash before it: such a folder is
// only identified for nothing, since its identity decides.
bool EndsInFontsFolderName(const char* path, size_t length) {
  static const char kName[] = "\\fonts\\";
  const size_t nameLength = sizeof kName - 1;
  if (length < nameLength) return false;
  for (size_t i = 0; i < nameLength; ++i) {
    char c = path[length - nameLength + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kName[i]) return false;
  }
  return true;
}

// One walk of one drive. Its working storage lives on the heap, shared by all levels: a level
// appends its entry names to the one path buffer and cuts them off again, so a recursion frame
// holds only a find handle and a few words, and trees as deep as the ANSI path limit allows
// cannot exhaust the thread's stack.
class FontWalk {
 public:
  explicit FontWalk(FontSearch& search) : search_(search), lastDrain_(GetTickCount()) {}

  ResultCode Run(const char* directory) {
    const size_t length = std::strlen(directory);
    if (!CopyPath(storage_->path, kPathBufferSize, directory, length)) return kRootNotListable;
    Level start;
    start.pathLength = length;
    return WalkDirectory(start);
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

  // Appends the `length` bytes of `text` to the path at `at`; false (the path ends at `at`) when
  // they would not fit.
  bool AppendToPath(size_t at, const char* text, size_t length, size_t& newLength) {
    if (!CopyPath(storage_->path + at, kPathBufferSize - at, text, length)) return false;
    newLength = at + length;
    return true;
  }

  ResultCode WalkDirectory(const Level& level) {
    levels_.push_back(level);
    const ResultCode result = ListDirectory(level.pathLength);
    levels_.pop_back();
    return result;
  }

  ResultCode ListDirectory(size_t directoryLength) {
    char* const path = storage_->path;
    size_t patternLength = 0;
    if (!AppendToPath(directoryLength, "*.*", 3, patternLength)) return kRootNotListable;
    ScopedFindHandle find(FindFirstFileA(path, &storage_->found));
    path[directoryLength] = '\0';
    if (!find.valid()) return kRootNotListable;

    do {
      const WIN32_FIND_DATAA& entry = storage_->found;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (!IsDotOrDotDot(entry.cFileName)) WalkChild(directoryLength, entry.cFileName, entry.dwFileAttributes);
      } else {
        const ResultCode result = HandleFile(directoryLength);
        path[directoryLength] = '\0';
        if (result != kOk) return result;
      }
      DrainWhenDue();
    } while (FindNextFileA(find.get(), &storage_->found));
    return kOk;
  }

  void WalkChild(size_t directoryLength, const char* name, DWORD attributes) {
    size_t nameEnd = 0;
    Level child;
    if (AppendToPath(directoryLength, name, std::strlen(name), nameEnd) &&
        AppendToPath(nameEnd, "\\", 1, child.pathLength)) {
      const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      child.belowLink = link || levels_.back().belowLink;
      // A plain folder outside every link costs nothing more: only links can lead back.
      if (!child.belowLink || AdmitBelowLink(child, link)) {
        WalkDirectory(child);  // a subdirectory's failure never stops its parent
      }
    }
    storage_->path[directoryLength] = '\0';
  }

  // Whether a folder reached through a link (a link itself, or a folder below one) is walked: not
  // when it was walked through links already, nor when the walk is inside it. Takes its identity.
  bool AdmitBelowLink(Level& child, bool link) {
    child.identityTried = true;
    child.identityKnown = ReadFileIdentity(storage_->path, child.identity);
    // A link that cannot be identified might lead back; a plain folder below one cannot.
    if (!child.identityKnown) return !link;
    if (link) RememberFoldersOnPath();
    return search_.memory.walkedFolders.insert(child.identity).second;
  }

  // The folders the walk is inside get their identities the first time a link is met below them,
  // so that a link back to any of them is known; they are walked, so they count as walked.
  void RememberFoldersOnPath() {
    size_t first = levels_.size();
    while (first > 0 && !levels_[first - 1].identityTried) --first;
    char* const path = storage_->path;
    for (size_t i = first; i < levels_.size(); ++i) {
      Level& level = levels_[i];
      const char cut = path[level.pathLength];
      path[level.pathLength] = '\0';
      level.identityTried = true;
      level.identityKnown = ReadFileIdentity(path, level.identity);
      path[level.pathLength] = cut;
      if (level.identityKnown) search_.memory.walkedFolders.insert(level.identity);
    }
  }

  ResultCode HandleFile(size_t directoryLength) {
    Level& level = levels_.back();
    if (!level.fontsFolderChecked) {
      if (!FontsFolderKnown()) return kFontsFolderUnavailable;
      // Reached through a link, the folder's spelling says nothing: C:\Windows\Fonts\ may be
      // D:\link\. Otherwise the spelling decides, letter case aside as Windows paths go.
      level.isFontsFolder = level.belowLink ? IsFontsFolderByIdentity(level)
                                            : SameFileNameIgnoringCase(storage_->path, storage_->fontsFolder);
      if (!level.isFontsFolder) level.userFontFolder = UserFontFolderOf(level);
      level.fontsFolderChecked = true;
    }

    const char* name = storage_->found.cFileName;
    const EntryName split = SplitEntryName(name);
    const FontFileType type = FontFileTypeOf(split.extension);
    if (type == FontFileType::kNone) return kOk;

    size_t pathLength = 0;
    if (!AppendToPath(directoryLength, name, split.length, pathLength)) return kOk;  // cannot be opened anyway
    // The one open of the file: it is identified through this handle, and removed through it.
    OpenFontFile file(storage_->path);
    if (!file.IsOpen()) return kOk;  // missing, or unreadable: not a product font as far as can be told
    return type == FontFileType::kOpenType ? HandleOpenType(file, split, pathLength, level)
                                           : HandleCollection(file, split, level);
  }

  // One Fonts-folder lookup per walk, at its first file, not one per file or folder: the lookup
  // costs more than listing an entry, and its answer does not change during a run.
  bool FontsFolderKnown() {
    if (fontsLookup_ == FontsLookup::kNotYet) {
      fontsLookup_ = GetFontsFolderPath(storage_->fontsFolder) == kOk ? FontsLookup::kFound : FontsLookup::kUnavailable;
    }
    return fontsLookup_ == FontsLookup::kFound;
  }

  // The user whose Fonts folder this is, or null. Only a folder named Fonts can be one, unless a
  // link led here, so a plain walk reads no identity for any other folder.
  UserFontFolder* UserFontFolderOf(const Level& level) {
    if (!level.belowLink && !EndsInFontsFolderName(storage_->path, level.pathLength)) return nullptr;
    SearchMemory& memory = search_.memory;
    if (!memory.userFontFoldersRead) {
      memory.userFontFolders = ReadUserFontFolders();
      memory.userFontFoldersRead = true;
    }
    if (memory.userFontFolders.empty()) return nullptr;
    FileIdentity identity = level.identity;
    if (level.belowLink ? !level.identityKnown : !ReadFileIdentity(storage_->path, identity)) return nullptr;
    return FindUserFontFolder(memory.userFontFolders, identity);
  }

  bool IsFontsFolderByIdentity(const Level& level) {
    if (!level.identityKnown) return false;
    if (!fontsIdentityTried_) {
      fontsIdentityTried_ = true;
      fontsIdentityKnown_ = ReadFileIdentity(storage_->fontsFolder, fontsIdentity_);
    }
    return fontsIdentityKnown_ && level.identity == fontsIdentity_;
  }

  ResultCode HandleOpenType(OpenFontFile& file, const EntryName& split, size_t pathLength, const Level& level) {
    const char* fullPath = storage_->path;
    OpenTypeFontRecord& record = storage_->openType;
    std::memset(&record, 0, sizeof record);
    if (!CopyPath(record.path, sizeof record.path, fullPath, pathLength)) return kOk;
    ResultCode nameResult = kOk;  // only fullName and kind decide; a short read leaves them empty
    if (!IdentifyOpenTypeFile(file, record, nameResult)) return kOk;  // not "OTTO", or unreadable
    if (record.fullName[0] == '\0' && IsZusuujiFileName(split.name, split.stemLength)) {
      const size_t length = split.stemLength < sizeof record.fullName - 1 ? split.stemLength
                                                                           : sizeof record.fullName - 1;
      std::memcpy(record.fullName, split.name, length);
    }
    if (record.fullName[0] == '\0' || record.kind != kKindProductOpenType) return kOk;
    if (RecordedAlready(file)) return kOk;

    try {
      AppendCopy(search_.openTypeFonts, record);
      OsKind osKind = kOsKindWindows5;
      // A font installed for one user is uninstalled for that user on any system.
      const bool uninstall = (GetOsKind(osKind) == kOk && osKind == kOsKindVista && level.isFontsFolder) ||
                             level.userFontFolder != nullptr;
      const ProductFont font{FontFileType::kOpenType, fullPath, record.fullName, record.tag, uninstall,
                             level.isFontsFolder, level.userFontFolder, split.name};
      RemoveRecordedFont(font, file,
                         [this](RemovalOutcome outcome) { search_.openTypeFonts.back().outcome = outcome; });
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  ResultCode HandleCollection(OpenFontFile& file, const EntryName& split, const Level& level) {
    const char* fullPath = storage_->path;
    CollectionFontRecord& record = storage_->collection;
    InitCollectionFontRecord(record);
    if (!CopyPath(storage_->stem, sizeof storage_->stem, split.name, split.stemLength)) return kOk;
    if (IdentifyCollectionFont(file, fullPath, storage_->stem, record) != kOk) return kOk;
    if (RecordedAlready(file)) return kOk;

    try {
      AppendCollectionFont(record);
      // Collections in the Fonts folder, or a user's, are uninstalled on every system.
      const bool uninstall = level.isFontsFolder || level.userFontFolder != nullptr;
      const ProductFont font{FontFileType::kCollection, fullPath, record.fileName, record.tag, uninstall,
                             level.isFontsFolder, level.userFontFolder, split.name};
      RemoveRecordedFont(font, file, SetLastCollectionFontOutcome);
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  // Removes a recorded product font through its open `file` (uninstalled or deleted, as
  // `font.uninstall` says) unless the observer keeps it in place. `noteOutcome` writes the outcome
  // into the font's record before the observer hears of it.
  template <class NoteOutcome>
  void RemoveRecordedFont(const ProductFont& font, OpenFontFile& file, NoteOutcome noteOutcome) {
    // Taken before the removal closes the file: a font that stays is known by it when met again.
    FileIdentity identity;
    const bool identified = file.Identity(identity);
    if (!RemovalApproved(font)) {
      // Kept in place (a preview): known when met again, as one that stayed after its removal
      // would be, since a removal would have taken it the first time.
      if (identified) search_.memory.fontsLeftOnDisk.insert(identity);
      return;
    }
    RemovalOutcome outcome = RemovalOutcome::kStillOnDisk;
    if (font.userFontFolder != nullptr) {
      outcome = UninstallUserFont(file, *font.userFontFolder, font.fileName);
    } else if (font.uninstall) {
      UninstallFont(file, font.fileName, outcome);
    } else {
      outcome = RemoveFontFile(file, font.path, font.inFontsFolder ? font.fileName : nullptr);
    }
    noteOutcome(outcome);
    if (outcome != RemovalOutcome::kRemoved && identified) search_.memory.fontsLeftOnDisk.insert(identity);
    RemovalDone(font, outcome);
  }

  // A product font whose file stayed is met again when a link leads to its folder once more; a
  // removed one cannot be. Costs nothing until a font has stayed.
  bool RecordedAlready(const OpenFontFile& file) const {
    if (search_.memory.fontsLeftOnDisk.empty()) return false;
    FileIdentity identity;
    return file.Identity(identity) && search_.memory.fontsLeftOnDisk.count(identity) != 0;
  }

  bool RemovalApproved(const ProductFont& font) {
    return search_.observer == nullptr || search_.observer->BeforeRemoval(font);
  }
  void RemovalDone(const ProductFont& font, RemovalOutcome outcome) {
    if (search_.observer != nullptr) search_.observer->AfterRemoval(font, outcome);
  }

  void DrainWhenDue() {
    if (GetTickCount() - lastDrain_ < kDrainIntervalMs) return;
    if (search_.drainMessages) search_.drainMessages();
    lastDrain_ = GetTickCount();
  }

  enum class FontsLookup { kNotYet, kFound, kUnavailable };

  FontSearch& search_;
  std::unique_ptr<Storage> storage_ = std::make_unique<Storage>();
  std::vector<Level> levels_;
  DWORD lastDrain_;
  FontsLookup fontsLookup_ = FontsLookup::kNotYet;
  bool fontsIdentityTried_ = false;
  bool fontsIdentityKnown_ = false;
  FileIdentity fontsIdentity_;
};

}  // namespace

ResultCode SearchFontFiles(const char* directory, FontSearch& search) {
  try {
    FontWalk walk(search);
    return walk.Run(directory);
  } catch (const std::bad_alloc&) {
    // The walk's own storage, or its memory of folders, could not grow: as much a memory failure
    // as a failed append.
    return kOutOfMemory;
  }
}

}  // namespace kc
