#pragma once
// Keyboard and mouse input: DirectInput devices read with a zero wait, plus the window's
// focus, cursor and mouse-move messages. Listeners receive input events:
//   0 left down, 1 left up, 2 left double click, 3 right down, 4 right up,
//   5 right double click, 6 mouse move (x, y, previous x, previous y, dx, dy),
//   7 key down and 8 key up (extra = DirectInput key code), 9 focus gained.
// A second release of a button less than 500 ms (by the records' time stamps) after the
// first adds a double click. The cursor position stays inside the client area.

#include "core/clock.h"
#include "render/device_object.h"
#include "render/device_window.h"

#include <cstdint>
#include <vector>

class IDirectInput8A;
class IDirectInputDevice8A;

enum InputEventType {
    kInputLeftDown = 0,
    kInputLeftUp = 1,
    kInputLeftDoubleClick = 2,
    kInputRightDown = 3,
    kInputRightUp = 4,
    kInputRightDoubleClick = 5,
    kInputMouseMove = 6,
    kInputKeyDown = 7,
    kInputKeyUp = 8,
    kInputFocusGained = 9,
};

class InputListener : public virtual Object {
public:
    virtual void OnInput(int type, float x, float y, float previousX, float previousY, float dx, float dy,
                         int extra) = 0;
};

struct CursorPosition {
    float x, y;
};

class InputDevices : public MessageListener, public DeviceObject {
public:
    static constexpr std::uint32_t kDoubleClickMs = 500;

    // Listens to the given device window (the live instance when null).
    explicit InputDevices(DeviceWindow* window = nullptr);
    ~InputDevices() override;
    InputDevices(const InputDevices&) = delete;
    InputDevices& operator=(const InputDevices&) = delete;

    // False when no device exists yet, or when DirectInput or a device call fails.
    bool Start(bool useSystemCursor, std::uint32_t keyboardFlags, std::uint32_t mouseFlags);
    void Stop();
    // Reads whichever device has signalled new data (keyboard first); never waits.
    void Poll();
    // Once intervalMs have passed: refreshes the cursor position and the key state.
    void Update(std::int64_t intervalMs);

    bool IsLeftButtonDown() const;
    bool IsRightButtonDown() const;
    CursorPosition GetCursor() const { return {x_, y_}; }
    void AddListener(InputListener* listener);
    void RemoveListener(InputListener* listener);
    bool IsFocused() const { return focused_; }
    bool IsKeyDown(int dik) const { return dik >= 0 && dik < 256 && (keys_[dik] & 0x80) != 0; }
    void SetSensitivity(float divisor) { sensitivity_ = divisor > 0.0f ? divisor : 1.0f; }

    void OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The client area is read again after a device reset.
    bool Restore() override;

private:
    struct ClickTracker {
        std::uint8_t count = 0;
        std::uint32_t firstRelease = 0;
    };

    void ReadKeyboard();
    void ReadMouse();
    void UpdateCursor();
    void ClampCursor();
    void Release(int pressedType, ClickTracker& clicks, std::uint32_t timeStamp);
    void Send(int type, float previousX = 0, float previousY = 0, float dx = 0, float dy = 0, int extra = 0);
    bool Windowed() const;

    DeviceWindow* deviceWindow_;
    HWND window_ = nullptr;
    IDirectInput8A* input_ = nullptr;
    IDirectInputDevice8A* keyboard_ = nullptr;
    IDirectInputDevice8A* mouse_ = nullptr;
    HANDLE keyboardEvent_ = nullptr;
    HANDLE mouseEvent_ = nullptr;
    std::uint8_t keys_[256] = {};
    std::int32_t mouseState_[3] = {};  // lX, lY, lZ of the last mouse state
    std::uint8_t mouseButtons_[4] = {};
    float x_ = 0.0f, y_ = 0.0f;
    float sensitivity_ = 1.0f;
    ClientArea client_{0, 0, 0, 0};
    bool useSystemCursor_ = false;
    bool focused_ = true;
    ClickTracker left_, right_;
    std::vector<InputListener*> listeners_;
    Stopwatch pollStopwatch_;
};
