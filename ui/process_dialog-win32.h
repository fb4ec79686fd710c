#pragma once
// The progress window of a removal run (template 140), modeless and driven step by step. It has
// no close box, and its only buttons are hidden and disabled: the user cannot end the run.

#include <windows.h>

#include <string>

#include "framework/dialog-win32.h"
#include "framework/progress_ctrl-win32.h"

namespace kc {

class CProcessDialog : public CDialog {
 public:
  explicit CProcessDialog(HWND parent = nullptr);
  // Destroys the window if Finish did not (a run that stopped early).
  ~CProcessDialog() override;

  // Creates and shows the window (range 0..7, step 1, empty status lines). Returns ShowWindow's
  // result: whether the window was visible before.
  BOOL Start();
  void SetRange(int lower, int upper);  // each bound travels in 16 bits
  void SetStep(int step);
  // Shows `line1` and `line2` as the two status lines. Returns 0.
  int SetStatus(const wchar_t* line1, const wchar_t* line2);
  // Handles every pending message of the thread, refreshes the status lines and advances the bar
  // by one step. Returns 0.
  int StepIt();
  // Hides and destroys the window. (The destructor destroys it too, if a run stops early.)
  void Finish();

  CProgressCtrl m_progress;
  std::wstring m_strStatus1;
  std::wstring m_strStatus2;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  const MessageMap* GetMessageMap() const override { return &kMessageMap; }

 private:
  static const MessageMapEntry kMessageEntries[];
  static const MessageMap kMessageMap;
};

}  // namespace kc
