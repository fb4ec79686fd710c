#pragma once
// Keeps the program's windows alive during long work on the one user-interface thread.

#include <windows.h>

namespace kc {

constexpr int kPumpMessagesBudget = 1000;

// Takes up to kPumpMessagesBudget pending messages of the thread's queue (any window, any message)
// and handles each: keyboard navigation of `dialog` when IsDialogMessage takes it, otherwise
// translate and dispatch. What is left waits for the next call. Returns the number taken.
int PumpMessages(HWND dialog);

}  // namespace kc
