#pragma once
// The props parser: executes the statements of props text into a PropsDocument.
//
// The language never reports malformed text; only an include that cannot be read makes a
// parse fail, and the statements around it still take effect. Includes nest at most
// kMaxPropsIncludeDepth files deep (a chain that comes back to itself fails there), one
// parse reads at most kMaxPropsIncludes files in all (files that include themselves more
// than once would otherwise multiply), and array/object items nest at most
// kMaxPropsNesting levels, counting includes; deeper items are not executed. Includes
// past a limit fail.

#include "core/byte_string.h"
#include "props/props_document.h"

#include <cstdint>
#include <functional>
#include <vector>

constexpr int kMaxPropsIncludeDepth = 16;
constexpr int kMaxPropsIncludes = 64;
constexpr int kMaxPropsNesting = 256;

// Reads a whole file for `include`; false when it cannot be read. ReadFile by default.
using PropsFileReader = std::function<bool(const String& name, std::vector<std::uint8_t>& bytes)>;

// Reads every statement of the text into the document; true when every statement succeeded.
// An empty statement (end of text, or ";;") ends the text.
bool ParseProps(PropsDocument& document, const char* text, int length);
bool ParseProps(PropsDocument& document, const char* text, int length, const PropsFileReader& reader);

// Executes one statement with the current scope (null: the top level); `using` changes it.
bool ExecuteStatement(PropsDocument& document, const String& statement, PropsNode*& scope);

// The node a path names below start (null: the top level), created as needed; null only
// when the depth or node limit stops it.
PropsNode* ResolvePath(PropsDocument& document, PropsNode* start, const String& path);

// The position of the first occurrence of delimiter at or after from that lies outside
// quoted text and bracket pairs, or -1.
int FindTopLevel(const String& text, const char* delimiter, int from = 0);

// True when strtod would read the whole text as a decimal number (no hex, inf or nan).
bool IsPropsNumber(const String& text);

// The text between a value's opening quote and its closing one; backslashes stay.
String QuotedValue(const String& value);
