#include "app/text_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TextTable ParseText(const std::string& text) {
    TextTable table;
    table.Parse(text.data(), text.size());
    return table;
}

TEST(TextTableTest, EveryLineIsKeptAndKeyLinesAreLowered) {
    const char text[] = "// Kommentar\r\n#Show_FPS#\nFPS Anzeigen\n\n#ABC\nx\0y\n#Q";
    const TextTable table = ParseText(std::string(text, sizeof text - 1));
    ASSERT_EQ(table.LineCount(), 7);
    const char* lines[] = {"// Kommentar", "#show_fps#", "FPS Anzeigen", "", "#abC", "xy", "#Q"};
    for (int i = 0; i < 7; ++i) EXPECT_STREQ(table.Line(i).CStr(), lines[i]) << i;
}

TEST(TextTableTest, LookupToleratesTwoCharactersOfLength) {
    const TextTable table = ParseText(
        "#show_fps#\nFPS anzeigen\n"
        "#show#\nZeigen\n"
        "#about\nUeber\n"
        "#ok##\nnot ok\n"
        "#cancel#\nAbbrechen\n"
        "#Gamma_Control:#\nGammakontrolle:\n"
        "#last#\n");
    struct Case {
        const char* key;
        const char* text;
    };
    const Case cases[] = {
        {"show_fps", "FPS anzeigen"},
        {"SHOW_FPS", "FPS anzeigen"},
        {"show", "Zeigen"},          // "#show#" comes before "#show_fps#" would be too long
        {"about", "Ueber"},          // without the closing "#"
        {"ok", ""},                  // "#ok##" is three longer
        {"cancel", "Abbrechen"},
        {"cance", ""},               // "#cancel#" is three longer
        {"cancel#", "Abbrechen"},    // the line is one longer
        {"gamma_control:", "Gammakontrolle:"},
        {"last", ""},                // no line after it
        {"show_fps_and_more", ""},   // longer than every line: never read past one
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(table.Text(c.key).CStr(), c.text) << c.key;
}

TEST(TextTableTest, ShippedTableHoldsTheDialogTexts) {
    TextTable table;
    ASSERT_TRUE(table.LoadResource());
    struct Case {
        const char* key;
        const char* text;
    };
    const Case cases[] = {
        {"screensaver_configuration", "Frostvale 3D Bildschirmschoner Konfiguration"},
        {"qustomize_snow_quality", "Die Schnee Qualit\xe4t einrichten"},
        {"master_volume:", "Lautst\xe4rke:"},
        {"ok", "OK"},
        {"cancel", "Abbrechen"},
        {"about", "\xdc" "ber"},
        {"s_large", "Gro\xdf"},
        {"w_strong", "Stark"},
        {"24h_style", "24 St"},
    };
    for (const Case& c : cases) EXPECT_STREQ(table.Text(c.key).CStr(), c.text) << c.key;
    EXPECT_NE(table.Text("about_window_text").Find("%"), -1);  // "%" stays in values
}

TEST(TextTableTest, TextWithPercentAppendsBlankNumberAndPercent) {
    const TextTable table = ParseText("#gamma_control:#\nGammakontrolle:\n");
    struct Case {
        std::int32_t value;
        const char* text;
    };
    for (const Case& c : {Case{0, "Gammakontrolle: 0%"}, Case{100, "Gammakontrolle: 100%"},
                          Case{200, "Gammakontrolle: 200%"}, Case{-5, "Gammakontrolle: -5%"}})
        EXPECT_STREQ(table.TextWithPercent("gamma_control:", c.value).CStr(), c.text);
    EXPECT_STREQ(table.TextWithPercent("missing", 7).CStr(), " 7%");
}

}  // namespace
