#pragma once
// Deterministic noise for the procedural textures and paintings: integer hashing, a small
// random generator, and value noise that tiles with a given period (so textures wrap seamlessly).

#include <cstdint>

// 32-bit integer hash of up to three coordinates and a seed.
std::uint32_t Hash(int x, int y, int z, std::uint32_t seed);
// Hash as a float in [0, 1).
float HashUnit(int x, int y, int z, std::uint32_t seed);

// A small deterministic generator (xorshift), independent of the engine's generator.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next();
    float Unit();                          // [0, 1)
    float Range(float low, float high);    // [low, high)
    int Below(int count);                  // 0 … count − 1

private:
    std::uint32_t state_;
};

// Smooth value noise in [0, 1) on a lattice of periodX × periodY cells; x, y in lattice units.
float TileNoise(float x, float y, int periodX, int periodY, std::uint32_t seed);
// Fractal sum of TileNoise: octaves doubling the frequency (and the periods), gain per octave.
// u and v are in [0, 1) texture units; the result tiles over the unit square, in [0, 1).
// Different periods stretch the pattern (fibres, grain).
float TileFbm(float u, float v, int periodX, int periodY, int octaves, float gain, std::uint32_t seed);
inline float TileFbm(float u, float v, int period, int octaves, float gain, std::uint32_t seed) {
    return TileFbm(u, v, period, period, octaves, gain, seed);
}
// Cellular (Worley) distances to the nearest and second-nearest feature points, tileable,
// in cell units; cell is the hash of the nearest feature's cell.
struct CellDistances {
    float first, second;
    std::uint32_t cell;
};
CellDistances TileCells(float u, float v, int period, std::uint32_t seed);

float Smoothstep(float edge0, float edge1, float x);
