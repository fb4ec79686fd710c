#include "removal/os_version-win32.h"

#include <cstring>

#include "common/result_code.h"
#include "common/scoped_handles-win32.h"

namespace kc {
namespace {

constexpr DWORD kExtendedRecordSize = sizeof(OSVERSIONINFOEXA);  // 156
constexpr DWORD kBasicRecordSize = sizeof(OSVERSIONINFOA);       // 148
static_assert(kExtendedRecordSize == 156 && kBasicRecordSize == 148, "Windows version record sizes");

constexpr DWORD kProductTypeBufferSize = 1024;

BOOL SystemGetVersionEx(OSVERSIONINFOA* info) { return GetVersionExA(info); }

bool SystemProductTypeReadable() {
  ScopedRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                    KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  char productType[kProductTypeBufferSize] = {};
  DWORD size = sizeof productType;
  const LONG status = RegQueryValueExA(key.get(), "ProductType", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(productType), &size);
  return status == ERROR_SUCCESS && size <= kProductTypeBufferSize;
}

}  // namespace

const OsVersionSource& SystemOsVersionSource() {
  static const OsVersionSource source = {SystemGetVersionEx, SystemProductTypeReadable};
  return source;
}

ResultCode ReadOsVersion(uint32_t& major, uint32_t& minor, uint16_t& servicePackMajor,
                      const OsVersionSource& source) {
  OSVERSIONINFOEXA record;
  std::memset(&record, 0, sizeof record);
  auto* info = reinterpret_cast<OSVERSIONINFOA*>(&record);

  record.dwOSVersionInfoSize = kExtendedRecordSize;
  bool basicOnly = false;
  if (!source.getVersionEx(info)) {
    record.dwOSVersionInfoSize = kBasicRecordSize;
    if (!source.getVersionEx(info)) return kVersionUnreadable;
    basicOnly = true;
  }

  // The basic record has no service-pack field; the cleared record gives 0 then.
  major = record.dwMajorVersion;
  minor = record.dwMinorVersion;
  servicePackMajor = record.wServicePackMajor;

  if (basicOnly && record.dwPlatformId == VER_PLATFORM_WIN32_NT && !source.productTypeReadable()) {
    return kProductTypeUnreadable;
  }
  return kOk;
}

ResultCode GetOsKind(OsKind& kind, const OsVersionSource& source) {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint16_t servicePackMajor = 0;
  const ResultCode result = ReadOsVersion(major, minor, servicePackMajor, source);
  if (result != kOk) return result;
  return ClassifyOsVersion(major, minor, servicePackMajor, kind);
}

}  // namespace kc
