#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "common/scoped_handles-win32.h"
#include "fontid/opentype_font.h"

namespace kc {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// A buffered stream over a handle opened sharing reading, writing and deletion: a plain "rb" open
// refuses a file whose holder may delete it, and the readers only read.
ScopedFile OpenSharingAll(const char* path) {
  ScopedHandle handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) return nullptr;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_RDONLY | _O_BINARY);
  if (descriptor == -1) return nullptr;
  // From here the C runtime owns the handle: closing the stream closes it.
  handle.release();
  ScopedFile file(_fdopen(descriptor, "rb"));
  if (!file) _close(descriptor);
  return file;
}

}  // namespace

bool IdentifyOpenTypeFile(OpenTypeFontRecord& record, ResultCode& nameResult) {
  if (std::memchr(record.path, '\0', sizeof record.path) == nullptr) return false;
  const ScopedFile file = OpenSharingAll(record.path);
  if (!file) return false;
  return IdentifyOpenTypeStream(file.get(), record, nameResult);
}

}  // namespace kc
