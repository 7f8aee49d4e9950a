// The end-to-end probe: one program whose actions the scripts pick by name.
#pragma once

#include <cstdint>
#include <string>

struct GfxDriver;

struct ProbeAction {
    const char* name;
    int32_t flags;  // DriverFlags of its screen
    bool opens_screen;
    int (*run)(int argc, char** argv);  // the action's own arguments; null: nothing more
};

// This platform's own actions, ended by a null name; the driver whose modes
// --modes lists; the window drivers' DriverFlags, Fullscreen among them.
extern const ProbeAction kPlatformActions[];
extern const GfxDriver* const kModesDriver;
extern const int32_t* const kModeFlags;

// The key read, or 0 for none: a one-byte key's code, an extended key's
// 0xFF | scan << 8. Appends the key string's bytes in hex to `hex` if given.
int32_t probe_read_key(std::string* hex = nullptr);

// The driver's flip and poll_events, where it has them.
void probe_flip_and_poll();

// What the cycle action counts (probe_measure: one value each, -1 unknown) and
// how much growth is no leak; the table ends with a null name.
struct ProbeMeasure {
    const char* what;
    long long allowed;
};
extern const ProbeMeasure kProbeMeasures[];
void probe_measure(long long* out);
