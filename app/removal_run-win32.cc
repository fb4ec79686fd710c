#include "app/removal_run-win32.h"

#include <cstring>
#include <exception>

#include "common/path_buffer.h"
#include "common/path_copy.h"
#include "common/result_code.h"
#include "common/wide_text-win32.h"
#include "discovery/collection_font_list.h"
#include "framework/message_pump-win32.h"
#include "framework/string_resource-win32.h"
#include "removal/font_uninstall.h"
#include "removal/product_tools.h"
#include "removal/user_font_uninstall.h"
#include "res/resource.h"

namespace kc {
namespace {

// A font's path as the log names it: as Windows stores it, in its usual spelling.
std::string LoggedPath(const ProductFont& font) { return Utf8FromWide(OrdinaryPath(font.path)); }

void Count(RemovalOutcome outcome, RemovalTally& tally) {
  ++tally.found;
  switch (outcome) {
    case RemovalOutcome::kRemoved: ++tally.removed; break;
    case RemovalOutcome::kRemovedAtRestart: ++tally.atRestart; break;
    case RemovalOutcome::kStillOnDisk: ++tally.stillOnDisk; break;
  }
}

}  // namespace

RemovalRun::RemovalRun(const DriveRootList& drives, OpenTypeFontList& openTypeFonts, RunFace& face,
                       RunLog& log, bool preview)
    : drives_(drives), openTypeFonts_(openTypeFonts), face_(face), log_(log), preview_(preview) {}

RunEnd RemovalRun::Run() {
  // A preview touches no window either: it neither asks nor waits for anyone.
  if (!preview_) {
    if (!face_.ConfirmRemoval()) {
      Log(DeclinedText());
      return RunEnd::kDeclined;
    }
    if (!WaitForApplications()) return RunEnd::kApplicationsStillOpen;
  }

  face_.ProgressBegins(static_cast<int>(drives_.size()));
  face_.ProgressStatus(LoadResourceTextW(IDS_STATUS_PREPARING), "");
  face_.ProgressStep();
  if (!SearchDrives()) return RunEnd::kOutOfMemory;

  {
    ScopedRemovalListener listening(*this);
    phase_ = RemovalPhase::kTools;
    if (preview_) {
      PreviewProductTools();
    } else {
      RemoveProductTools();
    }
  }
  face_.ProgressStep();
  face_.ProgressStatus(L"", "");
  face_.ProgressEnds();

  const RemovalTally tally = Tally();
  Log(preview_ ? PreviewSummaryText(tally.found)
               : RemovalSummaryText(tally.found, tally.removed, tally.atRestart, tally.stillOnDisk));
  return RunEnd::kCompleted;
}

bool RemovalRun::WaitForApplications() {
  bool asked = false;
  const DWORD start = GetTickCount();
  InterferenceWait wait;
  wait.pumpMessages = [this] { PumpMessages(face_.PumpWindow()); };
  wait.closeRequested = [this, &asked](const std::string& applications) {
    asked = true;
    Log(ApplicationsAskedText(applications));
  };
  wait.askUser = [this, start](const std::string& applications) {
    const StillOpenChoice choice = face_.ApplicationsStillOpen(applications);
    if (choice == StillOpenChoice::kEndProgram) Log(ApplicationsStillOpenText(applications, GetTickCount() - start));
    return choice;
  };
  wait.askAfterMs = face_.StillOpenQuestionAfterMs();
  const bool closed = WaitForInterferingApplications(wait);
  if (closed && asked) Log(ApplicationsClosedText());
  return closed;
}

bool RemovalRun::SearchDrives() {
  const std::wstring status = LoadResourceTextW(IDS_STATUS_SEARCHING);
  FontSearch search{openTypeFonts_, [this] { PumpMessages(face_.PumpWindow()); }};
  search.observer = this;
  ScopedRemovalListener listening(*this);
  phase_ = RemovalPhase::kFonts;
  char root[kPathBufferSize];
  for (const DriveRoot& drive : drives_) {
    PumpMessages(face_.PumpWindow());
    std::memset(root, 0, sizeof root);
    // Every root of the list fits (AppendDriveRoots refuses one that does not); an empty buffer
    // must never reach the walk, which would list the current folder.
    const bool copied = CopyPath(root, drive.path);
    face_.ProgressStatus(status, root);
    Log(SearchingText(root));
    // Drive roots are letters ("C:\\"): their wide form is the same characters.
    const ResultCode result = copied ? SearchFontFiles(WideFromUtf8(root), search) : kRootNotListable;
    if (result != kOk) {
      // No medium, no Fonts folder: the drive counts as done. Out of memory ends the run.
      Log(DriveNotSearchedText(root, result));
      face_.DriveNotSearched();
      if (result == kOutOfMemory) return false;
    }
    face_.ProgressStep();
  }
  return true;
}

RemovalTally RemovalRun::Tally() const {
  RemovalTally tally;
  for (const OpenTypeFontRecord& record : openTypeFonts_) Count(record.outcome, tally);
  const int32_t collections = GetCollectionFontCount();
  for (int32_t i = 0; i < collections; ++i) {
    CollectionFontRecord record;
    if (GetCollectionFont(i, record) == kOk) Count(record.outcome, tally);
  }
  return tally;
}

void RemovalRun::Log(const std::string& text) { log_.Line(text); }

bool RemovalRun::BeforeRemoval(const ProductFont& font) {
  if (log_.IsOpen()) {
    Log(FoundText(font.type == FontFileType::kCollection, LoggedPath(font).c_str(), font.tag, font.name));
  }
  if (!preview_) return true;
  // What the removal would take with the file: its registration, when it is uninstalled.
  if (font.userFontFolder != nullptr) {
    PreviewUninstallUserFont(*font.userFontFolder, font.fileName);
  } else if (font.uninstall) {
    PreviewUninstallFont(font.fileName);
  }
  if (log_.IsOpen()) Log(WouldRemoveText(font.uninstall, LoggedPath(font).c_str()));
  return false;
}

void RemovalRun::AfterRemoval(const ProductFont& font, RemovalOutcome outcome) {
  if (log_.IsOpen()) Log(FontOutcomeText(outcome, font.uninstall, LoggedPath(font).c_str()));
}

void RemovalRun::OnRemovalEvent(const RemovalEvent& event) {
  if (!log_.IsOpen()) return;
  // Told in the middle of a removal action: nothing may escape from here.
  try {
    const std::string text = RemovalEventText(event, phase_, event.error != 0 ? SystemErrorText(event.error) : "");
    if (!text.empty()) Log(text);
  } catch (const std::exception&) {
    log_.LineLost();
  }
}

}  // namespace kc
