#pragma once
// The exit codes of the program, for the administrators' deployment tools (README, "For
// administrators"). The dialog program without switches always ends with 0, as it always has.

namespace kc {

enum ExitCode : int {
  kExitDone = 0,                 // every product font found was removed (or none was found)
  kExitFontsLeft = 1,            // some product fonts are still on disk
  kExitNotAdministrator = 2,     // the user has no administrator rights: nothing touched
  kExitWindowsUnsupported = 3,   // Windows version not supported: nothing touched
  kExitApplicationsOpen = 4,     // listed applications did not close: nothing removed
  kExitOutOfMemory = 5,          // memory ran out; what was removed before stays removed
  kExitLogUnwritable = 6,        // the run was complete (0 or 3010) but its log could not be written
  kExitDrivesUnreadable = 7,     // the drive list cannot be read: nothing searched, nothing removed
  kExitPreviewFound = 10,        // /preview: product fonts found (0: none)
  kExitBadCommandLine = 87,      // ERROR_INVALID_PARAMETER: nothing touched
  kExitRestartNeeded = 3010,     // ERROR_SUCCESS_REBOOT_REQUIRED: removed, some at the next restart
};

// What a removal did to the product fonts it found.
struct RemovalTally {
  int found = 0;
  int removed = 0;
  int atRestart = 0;    // scheduled for removal at the next restart
  int stillOnDisk = 0;
};

// The code of a removal that searched every drive: a font still on disk outweighs everything; a
// log that could not be written outweighs success, so that no PC goes unrecorded in silence.
int RemovalExitCode(const RemovalTally& tally, bool logWritten);

// The code of a preview that searched every drive: without its log a preview has told nothing.
int PreviewExitCode(int found, bool logWritten);

// What the logs of a fleet report (/report:) say of their PCs, one count per log.
struct ReportTally {
  int clean = 0;        // a complete removal that left nothing, or a preview that found nothing
  int atRestart = 0;    // a complete removal whose last fonts go at the next restart
  int fontsLeft = 0;    // product fonts still on disk, or found by a preview
  int notDone = 0;      // the run refused, stopped or never finished
  int notALog = 0;      // a file among the logs that is none (or cannot be read): a PC unaccounted for
};

// The report's code, as a removal's would be for the whole fleet: 1 when any PC may still hold
// the product (or its log cannot tell), else 3010 when some wait for a restart, else 0 (also for
// a folder without logs).
int ReportExitCode(const ReportTally& tally);

}  // namespace kc
