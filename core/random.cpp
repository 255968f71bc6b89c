#include "core/random.h"

namespace {
std::uint32_t gState = 1;
}

void SeedRandom(std::uint32_t seed) { gState = seed; }

int Random() {
    gState = gState * 214013u + 2531011u;
    return static_cast<int>((gState >> 16) & 0x7FFF);
}

int RandomBelow(int range) {
    const int value = Random();
    return range > 0 ? value % range : 0;
}
