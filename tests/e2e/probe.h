// The end-to-end probe: one program whose actions the scripts pick by name.
#pragma once

#include <cstdint>
#include <string>

struct ProbeAction {
    const char* name;
    int32_t flags;  // DriverFlags of its screen
    bool opens_screen;
    int (*run)(int argc, char** argv);  // the action's own arguments
};

// This platform's own actions, ended by a null name.
extern const ProbeAction kPlatformActions[];

bool probe_fullscreen();
void probe_print_modes(const char* when);

// The key read, or 0 for none: a one-byte key's code, an extended key's
// 0xFF | scan << 8. Appends the key string's bytes in hex to `hex` if given.
int32_t probe_read_key(std::string* hex = nullptr);

// Draws the screen where the driver needs a call for it and handles its
// window's messages where it has no thread of its own.
void probe_flip_and_poll();

// What the cycle action counts before and after, and how much growth is no
// leak; probe_measure fills one value per entry (-1: cannot tell).
struct ProbeMeasure {
    const char* what;
    long long allowed;
};
extern const ProbeMeasure kProbeMeasures[];
extern const int kProbeMeasureCount;
void probe_measure(long long* out);
