#pragma once
// A dialog host without a display, for tests: base units 6 × 13 (an 8-point dialog font),
// a screen of a set size, and a script per dialog template that plays the user. It is the
// host for as long as it exists.

#include "platform/win/dialog_host.h"

#include <functional>
#include <map>
#include <vector>

class MemoryDialogHost final : public DialogHost {
public:
    using Script = std::function<void(Dialog&)>;

    MemoryDialogHost() { SetDialogHost(this); }
    ~MemoryDialogHost() override { SetDialogHost(nullptr); }
    MemoryDialogHost(const MemoryDialogHost&) = delete;
    MemoryDialogHost& operator=(const MemoryDialogHost&) = delete;

    // Every later dialog of templateNumber runs script once it is shown. A dialog without a
    // script, or still open after it, ends with -1.
    void OnShow(int templateNumber, Script script) { scripts_[templateNumber] = std::move(script); }

    int screenWidth = 1024;
    int screenHeight = 768;
    std::vector<int> shown;  // template numbers, in the order the dialogs were shown

    bool Ready() override { return true; }
    void BaseUnits(const DialogTemplate&, int& x, int& y) override {
        x = 6;
        y = 13;
    }
    void ScreenSize(int& width, int& height) override {
        width = screenWidth;
        height = screenHeight;
    }
    void Run(Dialog& dialog) override;
    void Update(Dialog&, DialogItem*) override {}

private:
    std::map<int, Script> scripts_;
};
