#pragma once
// Result codes: 0 is success, a negative value a failure. Every code fits 16 bits; callers
// compare after sign extension. These values are the program's contract between its parts
// and are named once, here.

namespace kc {

enum ResultCode : int {
  kOk = 0,

  // Drive list and font-file search.
  kDriveStringsUnreadable = -1,
  kOutOfMemory = -9,          // a standard-library exception while recording or removing a found font
  kRootNotListable = -10,

  // OpenType name reader.
  kSfntOpenFailed = -101,
  kSfntSeekFailed = -102,
  kSfntShortRead = -103,      // also: the current position cannot be obtained
  kSfntAllocationFailed = -104,

  // Version query, folder lookups, deletion, uninstallation, collection reader's first open.
  kVersionUnreadable = -1064,
  kProductTypeUnreadable = -1065,
  kUnsupportedVersion = -1066,
  kCommonDesktopUnavailable = -1068,
  kDeleteFailed = -1071,
  kCollectionOpenFailed = -1076,
  kFontsFolderUnavailable = -1078,
  kFontTableUnavailable = -1084,
  kFontFileDeleteFailed = -1085,
  kFolderUnavailable = -1086,

  // Collection list and collection reader.
  kCollectionIndexOutOfRange = -8003,
  kCollectionIndexAtEnd = -8004,
  kUnknownCollectionTag = -8009,
  kCollectionReopenFailed = -8010,  // a second open for the mapping: no longer made, so never returned
  kCollectionMapFailed = -8011,
  kCollectionMalformed = -8012,
};

}  // namespace kc
