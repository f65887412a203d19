// Every monitor together, as the system reports it: where the library measures
// the off-screen place from. For the runner, the tests and the benchmark; the
// library itself keeps its own from the monitors it reads.
#pragma once

#include <windows.h>

#include "splash_shape.h"

inline Rect32 VirtualScreenNow()
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    Rect32 all = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                  top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return all;
}
