#include <windows.h>

#include "common/scoped_handles-win32.h"
#include "common/file_identity.h"

namespace kc {

bool ReadFileIdentity(const wchar_t* path, FileIdentity& identity) {
  // Backup semantics: the only way to open a folder. No FILE_FLAG_OPEN_REPARSE_POINT: a link is
  // followed, so the identity is its target's.
  ScopedHandle file(CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file.valid() && ReadOpenFileIdentity(file.get(), identity);
}

bool ReadOpenFileIdentity(void* handle, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return false;
  if (information.nFileIndexHigh == 0 && information.nFileIndexLow == 0) return false;
  identity.volumeSerial = information.dwVolumeSerialNumber;
  identity.indexHigh = information.nFileIndexHigh;
  identity.indexLow = information.nFileIndexLow;
  return true;
}

}  // namespace kc
