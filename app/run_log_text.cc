#include "app/run_log_text.h"

#include <cstdio>

#include "common/escaped_text.h"
#include "common/result_code.h"

namespace kc {
namespace {

// Every text from outside the program goes through one of these two, so that it can neither end
// its line nor close its quotes: a quoted text runs to the next '"'.
std::string Quoted(const char* text) { return "\"" + EscapedText(text, EscapeFor::kLogField) + "\""; }
std::string Quoted(const std::string& text) { return Quoted(text.c_str()); }
std::string Plain(const std::string& text) { return EscapedText(text, EscapeFor::kLogField); }

// Executable names one per line become one comma-separated list.
std::string ListOf(const std::string& lines) {
  std::string list;
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find_first_of("\r\n", start);
    if (end == std::string::npos) end = lines.size();
    if (end > start) list += (list.empty() ? "" : ", ") + Plain(lines.substr(start, end - start));
    start = end + 1;
  }
  return list;
}

std::string ErrorText(unsigned long error, const std::string& errorText) {
  std::string text = "error " + std::to_string(error);
  if (!errorText.empty()) text += ": " + Plain(errorText);
  return text;
}

}  // namespace

std::string TimeStampText(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day, hour, minute,
                second, millisecond);
  return text;
}

std::string StartText(const StartFacts& facts) {
  std::string drives;
  for (const std::string& drive : facts.drives) drives += (drives.empty() ? "" : " ") + Plain(drive);
  if (drives.empty()) drives = "(none listed)";
  // The program's file name, the user's and the computer's may hold spaces: quoted.
  return "start " + Quoted(facts.program) + " " + facts.version + ", " + facts.mode + " mode; Windows " +
         Plain(facts.windows) + " (RtlGetVersion: " + Plain(facts.actualWindows) + "); user " + Quoted(facts.user) +
         " on " + Quoted(facts.computer) + "; drives " + drives;
}

std::string LogLinkReplacedText(const char* logPath) {
  return "log " + Quoted(logPath) + " was a link to another file: that link was removed and this log made in its "
         "place; the other file was not touched";
}

std::string LogOpenedAsUsualText(const char* logPath) {
  return "log " + Quoted(logPath) + " opened as usual: its file system refuses to open a name as itself, so a "
         "symbolic link or junction at that name would not have been seen";
}

std::string BadArgumentText(const std::string& argument) {
  return "bad command line: " + Quoted(argument) +
         " (the switches are /silent, /preview, /log:PATH and /report:FOLDER); nothing was touched";
}

std::string DeclinedText() { return "declined: the user did not confirm the removal; nothing was touched"; }

std::string StartupFailureText(StartupFailure failure) {
  switch (failure) {
    case StartupFailure::kPlatformRefused: return "refused: this version of Windows is not supported";
    case StartupFailure::kNotAdministrator: return "refused: the user has no administrator rights";
    case StartupFailure::kDrivesOutOfMemory: return "refused: out of memory while listing the drives";
    case StartupFailure::kDrivesUnreadable: return "refused: the list of drives cannot be read";
  }
  return "refused";
}

std::string ApplicationsAskedText(const std::string& applications) {
  return "applications asked to close: " + ListOf(applications);
}

std::string ApplicationsClosedText() { return "applications closed"; }

std::string ApplicationsStillOpenText(const std::string& applications, unsigned long waitedMs) {
  return "applications still open after " + std::to_string(waitedMs / 1000) + " s: " + ListOf(applications) +
         "; nothing was removed";
}

std::string SearchingText(const char* root) { return "searching " + Plain(root); }

std::string DriveNotSearchedText(const char* root, ResultCode result) {
  if (result == kOutOfMemory) {
    return "out of memory while recording a font on " + Plain(root) +
           "; the run stops: fonts removed so far stay removed, the tools stay";
  }
  if (result == kFontsFolderUnavailable) {
    return "drive " + Plain(root) + " not searched: the Fonts folder cannot be found";
  }
  return "drive " + Plain(root) + " not searched: nothing on it can be listed (no medium, no access, or empty)";
}

std::string FoundText(bool collection, const char* path, const char* tag, const char* name) {
  return "found " + Quoted(path) + ": " + (collection ? "collection" : "OpenType") + ", tag " + Plain(tag) + ", name " +
         Quoted(name);
}

std::string FontOutcomeText(RemovalOutcome outcome, bool uninstall, const char* path) {
  switch (outcome) {
    case RemovalOutcome::kRemoved: return (uninstall ? "uninstalled " : "deleted ") + Quoted(path);
    case RemovalOutcome::kRemovedAtRestart: return "scheduled for removal at restart " + Quoted(path);
    case RemovalOutcome::kStillOnDisk: return "still on disk " + Quoted(path);
  }
  return std::string();
}

std::string WouldRemoveText(bool uninstall, const char* path) {
  return (uninstall ? "would uninstall " : "would delete ") + Quoted(path);
}

std::string RemovalEventText(const RemovalEvent& event, RemovalPhase phase, const std::string& errorText) {
  const bool tools = phase == RemovalPhase::kTools;
  const std::string subject = Quoted(event.subject);
  const std::string data = std::string(" (data ") + Quoted(event.detail) + ")";
  switch (event.kind) {
    case RemovalEventKind::kFileDeleted: return tools ? "tool deleted " + subject : std::string();
    case RemovalEventKind::kFileDeleteFailed:
      return (tools ? "failed to delete tool " : "failed to delete ") + subject + ": " +
             ErrorText(event.error, errorText);
    case RemovalEventKind::kFileInUse:
      return "in use by another program, so not removed: " + subject +
             "; close the program that uses it (or sign out the user who does) and run the removal again";
    case RemovalEventKind::kFileInUserSession:
      return "loaded in its user's session, so not removed: " + subject +
             "; it is no longer registered, so a run after that user signs out removes it";
    case RemovalEventKind::kUserFontTableNotLoaded:
      return "font table of user " + Plain(event.subject) + " left: the user is not signed in, so it " +
             "cannot be reached; Windows skips its values for fonts in " + Quoted(event.detail) +
             " that are gone";
    case RemovalEventKind::kRestartDeletionFailed:
      return "failed to schedule the removal at restart of " + subject + ": " + ErrorText(event.error, errorText);
    case RemovalEventKind::kFontTableValueRemoved: return "registry value " + subject + " removed" + data;
    case RemovalEventKind::kFontTableValueRemoveFailed:
      return "failed to remove registry value " + subject + data + ": " + ErrorText(event.error, errorText);
    case RemovalEventKind::kFontTableUnavailable:
      return "failed to open the font table to uninstall " + subject + ": " + ErrorText(event.error, errorText);
    case RemovalEventKind::kFontsFolderUnavailable:
      return "failed to uninstall " + subject + ": the Fonts folder cannot be found";
    case RemovalEventKind::kFolderRemoved: return "folder removed " + subject;
    case RemovalEventKind::kFolderKept: return "folder kept " + subject + ": " + ErrorText(event.error, errorText);
    case RemovalEventKind::kFileWouldBeDeleted:
      return tools ? "would delete tool " + subject : "would delete " + subject;
    case RemovalEventKind::kFontTableValueWouldBeRemoved: return "would remove registry value " + subject + data;
    case RemovalEventKind::kFolderWouldBeRemoved: return "would remove folder " + subject;
    case RemovalEventKind::kFontResourceWouldBeUnloaded: return "would unload the font resource " + subject;
  }
  return std::string();
}

std::string RemovalSummaryText(int found, int removed, int atRestart, int stillOnDisk) {
  return "summary: " + std::to_string(found) + " product fonts found: " + std::to_string(removed) +
         " removed, " + std::to_string(atRestart) + " to be removed at the next restart, " +
         std::to_string(stillOnDisk) + " still on disk";
}

std::string PreviewSummaryText(int found) {
  return "summary: " + std::to_string(found) + " product fonts found; a preview removes nothing";
}

std::string OutOfMemoryText() { return "out of memory: the run stops"; }

std::string ExitCodeText(int exitCode) { return "exit code " + std::to_string(exitCode); }

}  // namespace kc
