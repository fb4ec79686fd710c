#pragma once
// What the removal actions do to the machine, told to whoever keeps a record of a run (its log).
// Every change an action makes and every failure, with its Win32 error, is reported as it happens;
// a file or folder that was not there to begin with is no event. Nobody listens unless a run
// installs a listener, and the actions behave the same either way.

#include <cstdint>
#include <string>

namespace kc {

enum class RemovalEventKind : uint8_t {
  kFileDeleted,                 // subject: the file's path
  kFileDeleteFailed,            // subject: the path; error
  kFileInUse,                   // another program holds it: not removed, and not left to the
                                // restart (it does not lie in the Fonts folder); subject: the
                                // path; error
  kFileInUserSession,           // a font installed for one user, still held by that user's session
                                // (loaded at sign-in): not removed; subject: the path; error
  kUserFontTableNotLoaded,      // a user's font table cannot be reached (their hive is not loaded:
                                // signed out); subject: the user's SID; detail: their Fonts folder
  kRestartDeletionFailed,       // in use, and no deletion at restart could be scheduled either;
                                // subject: the path; error
  kFontTableValueRemoved,       // subject: the value's name; detail: its data
  kFontTableValueRemoveFailed,  // subject: the value's name; detail: its data; error
  kFontTableUnavailable,        // the font table cannot be opened; subject: the font's file name; error
  kFontsFolderUnavailable,      // subject: the font's file name
  kFolderRemoved,               // subject: the folder's path
  kFolderKept,                  // subject: the path; error (it still holds something)
  // A preview: what the actions would do. Nothing is changed.
  kFileWouldBeDeleted,            // subject: the path
  kFontTableValueWouldBeRemoved,  // subject: the value's name; detail: its data
  kFolderWouldBeRemoved,          // subject: the folder's path
  kFontResourceWouldBeUnloaded,   // subject: the font file's path
};

struct RemovalEvent {
  RemovalEventKind kind;
  const char* subject;  // UTF-8 text, never null
  const char* detail;   // UTF-8 text, never null ("" when there is none)
  unsigned long error;  // the Win32 error of a failure, else 0
};

class RemovalListener {
 public:
  virtual void OnRemovalEvent(const RemovalEvent& event) = 0;

 protected:
  ~RemovalListener() = default;
};

// Makes `listener` the one that hears the actions while this object lives; the one before it (or
// none) hears them again afterwards. Single-threaded, like the removal itself.
class ScopedRemovalListener {
 public:
  explicit ScopedRemovalListener(RemovalListener& listener);
  ~ScopedRemovalListener();
  ScopedRemovalListener(const ScopedRemovalListener&) = delete;
  ScopedRemovalListener& operator=(const ScopedRemovalListener&) = delete;

 private:
  RemovalListener* previous_;
};

// Tells the listener, if any. The thread's last error is the same afterwards as before, so an
// action may report a failure and still leave its error for its caller.
// `subject` and `detail` are UTF-8.
void ReportRemoval(RemovalEventKind kind, const char* subject, const char* detail = "",
                   unsigned long error = 0);
// The same for texts as Windows stores them (UTF-16): a subject path in its extended-length form
// ("\\?\C:\x") is named in its usual spelling.
void ReportRemoval(RemovalEventKind kind, const std::wstring& subject, const std::wstring& detail = std::wstring(),
                   unsigned long error = 0);

}  // namespace kc
