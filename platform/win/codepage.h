#pragma once
// Single-byte texts of the engine shown by GTK: valid UTF-8 stays as it is, anything else
// is read as Windows-1252 (the five codes it leaves undefined become U+FFFD).

#include <string>

std::string AnsiToUtf8(const char* text);
