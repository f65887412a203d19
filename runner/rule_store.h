// The user's splash rules: kept in the registry under ZENTROVA_RULES_KEY, and
// copied into the table that every process's library reads, within a second
// of any change to the key, whoever made it.
#pragma once

#include <windows.h>

#include "splash_rules.h"

// Makes the shared table and fills it; then watches the key from a timer on
// the window. Before the hook is installed, so that no process looks for the
// table in vain.
void RuleStoreStart(HWND window);
void RuleStoreStop();

enum RuleAddResult { kRuleAdded, kRuleStoreFull, kRuleNotStored };
// Stores a rule (one already stored counts as added).
RuleAddResult RuleStoreAdd(const SplashRule *rule);

// Forgets a stored rule of the same program, class and size; false when none.
bool RuleStoreRemove(const SplashRule *rule);

// Whether a stored rule names this program, class and size.
bool RuleStoreHolds(const SplashRule *rule);
