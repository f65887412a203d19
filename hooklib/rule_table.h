// The user's splash rules as the runner shares them with every process: this
// copy of the library's read-only view of the table.
#pragma once

#include "splash_rules.h"

// Opens the view once the table exists. A process may load the library
// before a runner has made the table: it tries again once for each hook
// installed since, cheaply while the view is open.
void OpenRuleTable(uint32_t installedHook);
void CloseRuleTable();

// True when the table holds rules: one read, so that windows pay nothing
// more while there are none.
bool RulesPresent();

// Copies up to max rules of exactly this size into out, in table order; how
// many. 0 when there are none, or the runner rewrote the table meanwhile.
unsigned RulesOfSize(int32_t width, int32_t height, SplashRule *out, unsigned max);
