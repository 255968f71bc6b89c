#pragma once
// Captures message boxes for the length of a test instead of showing them.

#include "platform/win/message_box.h"

#include <string>
#include <vector>

struct CapturedMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};

class MessageBoxCapture {
public:
    MessageBoxCapture() {
        Boxes().clear();
        SetMessageBoxHook(&Capture);
    }
    ~MessageBoxCapture() { SetMessageBoxHook(nullptr); }
    const std::vector<CapturedMessageBox>& boxes() const { return Boxes(); }

private:
    static std::vector<CapturedMessageBox>& Boxes() {
        static std::vector<CapturedMessageBox> boxes;
        return boxes;
    }
    static int Capture(LPCSTR text, LPCSTR caption, UINT type) {
        Boxes().push_back({text, caption, type});
        return IDOK;
    }
};
