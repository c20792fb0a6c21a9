#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

void FuzzFailure(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
