#pragma once
// Key code conversions inside the platform layers: SDL scancodes to Windows virtual keys
// and DirectInput key codes (the PC set-1 scan codes, 0x80 marking extended keys).

// 0 for keys without a code.
int VirtualKeyFromScancode(int scancode);
int DikFromScancode(int scancode);
// The DirectInput code of a virtual key (for synthetic input); 0 when it has none.
int DikFromVirtualKey(int virtualKey);
// The SDL scancode of a virtual key (the left-hand one of a pair); 0 when it has none.
int ScancodeFromVirtualKey(int virtualKey);
