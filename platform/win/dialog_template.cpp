#include "platform/win/dialog_template.h"

#include "platform/win/resources.h"
#include "platform/win/window.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxItems = 256;
constexpr int kMaxUnits = 10000;   // a coordinate or size in dialog units
constexpr std::size_t kMaxText = 1024;

struct KindName {
    const char* name;
    DialogItemKind kind;
};
constexpr KindName kKinds[] = {
    {"LTEXT", DialogItemKind::Label},           {"CTEXT", DialogItemKind::CenteredLabel},
    {"GROUPBOX", DialogItemKind::GroupBox},     {"PUSHBUTTON", DialogItemKind::Button},
    {"DEFPUSHBUTTON", DialogItemKind::DefaultButton}, {"CHECKBOX", DialogItemKind::CheckBox},
    {"RADIOBUTTON", DialogItemKind::RadioButton}, {"COMBOBOX", DialogItemKind::ComboBox},
    {"TRACKBAR", DialogItemKind::TrackBar},     {"BITMAP", DialogItemKind::Bitmap}};

struct StyleName {
    const char* name;
    DWORD flag;
};
constexpr StyleName kStyles[] = {{"POPUP", WS_POPUP},     {"CAPTION", WS_CAPTION},
                                 {"SYSMENU", WS_SYSMENU}, {"MODALFRAME", DS_MODALFRAME},
                                 {"VISIBLE", WS_VISIBLE}};

struct Token {
    bool quoted = false;
    std::string text;
};

// Splits a line into blank-separated words and quoted texts.
bool Tokenise(const std::string& line, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        Token token;
        if (line[i] == '"') {
            token.quoted = true;
            for (++i;; ++i) {
                if (i >= line.size()) {
                    error = "unterminated text";
                    return false;
                }
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        token.text += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.text += line[i];
            }
            if (token.text.size() > kMaxText) {
                error = "text too long";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '"') token.text += line[i++];
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

bool Number(const Token& token, int low, int high, int& value) {
    if (token.quoted || token.text.empty() || token.text.size() > 6) return false;
    char* end = nullptr;
    const long parsed = std::strtol(token.text.c_str(), &end, 10);
    if (*end != '\0' || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

// Reads "x y w h" from tokens[first …].
bool Rectangle(const std::vector<Token>& tokens, std::size_t first, int& x, int& y, int& w, int& h) {
    return tokens.size() >= first + 4 && Number(tokens[first], 0, kMaxUnits, x) &&
           Number(tokens[first + 1], 0, kMaxUnits, y) && Number(tokens[first + 2], 0, kMaxUnits, w) &&
           Number(tokens[first + 3], 0, kMaxUnits, h);
}

bool ParseItem(DialogItemKind kind, const std::vector<Token>& tokens, DialogItemTemplate& item) {
    item.kind = kind;
    if (tokens.size() < 6 || tokens.size() > 7 || !Number(tokens[1], -1, 65535, item.id) ||
        !Rectangle(tokens, 2, item.x, item.y, item.width, item.height))
        return false;
    if (tokens.size() == 6) return kind != DialogItemKind::Bitmap;
    if (kind == DialogItemKind::Bitmap) return Number(tokens[6], 1, 65535, item.bitmap);
    if (!tokens[6].quoted) return false;
    item.caption = tokens[6].text;
    return true;
}

bool ParseStatement(const std::vector<Token>& tokens, DialogTemplate& result, bool& sized, std::string& error) {
    const std::string& word = tokens[0].text;
    if (tokens[0].quoted) {
        error = "a line starts with a text";
        return false;
    }
    if (word == "DIALOG") {
        sized = tokens.size() == 5 && Rectangle(tokens, 1, result.x, result.y, result.width, result.height);
        if (!sized) error = "DIALOG needs x y w h";
        return sized;
    }
    if (word == "STYLE") {
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            bool known = false;
            for (const StyleName& style : kStyles)
                if (!tokens[i].quoted && tokens[i].text == style.name) {
                    result.style |= style.flag;
                    known = true;
                }
            if (!known) {
                error = "unknown style " + tokens[i].text;
                return false;
            }
        }
        return true;
    }
    if (word == "CAPTION") {
        if (tokens.size() != 2 || !tokens[1].quoted) {
            error = "CAPTION needs one text";
            return false;
        }
        result.caption = tokens[1].text;
        return true;
    }
    if (word == "FONT") {
        if (tokens.size() != 3 || !Number(tokens[1], 1, 72, result.fontSize) || !tokens[2].quoted) {
            error = "FONT needs a size and a name";
            return false;
        }
        result.fontName = tokens[2].text;
        return true;
    }
    for (const KindName& kind : kKinds) {
        if (word != kind.name) continue;
        if (result.items.size() >= kMaxItems) {
            error = "too many controls";
            return false;
        }
        DialogItemTemplate item;
        if (!ParseItem(kind.kind, tokens, item)) {
            error = word + " needs id x y w h and a caption or bitmap";
            return false;
        }
        result.items.push_back(std::move(item));
        return true;
    }
    error = "unknown statement " + word;
    return false;
}

}  // namespace

bool ParseDialogTemplate(const char* data, std::size_t size, DialogTemplate& result, std::string& error) {
    result = DialogTemplate{};
    bool sized = false;
    std::size_t position = 0;
    int lineNumber = 0;
    std::vector<Token> tokens;
    while (position < size) {
        std::string line;
        for (; position < size && data[position] != '\n'; ++position)
            if (data[position] != '\r') line += data[position];
        ++position;
        ++lineNumber;
        if (line.find('\0') != std::string::npos) {
            error = "line " + std::to_string(lineNumber) + ": NUL byte";
            return false;
        }
        std::string reason;
        const auto comment = [&] { return !tokens[0].quoted && tokens[0].text.rfind(';', 0) == 0; };
        if (!Tokenise(line, tokens, reason) ||
            (!tokens.empty() && !comment() && !ParseStatement(tokens, result, sized, reason))) {
            error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
    }
    if (!sized) error = "no DIALOG statement";
    return sized;
}

bool LoadDialogTemplate(int number, DialogTemplate& result) {
    const void* data = nullptr;
    DWORD size = 0;
    std::string error;
    return ResourceBytes(number, "DIALOG", data, size) &&
           ParseDialogTemplate(static_cast<const char*>(data), size, result, error);
}
