#pragma once
// Evaluating one key track described in JSON (fvtool track eval, its fuzz target).
//
// Input: {"kind": "scalar"|"vector"|"rotation", "flags": N (0..7, default 0), "keys":
// [{"t": time, "v": value, "shape": [s20, s24, s28] (default zeros)}...], "times": [t...]},
// a value being a number, [x, y, z] or a quaternion [x, y, z, w] by kind. Output:
// {"values": [...]} with the value at each time (null where the track has no keys).

#include <string>

// False with a one-line reason in error (bad JSON or a field of the wrong shape).
bool EvaluateTrackJson(const std::string& input, std::string& output, std::string& error);
