#pragma once
// Appending to the program's lists is the one place where a standard-library exception may arise
// (memory exhausted, or the list's maximum length). Every append goes through AppendCopy so that
// tests can make the n-th append fail, as exhausted memory would, without exhausting memory.

#include <new>

namespace kc {

namespace append_fault {
// Appends left before the next one fails; negative when no failure is armed.
inline int& Countdown() {
  static int countdown = -1;
  return countdown;
}
}  // namespace append_fault

// Test seam: the append after `successfulAppends` more successful ones throws std::bad_alloc.
inline void ArmAppendFailure(int successfulAppends) { append_fault::Countdown() = successfulAppends; }
inline void DisarmAppendFailure() { append_fault::Countdown() = -1; }

// Adds a copy of `value` at the back. Throws what the list's push_back throws, leaving the list as
// it was (vector::push_back gives the strong guarantee).
template <class List, class Value>
void AppendCopy(List& list, const Value& value) {
  int& countdown = append_fault::Countdown();
  if (countdown == 0) {
    countdown = -1;
    throw std::bad_alloc();
  }
  if (countdown > 0) --countdown;
  list.push_back(value);
}

}  // namespace kc
