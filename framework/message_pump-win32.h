#pragma once
// The one message pump of the program: keeps its windows alive during long work on the one
// user-interface thread. The removal run pumps a bounded batch at a time; the progress window's
// step drains the queue with the same pump. The dialogs are Unicode windows, so their messages are
// taken and dispatched with the W functions, which hand them over unconverted.

#include <windows.h>

namespace kc {

constexpr int kPumpMessagesBudget = 1000;

// Takes up to kPumpMessagesBudget pending messages of the thread's queue (any window, any message)
// and handles each: keyboard navigation of `dialog` when IsDialogMessage takes it, otherwise
// translate and dispatch. What is left waits for the next call. Returns the number taken.
int PumpMessages(HWND dialog);

// Pumps until the queue is empty, however many messages that takes.
void DrainMessages(HWND dialog);

}  // namespace kc
