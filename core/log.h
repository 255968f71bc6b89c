#pragma once
// The engine's one log operation. It writes nothing unless a log file has been opened
// (frostvale --log FILE); messages carry their own line ends.

#include "core/byte_string.h"

void Log(String prefix, String message);

// Routes later messages to the file at path (created or truncated). False when it
// cannot be opened; the log then stays silent.
bool OpenLogFile(const char* path);
void CloseLogFile();
