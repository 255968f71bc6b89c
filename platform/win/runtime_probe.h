#pragma once
// The two probes behind the graphics-runtime check. Our Direct3D layer runs on the system's
// OpenGL library: where that library can be loaded, the diagnostic provider reports the
// Direct3D version the layer implements (9.0c) and the file probe gives "\d3d9.dll" a file
// version; no other system file of the check exists here.

#include "platform/win/win_types.h"

#include <string>

// The provider's three properties; false when it cannot be asked.
bool QueryDiagnosticProvider(DWORD& major, DWORD& minor, std::string& letter);
// The fixed file version (high and low DWORD) of a file of the system directory, named
// "\name.dll"; false when it has no version information.
bool QuerySystemFileVersion(const char* name, DWORD& high, DWORD& low);
