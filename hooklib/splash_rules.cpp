#include "splash_rules.h"

#include "ascii.h"

bool RuleNamesWindow(const SplashRule *rule, const WindowFacts *facts)
{
    const Rect32 &w = facts->windowRect;
    if ((int64_t)w.right - w.left != rule->width || (int64_t)w.bottom - w.top != rule->height)
        return false;
    if (!AsciiEqualNoCase(facts->className, rule->className))
        return false;
    return (facts->modulePath[0] != 0 && AsciiEqualNoCase(facts->modulePath, rule->path)) ||
           (facts->exePath[0] != 0 && AsciiEqualNoCase(facts->exePath, rule->path));
}
