#pragma once
// Looking for a key press that waits for the program, without taking it: a long walk
// over records asks now and then whether the user pressed Esc. The events that
// waited are handed on afterwards, in their order, as if nobody had looked.

#include "platform/rtl/types.h"

// Whether a press of the virtual key is among the input waiting for the program.
// Nothing that waited is handled meanwhile: no key, mouse, timer or painting runs.
bool KeyPressWaiting(Word Key);
