#include <windows.h>

#include "removal/removal_journal.h"

namespace kc {
namespace {

RemovalListener*& CurrentListener() {
  static RemovalListener* listener = nullptr;
  return listener;
}

}  // namespace

ScopedRemovalListener::ScopedRemovalListener(RemovalListener& listener)
    : previous_(CurrentListener()) {
  CurrentListener() = &listener;
}

ScopedRemovalListener::~ScopedRemovalListener() { CurrentListener() = previous_; }

void ReportRemoval(RemovalEventKind kind, const char* subject, const char* detail,
                   unsigned long error) {
  RemovalListener* listener = CurrentListener();
  if (listener == nullptr) return;
  const DWORD lastError = GetLastError();
  listener->OnRemovalEvent({kind, subject != nullptr ? subject : "", detail != nullptr ? detail : "", error});
  SetLastError(lastError);
}

}  // namespace kc
