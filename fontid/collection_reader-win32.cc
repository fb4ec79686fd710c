#include <windows.h>

#include <cstring>

#include "common/path_copy.h"
#include "common/result_code.h"
#include "fontid/ansi_converter.h"
#include "fontid/collection_reader.h"
#include "fontid/description_tag.h"
#include "common/scoped_handles-win32.h"
#include "fontid/name_tag_ctrl.h"

namespace kc {
namespace {

// Share mode 0 first: while the program reads the file nobody can change it. A file that another
// process holds (an application or Windows using the font) refuses that; it is read sharing all
// access instead, so that a product font in use is still recognised, recorded and removed. Only
// a file held without read sharing stays unreadable.
ScopedHandle OpenToRead(const char* path) {
  ScopedHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid() || GetLastError() != ERROR_SHARING_VIOLATION) return file;
  return ScopedHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The size, or 0 when it cannot be taken (the walk then finds nothing to read).
DWORD SizeOf(const ScopedHandle& file) {
  SetLastError(NO_ERROR);
  const DWORD size = GetFileSize(file.get(), nullptr);
  return size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? 0 : size;
}

// How many bytes from the start of the view can be read: a file shared for writing may have
// changed size after it was measured, and no read may pass the end of the view.
DWORD ReadableBytes(const ScopedView& view) {
  MEMORY_BASIC_INFORMATION region = {};
  if (VirtualQuery(view.bytes(), &region, sizeof region) != sizeof region) return 0;
  return region.RegionSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(region.RegionSize);
}

}  // namespace

ResultCode ReadCollectionNameTag(CollectionFontRecord& record) {
  if (std::memchr(record.path, '\0', sizeof record.path) == nullptr) return kCollectionOpenFailed;
  char description[kDescriptionMax + 1] = {};
  bool read = false;
  {
    // One open serves the size and the mapping: a second open would cost as much as the mapping
    // itself on every collection of a drive, and give the file a moment to change in between.
    ScopedHandle file = OpenToRead(record.path);
    if (!file.valid()) return kCollectionOpenFailed;
    DWORD fileSize = SizeOf(file);
    ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.valid()) return kCollectionMapFailed;
    ScopedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view.valid()) return kCollectionMapFailed;
    // A file shared for writing may change size at any time: the walk keeps within the size
    // measured and within the view.
    const DWORD readable = ReadableBytes(view);
    if (readable < fileSize) fileSize = readable;

    // A size beyond the signed 32-bit range cannot be walked; it is judged like an unreadable one.
    const int32_t walkSize = fileSize > 0x7FFFFFFFu ? 0 : static_cast<int32_t>(fileSize);
    CNameTagCtrl control(ConvertToAnsiCodePage);
    read = control.ReadNameTag(walkSize, view.bytes(), description);
    // The view, the mapping and the file close here, in this order, before the tag is judged.
  }
  if (!read) return kCollectionMalformed;

  FontKind kind = kKindNotIdentified;
  if (ClassifyCollectionTag(description, kind) != kOk) return kUnknownCollectionTag;
  record.kind = kind;
  std::memcpy(record.tag, description, sizeof record.tag - 1);  // a product tag: four bytes
  record.tag[sizeof record.tag - 1] = '\0';
  return kOk;
}

ResultCode IdentifyCollectionFont(const char* path, const char* baseName, CollectionFontRecord& record) {
  InitCollectionFontRecord(record);
  // A path cut to its buffer would name another file: refused. The file name is only shown, so it
  // is cut (the reset record terminates it).
  if (!CopyPath(record.path, path)) return kCollectionOpenFailed;
  std::strncpy(record.fileName, baseName, sizeof record.fileName - 1);
  return ReadCollectionNameTag(record);
}

}  // namespace kc
