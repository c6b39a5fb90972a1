// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>

// A broken invariant in a fuzz target: abort, so libFuzzer keeps the input.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}
