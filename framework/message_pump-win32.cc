#include "framework/message_pump-win32.h"

namespace kc {

int PumpMessages(HWND dialog) {
  int taken = 0;
  MSG msg;
  while (taken < kPumpMessagesBudget && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ++taken;
    if (dialog != nullptr && IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return taken;
}

void DrainMessages(HWND dialog) {
  // A batch that used the whole budget may have left messages behind; a smaller one emptied the queue.
  while (PumpMessages(dialog) == kPumpMessagesBudget) {
  }
}

}  // namespace kc
