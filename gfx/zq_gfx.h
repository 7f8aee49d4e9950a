// Moved: programs include zq/zq_gfx.h.
#pragma once
#include "zq/zq_gfx.h"
