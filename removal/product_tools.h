#pragma once
// Removing the product's own programs, its shortcut and the product's folders left empty.

namespace kc {

// Deletes the product's program on the current user's desktop, its shortcut on the desktop shared
// by all users and its three tools under <program files>\Kestrel\Fonts\ZIZAV\, then removes
// ZIZAV\, Fonts\Utility\, Fonts\ and Kestrel\ in that order, each only when empty. A desktop that
// cannot be found skips its own step; a missing program-files folder ends the clean-up. Files of
// the user and anything else not in the product's list are never touched. Harmless to run again;
// nothing is reported.
void RemoveProductTools();

}  // namespace kc
