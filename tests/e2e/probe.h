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

// The driver's flip and poll_events, where it has them.
void probe_flip_and_poll();

// What the cycle action counts (probe_measure: one value each, -1 unknown) and
// how much growth is no leak.
struct ProbeMeasure {
    const char* what;
    long long allowed;
};
extern const ProbeMeasure kProbeMeasures[];
extern const int kProbeMeasureCount;
void probe_measure(long long* out);
