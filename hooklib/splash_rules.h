// Rules the user made from the tray: "this program's window of this class and
// this size is a splash screen". The runner keeps them in the registry and
// copies them into a table that every copy of the library reads, of either
// bitness; here are the table's layout, the rules' stored text and the match,
// with no window manager.
#pragma once

#include <stdint.h>

#include "splash_shape.h"

#define ZENTROVA_RULES_KEY "Software\\Orbelline\\Zentrova\\Splashes"
// The same name and layout for 32-bit and 64-bit processes.
#define ZENTROVA_RULES_MAPPING_NAME "ZentrovaSplashRules"

enum {
    kMaxSplashRules = 32,
    kRuleClassSize = 257,                            // class names have at most 256 characters
    kRuleTextSize = 24 + kRuleClassSize + kPathSize, // "WxH|class|path" and its NUL
};

struct SplashRule {
    int32_t width, height;
    char className[kRuleClassSize];
    char path[kPathSize]; // the program's executable, compared as the ignore list compares
};

static_assert(sizeof(SplashRule) % 4 == 0, "copied word by word");

// Written by the runner's thread only. Readers take a copy while the
// generation is even and unchanged across it.
struct SplashRuleTable {
    volatile uint32_t generation;
    uint32_t count;
    SplashRule rules[kMaxSplashRules];
};

// The stored text of a rule: "WIDTHxHEIGHT|CLASS|PATH". A path holds no '|',
// so the class is everything between the first '|' and the last. False when
// it does not fit.
bool FormatRuleText(const SplashRule *rule, char *out, unsigned size);

// Reads a stored text of at most limit bytes, which may lack its terminator or
// hold anything at all; false for anything that is not a whole rule.
bool ParseRuleText(const char *text, unsigned limit, SplashRule *rule);

// Whether the rule names the window: its size, then its class, then one of its
// paths (whole, ASCII case aside). Centring is the caller's to judge.
bool RuleNamesWindow(const SplashRule *rule, const WindowFacts *facts);
