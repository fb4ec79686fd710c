#pragma once
// One removal run, whatever its face: the dialogs of the main screen, or none at all for an
// administrator's silent run or preview. The run holds the sequence (confirmation, the wait for
// the applications that hold fonts, the search of every drive with each product font's removal,
// the clean-up of the product's tools); its face answers the questions and shows the progress;
// its log records every event. The result text and any message are the caller's.

#include <windows.h>

#include <string>

#include "app/exit_codes.h"
#include "app/interfering_apps-win32.h"
#include "app/run_log-win32.h"
#include "app/run_log_text.h"
#include "discovery/drive_roots.h"
#include "discovery/font_search-win32.h"
#include "found_fonts/found_fonts.h"
#include "removal/removal_journal.h"

namespace kc {

// What a run asks and shows. The dialog face opens the program's dialogs; the unattended face
// answers without a window.
class RunFace {
 public:
  // Asked once, before anything is touched. False ends the run with nothing touched.
  virtual bool ConfirmRemoval() = 0;
  // Listed applications (executable names, one per line) still have windows after
  // StillOpenQuestionAfterMs(). kEndProgram ends the run with nothing removed.
  virtual StillOpenChoice ApplicationsStillOpen(const std::string& applications) = 0;
  virtual DWORD StillOpenQuestionAfterMs() const = 0;
  // The dialog whose keyboard navigation the message pump serves (null: none).
  virtual HWND PumpWindow() const = 0;

  // Progress, in this order: begins before the first drive with the number of drives; a status of
  // two lines and a step after preparing, then per drive; DriveNotSearched for a drive whose
  // search failed (out of memory included, after which nothing more is shown); ends after the
  // tools, with a last step and two empty status lines. The first line is a text of the string
  // table; the second a drive root, as the system's ANSI functions name it.
  virtual void ProgressBegins(int driveCount) = 0;
  virtual void ProgressStatus(const std::wstring& line1, const char* line2) = 0;
  virtual void ProgressStep() = 0;
  virtual void DriveNotSearched() = 0;
  virtual void ProgressEnds() = 0;

 protected:
  ~RunFace() = default;
};

enum class RunEnd {
  kDeclined,               // the confirmation was declined: nothing touched
  kApplicationsStillOpen,  // the applications did not close: nothing removed
  kOutOfMemory,            // the run stopped on a drive; earlier removals stay, the tools stay
  kCompleted,              // every drive searched, the tools cleaned up
};

class RemovalRun : private FontSearchObserver, private RemovalListener {
 public:
  // `openTypeFonts` receives the OpenType product fonts (collections go to the module's list).
  // A preview asks nothing, waits for no application and changes nothing: it logs what a removal
  // would do. `log` may be closed (the dialog program without /log).
  RemovalRun(const DriveRootList& drives, OpenTypeFontList& openTypeFonts, RunFace& face, RunLog& log,
             bool preview);

  // The whole run; it ends with the summary line when it completes.
  RunEnd Run();

  // What became of the product fonts found so far (both lists).
  RemovalTally Tally() const;

 private:
  bool WaitForApplications();
  // Searches every drive; false when memory ran out on one.
  bool SearchDrives();
  void Log(const std::string& text);

  bool BeforeRemoval(const ProductFont& font) override;
  void AfterRemoval(const ProductFont& font, RemovalOutcome outcome) override;
  void OnRemovalEvent(const RemovalEvent& event) override;

  const DriveRootList& drives_;
  OpenTypeFontList& openTypeFonts_;
  RunFace& face_;
  RunLog& log_;
  const bool preview_;
  RemovalPhase phase_ = RemovalPhase::kFonts;
};

}  // namespace kc
