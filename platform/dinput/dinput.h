#pragma once
// DirectInput 8: keyboard and mouse devices whose buffered records are filled from the raw
// input the window layer reads. Records carry the DirectInput offset, the data (0x80 for a
// pressed key or button, a signed count for an axis) and a millisecond time stamp from
// NowMilliseconds. A foreground device hears input only while its window has the focus;
// losing the focus loses the acquisition (DIERR_INPUTLOST on the next read).

#include "platform/win/win_handles.h"

using REFGUID = const GUID&;
using REFIID = const GUID&;
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;
extern const GUID IID_IDirectInput8A;
// Property identifiers (the small numbers DirectInput uses in place of GUIDs).
extern const GUID DIPROP_BUFFERSIZE;

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const void* rgodf;
};
extern const DIDATAFORMAT c_dfDIKeyboard;  // 256-byte key state
extern const DIDATAFORMAT c_dfDIMouse;     // DIMOUSESTATE

struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
};
constexpr DWORD DIPH_DEVICE = 0;

struct DIDEVICEOBJECTDATA {
    DWORD dwOfs;
    DWORD dwData;
    DWORD dwTimeStamp;
    DWORD dwSequence;
    std::uintptr_t uAppData;
};

struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
};

constexpr DWORD DIMOFS_X = 0;
constexpr DWORD DIMOFS_Y = 4;
constexpr DWORD DIMOFS_Z = 8;
constexpr DWORD DIMOFS_BUTTON0 = 12;
constexpr DWORD DIMOFS_BUTTON1 = 13;
constexpr DWORD DIMOFS_BUTTON2 = 14;
constexpr DWORD DIMOFS_BUTTON3 = 15;

constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;
constexpr DWORD DISCL_NOWINKEY = 0x10;

constexpr DWORD DIGDD_PEEK = 0x01;

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;
constexpr HRESULT DI_BUFFEROVERFLOW = 1;
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AA);
constexpr HRESULT DIERR_NOTINITIALIZED = static_cast<HRESULT>(0x80070015);
constexpr HRESULT DIERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154);

// DirectInput key codes used by the engine (the full set is the PC scan code set 1).
constexpr int DIK_ESCAPE = 0x01;
constexpr int DIK_SPACE = 0x39;
constexpr int DIK_F1 = 0x3B;
constexpr int DIK_F2 = 0x3C;
constexpr int DIK_F3 = 0x3D;
constexpr int DIK_F6 = 0x40;
constexpr int DIK_A = 0x1E;
constexpr int DIK_RETURN = 0x1C;

class IDirectInputDevice8A {
public:
    virtual DWORD Release() = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) = 0;
    virtual HRESULT SetEventNotification(HANDLE event) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // count: in, the room in records; out, the records taken (records null discards them).
    // DI_BUFFEROVERFLOW when records were dropped since the last read.
    virtual HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count, DWORD flags) = 0;
    virtual HRESULT GetDeviceState(DWORD size, void* state) = 0;

protected:
    virtual ~IDirectInputDevice8A() = default;
};

class IDirectInput8A {
public:
    virtual DWORD Release() = 0;
    virtual HRESULT CreateDevice(REFGUID device, IDirectInputDevice8A** out, void* outer) = 0;

protected:
    virtual ~IDirectInput8A() = default;
};

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out, void* outer);

// Live devices (tests).
int DirectInputDeviceCount();
