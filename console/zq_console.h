// The text console's internals shared with the graphics library; its public
// calls are in zq/zq_console.h.
#pragma once

#include <cstdint>

#include "runtime/zq_rt.h"
#include "zq/zq_console.h"

// The oldest console key (-1 when none); `remove` takes it out of the buffer.
int32_t zq_hConsoleGetKeyEx(int32_t whole, int32_t remove);
// Non-zero once when console input arrived since the last call.
int32_t zq_hConsoleInputBufferChanged();
// Makes sure the text device (file table entry 0) is set up.
void zq_hConsoleDevInit();
