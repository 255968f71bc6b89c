#pragma once
// Dialog templates (resource type "DIALOG"): the dialog's rectangle, style, caption and
// font, and its controls with identifiers, kinds and rectangles, all in dialog units.
//
// Text form, one statement a line, ";" starting a comment line:
//   DIALOG x y w h
//   STYLE POPUP CAPTION SYSMENU MODALFRAME
//   CAPTION "title"
//   FONT 8 "Microsoft Sans Serif"
//   KIND id x y w h ["caption" | bitmap number]
// KIND is LTEXT, CTEXT, GROUPBOX, PUSHBUTTON, DEFPUSHBUTTON, CHECKBOX, RADIOBUTTON,
// COMBOBOX (a drop-down list), TRACKBAR or BITMAP; id -1 is a control without identifier.
// In a quoted text "" stands for one double quote. Texts are Windows-1252.

#include "platform/win/win_types.h"

#include <cstddef>
#include <string>
#include <vector>

enum class DialogItemKind { Label, CenteredLabel, GroupBox, Button, DefaultButton, CheckBox, RadioButton, ComboBox,
                            TrackBar, Bitmap };

struct DialogItemTemplate {
    DialogItemKind kind = DialogItemKind::Label;
    int id = -1;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    std::string caption;
    int bitmap = 0;  // BITMAP: resource number
};

constexpr DWORD DS_MODALFRAME = 0x80;

struct DialogTemplate {
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    DWORD style = 0;                          // WS_* and DS_* flags
    std::string caption;
    std::string fontName;
    int fontSize = 8;                         // points
    std::vector<DialogItemTemplate> items;
};

// False, with a one-line reason in error, for text that is not a whole template.
bool ParseDialogTemplate(const char* data, std::size_t size, DialogTemplate& result, std::string& error);
// The template of resource (number, "DIALOG"); false when it is missing or malformed.
bool LoadDialogTemplate(int number, DialogTemplate& result);
