#pragma once
// A progress bar control of a dialog, attached by DDX_Control. The dialog owns the window; this
// object only names it. Each operation returns the raw result of the control's message.

#include <windows.h>

namespace kc {

class CProgressCtrl {
 public:
  CProgressCtrl() = default;
  CProgressCtrl(const CProgressCtrl&) = delete;
  CProgressCtrl& operator=(const CProgressCtrl&) = delete;

  void Attach(HWND control) { m_hWnd = control; }
  void Detach() { m_hWnd = nullptr; }

  // PBM_SETRANGE: both bounds travel in 16 bits each. Returns the previous range.
  LRESULT SetRange(short lower, short upper);
  // PBM_SETSTEP. Returns the previous step.
  LRESULT SetStep(int step);
  // PBM_STEPIT. Returns the previous position.
  LRESULT StepIt();

  HWND m_hWnd = nullptr;
};

}  // namespace kc
