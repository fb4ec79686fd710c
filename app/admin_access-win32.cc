#include "app/admin_access-win32.h"

#include "common/scoped_handles-win32.h"

namespace kc {
namespace {

constexpr DWORD kAccessRead = 1;
constexpr DWORD kAccessWrite = 2;

// The thread impersonates itself while this lives (when the impersonation succeeded).
class SelfImpersonation {
 public:
  SelfImpersonation() : m_active(ImpersonateSelf(SecurityImpersonation) != FALSE) {}
  ~SelfImpersonation() {
    if (m_active) RevertToSelf();
  }
  SelfImpersonation(const SelfImpersonation&) = delete;
  SelfImpersonation& operator=(const SelfImpersonation&) = delete;
  bool Active() const { return m_active; }

 private:
  const bool m_active;
};

class Sid {
 public:
  Sid() = default;
  ~Sid() {
    if (m_sid != nullptr) FreeSid(m_sid);
  }
  Sid(const Sid&) = delete;
  Sid& operator=(const Sid&) = delete;
  PSID* Receive() { return &m_sid; }
  PSID Get() const { return m_sid; }

 private:
  PSID m_sid = nullptr;
};

class LocalMemory {
 public:
  explicit LocalMemory(SIZE_T size) : m_memory(LocalAlloc(LPTR, size)) {}
  ~LocalMemory() {
    if (m_memory != nullptr) LocalFree(m_memory);
  }
  LocalMemory(const LocalMemory&) = delete;
  LocalMemory& operator=(const LocalMemory&) = delete;
  void* Get() const { return m_memory; }

 private:
  HLOCAL m_memory;
};

bool OpenEffectiveToken(ScopedHandle& token) {
  if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, token.receive())) return true;
  if (GetLastError() != ERROR_NO_TOKEN) return false;
  return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive()) != FALSE;
}

}  // namespace

BOOL CheckAdminAccess() {
  // Declared first, destroyed last: the revert comes after everything else is released, whatever
  // step failed.
  SelfImpersonation impersonation;
  if (!impersonation.Active()) return FALSE;

  ScopedHandle token;
  if (!OpenEffectiveToken(token)) return FALSE;

  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  Sid administrators;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                administrators.Receive())) {
    return FALSE;
  }

  LocalMemory descriptorMemory(SECURITY_DESCRIPTOR_MIN_LENGTH);
  const PSECURITY_DESCRIPTOR descriptor = descriptorMemory.Get();
  if (descriptor == nullptr) return FALSE;
  if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION)) return FALSE;

  // ACL header, then one access-allowed ACE whose structure already counts the SID's first 4 bytes.
  const DWORD aclSize = GetLengthSid(administrators.Get()) + sizeof(ACL) +
                        sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
  LocalMemory aclMemory(aclSize);
  PACL acl = static_cast<PACL>(aclMemory.Get());
  if (acl == nullptr) return FALSE;
  if (!InitializeAcl(acl, aclSize, ACL_REVISION2)) return FALSE;
  if (!AddAccessAllowedAce(acl, ACL_REVISION2, kAccessRead | kAccessWrite, administrators.Get())) {
    return FALSE;
  }
  if (!SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE)) return FALSE;
  SetSecurityDescriptorGroup(descriptor, administrators.Get(), FALSE);
  SetSecurityDescriptorOwner(descriptor, administrators.Get(), FALSE);
  if (!IsValidSecurityDescriptor(descriptor)) return FALSE;

  GENERIC_MAPPING mapping = {kAccessRead, kAccessWrite, 0, kAccessRead | kAccessWrite};
  PRIVILEGE_SET privileges = {};
  DWORD privilegesLength = sizeof privileges;
  DWORD granted = 0;
  BOOL accessStatus = FALSE;
  AccessCheck(descriptor, token.get(), kAccessRead, &mapping, &privileges, &privilegesLength,
              &granted, &accessStatus);
  return accessStatus;
}

}  // namespace kc
