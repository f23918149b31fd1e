// A property that fails stops the fuzzer, naming the line that checks it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tallyrig::fuzz {

inline void check(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "property of line %d does not hold\n", line);
        std::abort();
    }
}

} // namespace tallyrig::fuzz
