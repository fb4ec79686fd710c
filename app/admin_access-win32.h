#pragma once
// Whether the user may run the removal: the access check of a security descriptor that grants
// access to the local Administrators group only.

#include <windows.h>

namespace kc {

// TRUE when the calling thread's token (or the process token, when the thread has none) passes
// the check. Every failing call gives FALSE. The thread impersonates itself during the check and
// always reverts before returning.
BOOL CheckAdminAccess();

}  // namespace kc
