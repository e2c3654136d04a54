// The poll interval typed into the test panel, read as atoi reads it.
#pragma once

#include <cstdint>

// Leading white space skipped, an optional sign, then decimal digits up to the
// first other character; text without leading digits gives 0. Values beyond
// 32 bits are held at the nearest limit instead of wrapping.
int32_t TimerFromText(const char* pszText);
