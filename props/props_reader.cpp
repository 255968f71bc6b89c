#include "props/props_reader.h"

#include "core/byte_buffer.h"

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

String ReadStatement(const char* text, int length, int& position) {
    ByteBuffer gathered;
    bool inDouble = false;
    bool inSingle = false;
    int pos = position < 0 ? 0 : position;
    while (pos < length) {
        const char c = text[pos];
        if (c == '/' && pos + 1 < length && text[pos + 1] == '/') {
            pos += 2;
            while (pos < length && !IsLineEnd(text[pos])) ++pos;
            while (pos < length && IsLineEnd(text[pos])) ++pos;
            continue;
        }
        const bool afterBackslash = pos > 0 && text[pos - 1] == '\\';
        ++pos;
        if (IsLineEnd(c)) continue;
        if (c == '"' && !afterBackslash && !inSingle) inDouble = !inDouble;
        if (c == '\'' && !afterBackslash && !inDouble) inSingle = !inSingle;
        if (c == ';' && !inDouble && !inSingle) break;
        // A fixed step makes a long statement quadratic; grow the step with the text.
        if (gathered.Length() == gathered.Capacity()) gathered.SetStep(gathered.Length() < 10 ? 10 : gathered.Length());
        gathered.Append(static_cast<std::uint8_t>(c));
    }
    position = pos;
    return String(reinterpret_cast<const char*>(gathered.Data()), gathered.Length());
}
