#pragma once
// The raw key and mouse input the message queue reads, handed to the input-device layer
// as well (keys as DirectInput codes, mouse motion as relative counts).

#include "platform/win/win_types.h"

struct RawInput {
    enum Kind { Key, Motion, Button, Wheel } kind;
    HWND window;    // the window the input belongs to (the focused one for keys)
    int code;       // Key: DirectInput key code; Button: 0 left, 1 right, 2 middle
    bool down;      // Key, Button
    int dx, dy;     // Motion: relative movement; Wheel: dy in wheel units of 120
};

using RawInputSink = void (*)(const RawInput& input);
// One sink; null removes it.
void SetRawInputSink(RawInputSink sink);
// Hands input to the sink (the message queue and synthetic key input call this).
void DeliverRawInput(const RawInput& input);
