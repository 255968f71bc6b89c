#pragma once
// The handle types of the window, painting and synchronisation calls.

#include "platform/win/win_types.h"

using HANDLE = void*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
struct HDC__;
using HDC = HDC__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
