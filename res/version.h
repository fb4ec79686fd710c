#pragma once
// The program's version: in its version block (fontlist.rc) and in the first line of every log.
#define KC_VERSION_NUMBERS 1, 1, 0, 0
#define KC_VERSION_TEXT "1.1.0.0"
