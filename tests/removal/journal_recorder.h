#pragma once
// Hears the removal journal for as long as it lives and keeps each event as one line,
// "kind|subject|detail|error", for tests to compare whole. The journal's texts are UTF-8; the
// lines hold them in the system's code page, as the tests' fixtures spell their paths.

#include <string>
#include <vector>

#include "removal/removal_journal.h"
#include "tests/support/ansi_wide-win32.h"

namespace kc {

inline const char* RemovalEventName(RemovalEventKind kind) {
  switch (kind) {
    case RemovalEventKind::kFileDeleted: return "deleted";
    case RemovalEventKind::kFileDeleteFailed: return "delete failed";
    case RemovalEventKind::kFileInUse: return "in use";
    case RemovalEventKind::kFileInUserSession: return "in user session";
    case RemovalEventKind::kUserFontTableNotLoaded: return "user table not loaded";
    case RemovalEventKind::kRestartDeletionFailed: return "restart deletion failed";
    case RemovalEventKind::kFontTableValueRemoved: return "value removed";
    case RemovalEventKind::kFontTableValueRemoveFailed: return "value remove failed";
    case RemovalEventKind::kFontTableUnavailable: return "no font table";
    case RemovalEventKind::kFontsFolderUnavailable: return "no Fonts folder";
    case RemovalEventKind::kFolderRemoved: return "folder removed";
    case RemovalEventKind::kFolderKept: return "folder kept";
    case RemovalEventKind::kFileWouldBeDeleted: return "would delete";
    case RemovalEventKind::kFontTableValueWouldBeRemoved: return "would remove value";
    case RemovalEventKind::kFolderWouldBeRemoved: return "would remove folder";
    case RemovalEventKind::kFontResourceWouldBeUnloaded: return "would unload";
  }
  return "?";
}

class JournalRecorder : public RemovalListener {
 public:
  JournalRecorder() : scope_(*this) {}

  void OnRemovalEvent(const RemovalEvent& event) override {
    lines.push_back(std::string(RemovalEventName(event.kind)) + "|" + testsupport::AnsiOfUtf8(event.subject) + "|" +
                    testsupport::AnsiOfUtf8(event.detail) + "|" + std::to_string(event.error));
  }

  std::vector<std::string> lines;

 private:
  ScopedRemovalListener scope_;
};

}  // namespace kc
