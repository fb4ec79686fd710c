#pragma once
// Hears the removal journal for as long as it lives and keeps each event as one line,
// "kind|subject|detail|error", for tests to compare whole. The journal's texts are UTF-8; the
// lines hold them in the system's code page, as the tests' fixtures spell their paths.

#include <windows.h>

#include <string>
#include <vector>

#include "removal/removal_journal.h"

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

inline std::string JournalTextInAnsi(const char* utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (units <= 1) return std::string();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], units);
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], bytes, nullptr, nullptr);
  ansi.pop_back();  // the terminating zero
  return ansi;
}

class JournalRecorder : public RemovalListener {
 public:
  JournalRecorder() : scope_(*this) {}

  void OnRemovalEvent(const RemovalEvent& event) override {
    lines.push_back(std::string(RemovalEventName(event.kind)) + "|" + JournalTextInAnsi(event.subject) + "|" +
                    JournalTextInAnsi(event.detail) + "|" + std::to_string(event.error));
  }

  std::vector<std::string> lines;

 private:
  ScopedRemovalListener scope_;
};

}  // namespace kc
