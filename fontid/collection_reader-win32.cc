#include <windows.h>

#include <cstring>

#include "common/open_font_file-win32.h"
#include "common/path_copy.h"
#include "common/result_code.h"
#include "fontid/ansi_converter.h"
#include "fontid/collection_reader.h"
#include "fontid/description_tag.h"
#include "common/scoped_handles-win32.h"
#include "fontid/name_tag_ctrl.h"

namespace kc {
namespace {

// The size, or 0 when it cannot be taken (the walk then finds nothing to read).
DWORD SizeOf(HANDLE file) {
  SetLastError(NO_ERROR);
  const DWORD size = GetFileSize(file, nullptr);
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

ResultCode ReadCollectionNameTag(const OpenFontFile& file, CollectionFontRecord& record) {
  if (!file.IsOpen()) return kCollectionOpenFailed;
  char description[kDescriptionMax + 1] = {};
  bool read = false;
  {
    // The walk's one open serves the size and the mapping: a second open would cost as much as the
    // mapping itself on every collection of a drive, and give the file a moment to change in between.
    DWORD fileSize = SizeOf(file.handle());
    ScopedHandle mapping(CreateFileMappingA(file.handle(), nullptr, PAGE_READONLY, 0, 0, nullptr));
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
    // The view and the mapping close here, in this order, before the tag is judged: a file with a
    // view of it cannot be deleted.
  }
  if (!read) return kCollectionMalformed;

  FontKind kind = kKindNotIdentified;
  if (ClassifyCollectionTag(description, kind) != kOk) return kUnknownCollectionTag;
  record.kind = kind;
  std::memcpy(record.tag, description, sizeof record.tag - 1);  // a product tag: four bytes
  record.tag[sizeof record.tag - 1] = '\0';
  return kOk;
}

ResultCode IdentifyCollectionFont(const OpenFontFile& file, const char* path, const char* baseName,
                                  CollectionFontRecord& record) {
  InitCollectionFontRecord(record);
  // A path cut to its buffer would name another file: refused. The file name is only shown, so it
  // is cut (the reset record terminates it).
  if (!CopyPath(record.path, path)) return kCollectionOpenFailed;
  std::strncpy(record.fileName, baseName, sizeof record.fileName - 1);
  return ReadCollectionNameTag(file, record);
}

ResultCode IdentifyCollectionFont(const wchar_t* path, const char* ansiPath, const char* baseName,
                                  CollectionFontRecord& record) {
  const OpenFontFile file(path);
  return IdentifyCollectionFont(file, ansiPath, baseName, record);
}

}  // namespace kc
