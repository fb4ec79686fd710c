#pragma once
// Removing the product's own programs, its shortcut and the product's folders left empty. Unlike
// the fonts, these are deleted by their fixed paths: they lie where only administrators (the
// program-files folder, the desktop shared by all users) or the user running the program (their
// own desktop) can rename or link anything, so nobody else can redirect what those paths reach.

namespace kc {

// Deletes the product's program on the current user's desktop, its shortcut on the desktop shared
// by all users and its three tools under <program files>\Kestrel\Fonts\ZIZAV\, then removes
// ZIZAV\, Fonts\Utility\, Fonts\ and Kestrel\ in that order, each only when empty. A desktop that
// cannot be found skips its own step; a missing program-files folder ends the clean-up. Files of
// the user and anything else not in the product's list are never touched. Harmless to run again.
// Nothing is shown; each file deleted, each folder removed or kept, and each failure is reported
// to the removal journal.
void RemoveProductTools();

// What RemoveProductTools would do, changing nothing: reports to the removal journal each tool
// that exists as one that would be deleted, and each folder that would be empty by its turn as one
// that would be removed. (Whether a deletion would succeed cannot be known beforehand.)
void PreviewProductTools();

}  // namespace kc
