#pragma once
// The process-wide random generator every subsystem draws from, in a fixed order:
// state = state * 214013 + 2531011 (mod 2^32); the result is bits 16 … 30 (0 … 32767).

#include <cstdint>

void SeedRandom(std::uint32_t seed);
int Random();
// One draw reduced into [0, range). A range below 1 still draws, so the sequence stays the
// same, but gives 0 (no modulus by zero).
int RandomBelow(int range);
