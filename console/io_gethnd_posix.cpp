#include <unistd.h>

#include "console/con_in.h"

intptr_t zq_hConsoleGetHandle(int32_t input) {
    return input ? STDIN_FILENO : STDOUT_FILENO;
}
