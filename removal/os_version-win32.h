#pragma once
// The running system's version, read through GetVersionExA (extended record first, then basic).

#include <windows.h>

#include <cstdint>

#include "common/result_code.h"
#include "removal/os_kind.h"

namespace kc {

// What the version query asks of the system. The real one calls Windows; tests substitute
// answers Wine cannot give (a refused extended record, an unreadable product type).
struct OsVersionSource {
  BOOL (*getVersionEx)(OSVERSIONINFOA* info);
  // True when HKLM "SYSTEM\CurrentControlSet\Control\ProductOptions" "ProductType" can be read.
  bool (*productTypeReadable)();
};

const OsVersionSource& SystemOsVersionSource();

// Writes major, minor and service-pack major whenever a record could be read. Returns 0,
// kVersionUnreadable (neither record form) or kProductTypeUnreadable (NT platform, only the basic
// record, and the product type cannot be read).
ResultCode ReadOsVersion(uint32_t& major, uint32_t& minor, uint16_t& servicePackMajor,
                      const OsVersionSource& source = SystemOsVersionSource());

// 0 with `kind` written, or the failure of ReadOsVersion / kUnsupportedVersion with `kind` as it was.
ResultCode GetOsKind(OsKind& kind, const OsVersionSource& source = SystemOsVersionSource());

}  // namespace kc
