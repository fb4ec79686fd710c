#include <windows.h>

#include "removal/removal_journal.h"

#include "common/wide_text-win32.h"

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

void ReportRemoval(RemovalEventKind kind, const std::wstring& subject, const std::wstring& detail,
                   unsigned long error) {
  if (CurrentListener() == nullptr) return;
  ReportRemoval(kind, Utf8FromWide(OrdinaryPath(subject)).c_str(), Utf8FromWide(detail).c_str(), error);
}

}  // namespace kc
