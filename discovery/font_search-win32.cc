#include "discovery/font_search-win32.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "common/append.h"
#include "common/open_font_file-win32.h"
#include "common/reparse_tag.h"
#include "common/result_code.h"
#include "common/wide_text-win32.h"
#include "discovery/collection_font_list.h"
#include "discovery/directory_listing-win32.h"
#include "discovery/font_file_name.h"
#include "fontid/collection_reader.h"
#include "fontid/opentype_font.h"
#include "removal/font_uninstall.h"
#include "removal/os_version-win32.h"
#include "removal/font_file_removal.h"
#include "removal/shell_folders.h"
#include "removal/user_font_uninstall.h"

namespace kc {
namespace {

bool IsDotOrDotDot(const ListedEntry& entry) {
  return (entry.nameLength == 1 && entry.name[0] == L'.') ||
         (entry.nameLength == 2 && entry.name[0] == L'.' && entry.name[1] == L'.');
}

// A batch of entries per folder listed: as much as FindFirstFile takes near the top, where folders
// are wide; deeper, just over one entry of the longest name, since every folder on the walk's
// path holds its batch while the walk is below it.
size_t ListingBufferBytes(size_t depth) { return depth < 64 ? 8192 : 1024; }

// One folder on the walk's current path, from the folder the walk started at down.
struct Level {
  size_t pathLength = 0;       // its path is the first pathLength units of the walk's path
  DirectoryListing listing;    // open while the walk is in the folder or below it
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
// aside as the file system compares names.
bool EndsInFontsFolderName(const std::wstring& path, size_t length) {
  static const wchar_t kName[] = L"\\Fonts\\";
  const size_t nameLength = sizeof kName / sizeof kName[0] - 1;
  return length >= nameLength && SameWideNameIgnoringCase(path.data() + length - nameLength, nameLength, kName, nameLength);
}

// One walk of one drive. The folders on the walk's path are kept on a stack of their own (each with
// its open listing), not on the thread's: a tree as deep as 32,767 characters allow cannot exhaust
// the stack. The path is one buffer that each level appends its entry names to and cuts back.
class FontWalk {
 public:
  explicit FontWalk(FontSearch& search) : search_(search), lastDrain_(GetTickCount()) {}

  ResultCode Run(const std::wstring& directory) {
    // A drive root lists no "." and ".." on Windows, so one that lists nothing else is empty, and
    // an empty drive cannot be listed (FindFirstFile fails). Wine lists them in roots too.
    startIsDriveRoot_ = directory.size() == 3 && directory[1] == L':' && directory[2] == L'\\';
    path_ = ExtendedLengthPath(directory);
    Level start;
    start.pathLength = path_.size();
    if (!start.listing.Open(path_, ListingBufferBytes(0))) return kRootNotListable;
    levels_.push_back(std::move(start));
    return Walk();
  }

 private:
  // The working records and their code page 932 spellings, on the heap: they are large.
  struct Storage {
    char ansiPath[kCollectionPathSize] = {};
    char ansiStem[kCollectionPathSize] = {};
    OpenTypeFontRecord openType = {};
    CollectionFontRecord collection = {};
  };

  // Depth first in listing order: a folder's subtree is walked whole before its next entry. A
  // folder's walk ends at its last entry, or at a file that stops it (kFontsFolderUnavailable,
  // kOutOfMemory); only the starting folder's ending is the result, the others' never stop their
  // parent.
  ResultCode Walk() {
    for (;;) {
      ListedEntry entry;
      ResultCode ended = kOk;
      bool done = !levels_.back().listing.Next(entry);
      if (!done) {
        if (levels_.size() == 1 && !IsDotOrDotDot(entry)) startListedAnything_ = true;
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          if (!IsDotOrDotDot(entry)) EnterChild(entry);
        } else {
          ended = HandleFile(entry);
          path_.resize(levels_.back().pathLength);
          done = ended != kOk;
        }
      }
      if (done) {
        levels_.pop_back();
        if (levels_.empty()) return startIsDriveRoot_ && !startListedAnything_ ? kRootNotListable : ended;
        path_.resize(levels_.back().pathLength);
      }
      DrainWhenDue();
    }
  }

  // Opens a subfolder for listing and puts it on the walk's path, unless it is a link (or lies
  // below one) that leads where the walk has been.
  void EnterChild(const ListedEntry& entry) {
    const size_t parentLength = path_.size();
    path_.append(entry.name, entry.nameLength);
    path_ += L'\\';
    Level child;
    child.pathLength = path_.size();
    // Only a name surrogate (junction, symbolic link, mount point) leads elsewhere; a folder kept by
    // a cloud or deduplication filter is a folder, walked as one at no extra cost.
    const bool link = IsNameSurrogateLink(entry.attributes, entry.reparseTag);
    child.belowLink = link || levels_.back().belowLink;
    // A subfolder that cannot be listed is skipped; its parent goes on.
    bool admitted = child.listing.Open(path_, ListingBufferBytes(levels_.size()));
    // A plain folder outside every link costs nothing more: only links can lead back.
    if (admitted && child.belowLink) admitted = AdmitBelowLink(child, link);
    if (admitted) {
      levels_.push_back(std::move(child));
    } else {
      path_.resize(parentLength);
    }
  }

  // Whether a folder reached through a link (a link itself, or a folder below one) is walked: not
  // when it was walked through links already, nor when the walk is inside it. Its identity is that
  // of the folder just opened for listing.
  bool AdmitBelowLink(Level& child, bool link) {
    child.identityTried = true;
    child.identityKnown = ReadOpenFileIdentity(child.listing.handle(), child.identity);
    // A link that cannot be identified might lead back; a plain folder below one cannot.
    if (!child.identityKnown) return !link;
    if (link) RememberFoldersOnPath();
    return search_.memory.walkedFolders.insert(child.identity).second;
  }

  // The folders the walk is inside get their identities the first time a link is met below them,
  // so that a link back to any of them is known; they are walked, so they count as walked. Each is
  // read through its own listing's handle, not by its path.
  void RememberFoldersOnPath() {
    size_t first = levels_.size();
    while (first > 0 && !levels_[first - 1].identityTried) --first;
    for (size_t i = first; i < levels_.size(); ++i) {
      Level& level = levels_[i];
      level.identityTried = true;
      level.identityKnown = ReadOpenFileIdentity(level.listing.handle(), level.identity);
      if (level.identityKnown) search_.memory.walkedFolders.insert(level.identity);
    }
  }

  ResultCode HandleFile(const ListedEntry& entry) {
    Level& level = levels_.back();
    if (!level.fontsFolderChecked) {
      if (!FontsFolderKnown()) return kFontsFolderUnavailable;
      // Reached through a link, the folder's path says nothing: C:\Windows\Fonts\ may be D:\link\.
      // Otherwise its path as the file system spells it decides, letter case aside.
      level.isFontsFolder = level.belowLink ? IsFontsFolderByIdentity(level) : IsFontsFolderByPath(level);
      if (!level.isFontsFolder) level.userFontFolder = UserFontFolderOf(level);
      level.fontsFolderChecked = true;
    }

    const EntryName split = SplitEntryName(entry.name, entry.nameLength);
    const FontFileType type = FontFileTypeOf(split.extension, split.length - split.stemLength);
    if (type == FontFileType::kNone) return kOk;

    const std::wstring fileName(entry.name, entry.nameLength);
    path_ += fileName;
    // The one open of the file: it is identified through this handle, and removed through it.
    OpenFontFile file(path_.c_str());
    if (!file.IsOpen()) return kOk;  // missing, or unreadable: not a product font as far as can be told
    const std::wstring stem = fileName.substr(0, split.stemLength);
    return type == FontFileType::kOpenType ? HandleOpenType(file, fileName, stem, level)
                                           : HandleCollection(file, fileName, stem, level);
  }

  // One Fonts-folder lookup per walk, at its first file, not one per file or folder: the lookup
  // costs more than listing an entry, and its answer does not change during a run.
  bool FontsFolderKnown() {
    if (fontsLookup_ == FontsLookup::kNotYet) {
      std::wstring fontsFolder;
      fontsLookup_ = GetFontsFolderPath(fontsFolder) == kOk ? FontsLookup::kFound : FontsLookup::kUnavailable;
      extendedFontsFolder_ = ExtendedLengthPath(fontsFolder);
    }
    return fontsLookup_ == FontsLookup::kFound;
  }

  // Both in the extended-length form: compared in place, with no copy per folder.
  bool IsFontsFolderByPath(const Level& level) const {
    return SameWideNameIgnoringCase(path_.data(), level.pathLength, extendedFontsFolder_.data(),
                                    extendedFontsFolder_.size());
  }

  // The user whose Fonts folder this is, or null. Only a folder named Fonts can be one, unless a
  // link led here, so a plain walk reads no identity for any other folder.
  UserFontFolder* UserFontFolderOf(const Level& level) {
    if (!level.belowLink && !EndsInFontsFolderName(path_, level.pathLength)) return nullptr;
    SearchMemory& memory = search_.memory;
    if (!memory.userFontFoldersRead) {
      memory.userFontFolders = ReadUserFontFolders();
      memory.userFontFoldersRead = true;
    }
    if (memory.userFontFolders.empty()) return nullptr;
    FileIdentity identity = level.identity;
    if (level.belowLink ? !level.identityKnown : !ReadOpenFileIdentity(level.listing.handle(), identity)) {
      return nullptr;
    }
    return FindUserFontFolder(memory.userFontFolders, identity);
  }

  bool IsFontsFolderByIdentity(const Level& level) {
    if (!level.identityKnown) return false;
    if (!fontsIdentityTried_) {
      fontsIdentityTried_ = true;
      fontsIdentityKnown_ = ReadFileIdentity(extendedFontsFolder_.c_str(), fontsIdentity_);
    }
    return fontsIdentityKnown_ && level.identity == fontsIdentity_;
  }

  ResultCode HandleOpenType(OpenFontFile& file, const std::wstring& fileName, const std::wstring& stem,
                            const Level& level) {
    OpenTypeFontRecord& record = storage_->openType;
    std::memset(&record, 0, sizeof record);
    const std::wstring shownPath = OrdinaryPath(path_);
    Cp932SpellingOf(shownPath.data(), shownPath.size(), record.path, sizeof record.path);
    ResultCode nameResult = kOk;  // only fullName and kind decide; a short read leaves them empty
    if (!IdentifyOpenTypeFile(file, record, nameResult)) return kOk;  // not "OTTO", or unreadable
    if (record.fullName[0] == '\0' && IsZusuujiFileName(stem.data(), stem.size())) {
      Cp932SpellingOf(stem.data(), stem.size(), record.fullName, sizeof record.fullName);
      StoreDisplayName(Utf8FromWide(stem), record.displayName);
    }
    if (record.fullName[0] == '\0' || record.kind != kKindProductOpenType) return kOk;
    if (RecordedAlready(file)) return kOk;
    if (record.displayName[0] == '\0') {
      // No Unicode name: the Macintosh Japanese one, read as the code page it is written in.
      StoreDisplayName(Utf8FromWide(WideFromCp932(record.fullName, std::strlen(record.fullName))), record.displayName);
    }

    try {
      AppendCopy(search_.openTypeFonts, record);
      OsKind osKind = kOsKindWindows5;
      // A font installed for one user is uninstalled for that user on any system.
      const bool uninstall = (GetOsKind(osKind) == kOk && osKind == kOsKindVista && level.isFontsFolder) ||
                             level.userFontFolder != nullptr;
      const ProductFont font{FontFileType::kOpenType, path_.c_str(), record.displayName, record.tag, uninstall,
                             level.isFontsFolder, level.userFontFolder, fileName.c_str()};
      RemoveRecordedFont(font, file,
                         [this](RemovalOutcome outcome) { search_.openTypeFonts.back().outcome = outcome; });
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  ResultCode HandleCollection(OpenFontFile& file, const std::wstring& fileName, const std::wstring& stem,
                              const Level& level) {
    CollectionFontRecord& record = storage_->collection;
    InitCollectionFontRecord(record);
    const std::wstring shownPath = OrdinaryPath(path_);
    Cp932SpellingOf(shownPath.data(), shownPath.size(), storage_->ansiPath, sizeof storage_->ansiPath);
    Cp932SpellingOf(stem.data(), stem.size(), storage_->ansiStem, sizeof storage_->ansiStem);
    if (IdentifyCollectionFont(file, storage_->ansiPath, storage_->ansiStem, record) != kOk) return kOk;
    if (RecordedAlready(file)) return kOk;
    StoreDisplayName(Utf8FromWide(stem), record.displayName);

    try {
      AppendCollectionFont(record);
      // Collections in the Fonts folder, or a user's, are uninstalled on every system.
      const bool uninstall = level.isFontsFolder || level.userFontFolder != nullptr;
      const ProductFont font{FontFileType::kCollection, path_.c_str(), record.displayName, record.tag, uninstall,
                             level.isFontsFolder, level.userFontFolder, fileName.c_str()};
      RemoveRecordedFont(font, file, SetLastCollectionFontOutcome);
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  // A display name cut, at a whole UTF-8 character, to its field.
  static void StoreDisplayName(const std::string& utf8, char (&field)[kDisplayNameSize]) {
    size_t length = utf8.size() < sizeof field - 1 ? utf8.size() : sizeof field - 1;
    while (length > 0 && length < utf8.size() && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) --length;
    std::memset(field, 0, sizeof field);
    std::memcpy(field, utf8.data(), length);
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
      outcome = RemoveFontFile(file, path_, font.inFontsFolder ? font.fileName : nullptr);
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
  std::wstring path_;  // extended-length: the current folder, then an entry name appended
  std::vector<Level> levels_;
  std::wstring extendedFontsFolder_;  // the Fonts folder from the shell, in the walk's form
  DWORD lastDrain_;
  FontsLookup fontsLookup_ = FontsLookup::kNotYet;
  bool startIsDriveRoot_ = false;
  bool startListedAnything_ = false;
  bool fontsIdentityTried_ = false;
  bool fontsIdentityKnown_ = false;
  FileIdentity fontsIdentity_;
};

}  // namespace

ResultCode SearchFontFiles(const std::wstring& directory, FontSearch& search) {
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
