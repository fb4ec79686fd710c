#include "framework/progress_ctrl-win32.h"

#include <commctrl.h>

namespace kc {

LRESULT CProgressCtrl::SetRange(short lower, short upper) {
  return SendMessageW(m_hWnd, PBM_SETRANGE, 0,
                      MAKELPARAM(static_cast<WORD>(lower), static_cast<WORD>(upper)));
}

LRESULT CProgressCtrl::SetStep(int step) {
  return SendMessageW(m_hWnd, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

LRESULT CProgressCtrl::StepIt() { return SendMessageW(m_hWnd, PBM_STEPIT, 0, 0); }

}  // namespace kc
