#include "props/props_parser.h"

#include "core/media_archive.h"
#include "props/props_reader.h"

#include <cstring>
#include <limits>
#include <memory>

namespace {

// Characters begin … end - 1; empty when end <= begin.
String Slice(const String& text, int begin, int end) {
    if (begin < 0) begin = 0;
    if (end > text.Length()) end = text.Length();
    if (end <= begin) return String();
    return String(text.CStr() + begin, end - begin);
}

bool StartsWith(const String& text, const char* prefix) {
    const int n = static_cast<int>(std::strlen(prefix));
    return text.Length() >= n && std::memcmp(text.CStr(), prefix, static_cast<std::size_t>(n)) == 0;
}

int FindFrom(const String& text, char c, int from) {
    for (int i = from; i < text.Length(); ++i)
        if (text[i] == c) return i;
    return -1;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A bracketed component loses its brackets: "[0]" names 0, "[\"0\"]" names "0" with quotes.
String StripBrackets(const String& component) {
    if (component.IsEmpty() || component[0] != '[') return component;
    const int close = FindFrom(component, ']', 1);
    if (close < 0) return component;
    return Slice(component, 1, close);
}

bool DefaultReader(const String& name, std::vector<std::uint8_t>& bytes) { return ReadFile(name, bytes); }

class Parser {
public:
    Parser(PropsDocument& document, const PropsFileReader& reader) : document_(document), reader_(reader) {}

    bool ParseText(const char* text, int length) {
        PropsNode* scope = nullptr;
        bool ok = true;
        int position = 0;
        for (;;) {
            const String statement = ReadStatement(text, length, position);
            if (statement.IsEmpty()) break;
            if (!Execute(statement, scope)) ok = false;
        }
        return ok;
    }

    bool Execute(const String& statement, PropsNode*& scope);
    PropsNode* Resolve(PropsNode* start, const String& path);

private:
    bool Include(const String& statement);
    bool Assign(PropsNode& target, const String& value);
    bool ExecuteItems(PropsNode& target, const String& value);
    void CopyReference(PropsNode& target, const String& path);
    void CloneChildren(PropsMap& source, PropsMap& into, int depth);
    String NextFreeIndex(PropsNode& scope);

    PropsDocument& document_;
    const PropsFileReader& reader_;
    int includeDepth_ = 0;
    int includes_ = 0;
    int nesting_ = 0;
};

bool Parser::Execute(const String& raw, PropsNode*& scope) {
    // Blanks only are a bare empty value: with a scope they take its next index.
    const String statement = raw.Trim();
    if (StartsWith(statement, "using")) {
        const String rest = Slice(statement, 5, statement.Length()).Trim();
        if (rest.IsEmpty()) {
            scope = nullptr;
            return true;
        }
        scope = Resolve(nullptr, rest);
        if (scope != nullptr) scope->SetKind(kPropsObject);
        return true;
    }
    if (StartsWith(statement, "include")) return Include(statement);

    // "=>" wins over "=", each only when its first occurrence is also its first top-level one.
    int op = statement.Find("=>");
    int opLength = 2;
    if (op < 0 || FindTopLevel(statement, "=>") != op) {
        op = statement.Find("=");
        opLength = 1;
        if (op >= 0 && FindTopLevel(statement, "=") != op) op = -1;
    }

    String path;
    String value;
    if (op >= 0) {
        path = Slice(statement, 0, op);
        value = Slice(statement, op + opLength, statement.Length());
    } else {
        if (scope == nullptr) return true;  // a bare value outside any scope says nothing
        path = NextFreeIndex(*scope);
        value = statement;
    }

    PropsNode* target = Resolve(scope, path);
    if (target == nullptr) return true;
    document_.ClearChildren(*target);
    target->SetCounter(0);
    return Assign(*target, value.Trim());
}

String Parser::NextFreeIndex(PropsNode& scope) {
    std::int32_t counter = scope.Counter();
    String name;
    do {
        name = String::FromInt(counter);
        if (counter == std::numeric_limits<std::int32_t>::max()) break;
        ++counter;
    } while (scope.Children().Find(name) != nullptr);
    scope.SetCounter(counter);
    return name;
}

bool Parser::Include(const String& statement) {
    const int open = statement.Find("(");
    const int close = statement.Find(")");
    if (open < 0 || close < open) return false;
    String name = Slice(statement, open + 1, close).Trim();
    if (name.Length() < 2 || name[0] != '"' || name[name.Length() - 1] != '"') return false;
    name = Slice(name, 1, name.Length() - 1);
    if (includeDepth_ >= kMaxPropsIncludeDepth || nesting_ >= kMaxPropsNesting) return false;
    if (includes_ >= kMaxPropsIncludes) return false;
    ++includes_;

    std::vector<std::uint8_t> bytes;
    if (!reader_(name, bytes)) return false;
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
    ++includeDepth_;
    ++nesting_;
    const bool ok = ParseText(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
    --nesting_;
    --includeDepth_;
    return ok;
}

bool Parser::Assign(PropsNode& target, const String& value) {
    target.SetValue(String());
    if (value.IsEmpty()) {
        target.SetKind(kPropsValue);
        return true;
    }
    if (StartsWith(value, "array")) {
        target.SetKind(kPropsArray);
        return ExecuteItems(target, value);
    }
    if (StartsWith(value, "object")) {
        target.SetKind(kPropsObject);
        return ExecuteItems(target, value);
    }
    target.SetKind(kPropsValue);
    if (value[0] == '"' || value[0] == '\'') {
        target.SetValue(QuotedValue(value));
        return true;
    }
    if (IsPropsNumber(value)) {
        target.SetValue(value);
        return true;
    }
    CopyReference(target, value);
    return true;
}

bool Parser::ExecuteItems(PropsNode& target, const String& value) {
    const int open = value.Find("(");
    if (open < 0) return true;
    // Up to, not including, the last character: the closing bracket as written.
    const String items = Slice(value, open + 1, value.Length() - 1).Trim();
    if (nesting_ >= kMaxPropsNesting) return true;
    ++nesting_;
    bool ok = true;
    PropsNode* scope = &target;
    int position = 0;
    while (position < items.Length()) {
        const int comma = FindTopLevel(items, ",", position);
        const int end = comma < 0 ? items.Length() : comma;
        if (!Execute(Slice(items, position, end), scope)) ok = false;
        position = comma < 0 ? items.Length() : comma + 1;
    }
    --nesting_;
    // The items may have detached target from the tree; it is still alive (parked).
    target.Children().AdvanceCursor();
    return ok;
}

void Parser::CopyReference(PropsNode& target, const String& path) {
    PropsNode* source = Resolve(nullptr, path);
    if (source == nullptr) return;
    // Copy first, then replace: the source may be the target, or lie above or below it.
    PropsMap copy;
    CloneChildren(source->Children(), copy, target.Depth() + 1);
    const String value = source->Value();
    const int kind = source->Kind();
    const std::int32_t counter = source->Counter();
    document_.ClearChildren(target);
    target.SetValue(value);
    target.SetKind(kind);
    target.SetCounter(counter);
    target.Children().MoveFrom(copy);
}

void Parser::CloneChildren(PropsMap& source, PropsMap& into, int depth) {
    if (depth > kMaxPropsDepth || document_.AtNodeLimit()) return;
    source.Walk([&](PropsNode& node) {
        std::unique_ptr<PropsNode> clone = document_.NewNode(node.Name(), depth);
        if (clone == nullptr) return;  // past the depth or node limit the copy stops
        clone->SetKind(node.Kind());
        clone->SetValue(node.Value());
        clone->SetCounter(node.Counter());
        CloneChildren(node.Children(), clone->Children(), depth + 1);
        into.Insert(std::move(clone));
    });
    // Inserted in walk order, the copy's cursor sits one before the source's cursor.
    into.AdvanceCursor();
}

PropsNode* Parser::Resolve(PropsNode* start, const String& path) {
    String rest = path.Trim();
    PropsNode* node = start;
    for (;;) {
        const int dot = rest.Find(".");
        const int bracket = !rest.IsEmpty() && rest[0] == '[' ? FindFrom(rest, '[', 1) : rest.Find("[");
        String component;
        int kind = -1;
        bool last = false;
        if (dot < 0 && bracket < 0) {
            component = rest;
            last = true;
        } else if (bracket >= 0 && (dot < 0 || bracket < dot)) {
            component = Slice(rest, 0, bracket);
            rest = Slice(rest, bracket, rest.Length());
            kind = kPropsArray;
        } else {
            component = Slice(rest, 0, dot);
            rest = Slice(rest, dot + 1, rest.Length());
            kind = kPropsObject;
        }
        component = StripBrackets(component).Trim();
        const PropsMap& map = node == nullptr ? document_.TopLevel() : node->Children();
        PropsNode* child = map.Find(component);
        if (child == nullptr) child = document_.CreateChild(node, component);
        if (child == nullptr) return nullptr;
        if (kind >= 0) child->SetKind(kind);
        if (last) return child;
        node = child;
    }
}

}  // namespace

bool ParseProps(PropsDocument& document, const char* text, int length) {
    return ParseProps(document, text, length, PropsFileReader(DefaultReader));
}

bool ParseProps(PropsDocument& document, const char* text, int length, const PropsFileReader& reader) {
    if (text == nullptr || length <= 0) return true;
    Parser parser(document, reader);
    return parser.ParseText(text, length);
}

bool ExecuteStatement(PropsDocument& document, const String& statement, PropsNode*& scope) {
    const PropsFileReader reader(DefaultReader);
    Parser parser(document, reader);
    return parser.Execute(statement, scope);
}

PropsNode* ResolvePath(PropsDocument& document, PropsNode* start, const String& path) {
    const PropsFileReader reader(DefaultReader);
    Parser parser(document, reader);
    return parser.Resolve(start, path);
}

int FindTopLevel(const String& text, const char* delimiter, int from) {
    const int n = text.Length();
    const int d = static_cast<int>(std::strlen(delimiter));
    if (d == 0) return from < 0 ? 0 : (from > n ? -1 : from);
    const char* s = text.CStr();
    int i = from < 0 ? 0 : from;
    while (i < n) {
        if (s[i] == delimiter[0] && n - i >= d && std::memcmp(s + i, delimiter, static_cast<std::size_t>(d)) == 0)
            return i;
        const char c = s[i];
        if (c == '"' || c == '\'') {
            int j = i + 1;
            while (j < n && s[j] != c) ++j;
            i = j < n ? j + 1 : n;
        } else if (c == '[' || c == '(') {
            const char close = c == '[' ? ']' : ')';
            int depth = 0;
            int j = i;
            for (; j < n; ++j) {
                if (s[j] == c) {
                    ++depth;
                } else if (s[j] == close && --depth == 0) {
                    break;
                }
            }
            i = j < n ? j + 1 : n;
        } else {
            ++i;
        }
    }
    return -1;
}

bool IsPropsNumber(const String& text) {
    const int n = text.Length();
    const char* s = text.CStr();
    int i = 0;
    while (i < n && IsCSpace(s[i])) ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    int digits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        int j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < n && IsDigit(s[j])) {
            while (j < n && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i == n;
}

String QuotedValue(const String& value) {
    if (value.IsEmpty()) return value;
    const char quote = value[0];
    bool escaped = false;
    for (int i = 1; i < value.Length(); ++i) {
        const char c = value[i];
        if (c == quote && !escaped) return Slice(value, 1, i);
        escaped = c == '\\' && !escaped;
    }
    return value;
}
