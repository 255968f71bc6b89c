#include "platform/win/dialog_template.h"
#include "platform/win/window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DialogTemplateTest, ShippedTemplatesHoldTheirControls) {
    struct Case {
        int number;
        int width, height;
        const char* font;
        std::size_t controls;
    };
    for (const Case& c : {Case{129, 248, 60, "MS Sans Serif", 3}, Case{132, 382, 263, "Microsoft Sans Serif", 29},
                          Case{103, 233, 102, "Microsoft Sans Serif", 10}}) {
        SCOPED_TRACE(c.number);
        DialogTemplate dialog;
        ASSERT_TRUE(LoadDialogTemplate(c.number, dialog));
        EXPECT_EQ(dialog.width, c.width);
        EXPECT_EQ(dialog.height, c.height);
        EXPECT_EQ(dialog.fontName, c.font);
        EXPECT_EQ(dialog.fontSize, 8);
        EXPECT_EQ(dialog.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        EXPECT_EQ(dialog.items.size(), c.controls);
    }
    DialogTemplate runtime;
    ASSERT_TRUE(LoadDialogTemplate(129, runtime));
    EXPECT_EQ(runtime.items[0].caption,
              "DirectX 9 is required for screensaver to work properly. Click button \"Download DirectX 9\" to "
              "download it from Microsoft website");
    DialogTemplate settings;
    ASSERT_TRUE(LoadDialogTemplate(132, settings));
    const DialogItemTemplate& bitmap = settings.items[15];
    EXPECT_EQ(bitmap.kind, DialogItemKind::Bitmap);
    EXPECT_EQ(bitmap.bitmap, 155);
    EXPECT_EQ(bitmap.id, -1);
    EXPECT_EQ(bitmap.x, 203);
    EXPECT_EQ(bitmap.height, 114);
}

TEST(DialogTemplateTest, MalformedTextIsRefusedWithItsLine) {
    const char* const bad[] = {
        "",                                     // no DIALOG
        "DIALOG 0 0 10",                        // short rectangle
        "DIALOG 0 0 10 10\nSTYLE ROUND",        // unknown style
        "DIALOG 0 0 10 10\nCAPTION \"open",     // unterminated text
        "DIALOG 0 0 10 10\nLTEXT 1 0 0 5",      // short control
        "DIALOG 0 0 10 10\nBITMAP 1 0 0 5 5",   // bitmap without number
        "DIALOG 0 0 10 10\nLTEXT 1 0 0 5 5 7",  // caption not a text
        "DIALOG 0 0 10 10\nLTEXT 70000 0 0 5 5",
        "DIALOG 0 0 10 -1",
        "DIALOG 0 0 10 10\nSLIDER 1 0 0 5 5",
        "DIALOG 0 0 10 10\nFONT 8",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        DialogTemplate result;
        std::string error;
        EXPECT_FALSE(ParseDialogTemplate(text, std::char_traits<char>::length(text), result, error));
        EXPECT_FALSE(error.empty());
    }
    DialogTemplate result;
    std::string error;
    const std::string nul("DIALOG 0 0 10 10\nLTEXT 1 0 0 5 5 \"a\0b\"", 38);
    EXPECT_FALSE(ParseDialogTemplate(nul.data(), nul.size(), result, error));
    EXPECT_EQ(error, "line 2: NUL byte");
    const std::string good = "; c\r\nDIALOG 1 2 3 4\n  \nCTEXT -1 0 0 5 5 \"say \"\"hi\"\"\"\n";
    ASSERT_TRUE(ParseDialogTemplate(good.data(), good.size(), result, error)) << error;
    EXPECT_EQ(result.items.at(0).caption, "say \"hi\"");
    EXPECT_EQ(result.items.at(0).kind, DialogItemKind::CenteredLabel);
}

}  // namespace
