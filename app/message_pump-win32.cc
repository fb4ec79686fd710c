#include "app/message_pump-win32.h"

namespace kc {

int PumpMessages(HWND dialog) {
  int taken = 0;
  MSG msg;
  while (taken < kPumpMessagesBudget && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ++taken;
    if (dialog != nullptr && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return taken;
}

}  // namespace kc
