#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "common/open_font_file-win32.h"
#include "common/scoped_handles-win32.h"
#include "fontid/opentype_font.h"

namespace kc {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// A buffered stream over a duplicate of the open file's handle: the same open file, so the bytes
// read are the file's that will be removed, while closing the stream leaves the walk's handle open.
// The duplicate may only read.
ScopedFile StreamOver(const OpenFontFile& file) {
  HANDLE duplicate = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, file.handle(), process, &duplicate, FILE_GENERIC_READ, FALSE, 0)) return nullptr;
  ScopedHandle handle(duplicate);
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_RDONLY | _O_BINARY);
  if (descriptor == -1) return nullptr;
  // From here the C runtime owns the duplicate: closing the stream closes it.
  handle.release();
  ScopedFile stream(_fdopen(descriptor, "rb"));
  if (!stream) _close(descriptor);
  return stream;
}

}  // namespace

bool IdentifyOpenTypeFile(const OpenFontFile& file, OpenTypeFontRecord& record, ResultCode& nameResult) {
  if (!file.IsOpen()) return false;
  const ScopedFile stream = StreamOver(file);
  if (!stream) return false;
  return IdentifyOpenTypeStream(stream.get(), record, nameResult);
}

bool IdentifyOpenTypeFile(OpenTypeFontRecord& record, ResultCode& nameResult) {
  if (std::memchr(record.path, '\0', sizeof record.path) == nullptr) return false;
  const OpenFontFile file(record.path);
  return IdentifyOpenTypeFile(file, record, nameResult);
}

}  // namespace kc
