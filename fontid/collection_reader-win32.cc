#include <windows.h>

#include <cstring>

#include "common/result_code.h"
#include "fontid/ansi_converter.h"
#include "fontid/collection_reader.h"
#include "fontid/description_tag.h"
#include "common/scoped_win32.h"
#include "fontid/name_tag_ctrl.h"

namespace kc {
namespace {

// Share mode 0: while the program reads the file nobody can change it, and a file that another
// process holds open is refused.
ScopedHandle OpenExclusive(const char* path) {
  return ScopedHandle(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The size, or 0 when it cannot be taken (the walk then finds nothing to read).
DWORD SizeOf(const ScopedHandle& file) {
  SetLastError(NO_ERROR);
  const DWORD size = GetFileSize(file.get(), nullptr);
  return size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? 0 : size;
}

void CopyBounded(char* to, size_t capacity, const char* from) {
  std::memset(to, 0, capacity);
  if (from != nullptr) std::strncpy(to, from, capacity - 1);
}

}  // namespace

int32_t ReadCollectionNameTag(CollectionFontRecord& record) {
  if (std::memchr(record.path, '\0', sizeof record.path) == nullptr) return kCollectionOpenFailed;
  DWORD fileSize = 0;
  {
    ScopedHandle probe = OpenExclusive(record.path);
    if (!probe.valid()) return kCollectionOpenFailed;
    fileSize = SizeOf(probe);
  }

  char description[kDescriptionMax + 1] = {};
  bool read = false;
  {
    ScopedHandle file = OpenExclusive(record.path);
    if (!file.valid()) return kCollectionReopenFailed;
    // The file may have shrunk between the two opens; the view covers only what is there now,
    // and this handle keeps it that way until the view is gone.
    const DWORD mappedSize = SizeOf(file);
    if (mappedSize < fileSize) fileSize = mappedSize;
    ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.valid()) return kCollectionMapFailed;
    ScopedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view.valid()) return kCollectionMapFailed;

    // A size beyond the signed 32-bit range cannot be walked; it is judged like an unreadable one.
    const int32_t walkSize = fileSize > 0x7FFFFFFFu ? 0 : static_cast<int32_t>(fileSize);
    CNameTagCtrl control(ConvertToAnsiCodePage);
    read = control.ReadNameTag(walkSize, view.bytes(), description);
    // The view, the mapping and the file close here, in this order, before the tag is judged.
  }
  if (!read) return kCollectionMalformed;

  const int32_t kind = ClassifyCollectionTag(description);
  if (kind == kUnknownCollectionTag) return kUnknownCollectionTag;
  record.kind = kind;
  std::memcpy(record.tag, description, sizeof record.tag - 1);  // a product tag: four bytes
  record.tag[sizeof record.tag - 1] = '\0';
  return kOk;
}

int32_t IdentifyCollectionFont(const char* path, const char* baseName, CollectionFontRecord& record) {
  InitCollectionFontRecord(record);
  CopyBounded(record.path, sizeof record.path, path);
  CopyBounded(record.fileName, sizeof record.fileName, baseName);
  return ReadCollectionNameTag(record);
}

}  // namespace kc
