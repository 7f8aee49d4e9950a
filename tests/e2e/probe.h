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
