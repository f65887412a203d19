#include "splash_shape.h"

#include "ascii.h"
#include "monitor_layout.h"

// Window rectangles can lie anywhere in the 32-bit range, so sums and
// differences of their edges are taken in 64 bits.
static int32_t ClampToInt32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return (int32_t)value;
}

// Midpoint of two edges; integer division truncates toward zero.
static int64_t Middle(int32_t a, int32_t b)
{
    return ((int64_t)a + (int64_t)b) / 2;
}

static bool Within(int64_t value, int64_t centre)
{
    return value >= centre - kCentringTolerance && value <= centre + kCentringTolerance;
}

// Sets the centring flags the reference rectangle earns; a flag already set stays set.
static void TestCentring(const Rect32 &w, const Rect32 &r, bool *centredH, bool *centredV)
{
    if (Within(Middle(w.left, w.right), Middle(r.left, r.right)))
        *centredH = true;
    if (Within(Middle(w.top, w.bottom), Middle(r.top, r.bottom)))
        *centredV = true;
}

static bool SameRect(const Rect32 &a, const Rect32 &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A work area is only ever a part of its screen: one reported larger (Wine
// keeps a process's first one, whatever the screen became) is cut to it, and
// one that does not meet the screen is none.
bool ClipToScreen(Rect32 *area, const Rect32 *screen)
{
    if (area->left < screen->left)
        area->left = screen->left;
    if (area->top < screen->top)
        area->top = screen->top;
    if (area->right > screen->right)
        area->right = screen->right;
    if (area->bottom > screen->bottom)
        area->bottom = screen->bottom;
    return area->left < area->right && area->top < area->bottom;
}

// What centring earns: both ways beats horizontally alone, which beats the rest.
static int CentringRank(bool centredH, bool centredV)
{
    return centredH ? (centredV ? 2 : 1) : 0;
}

// Measures the window against the monitor that holds it, when that is not the
// primary screen, by the same rules: its whole rectangle, then its work area.
// The monitor's flags replace the primary's only where they earn more; a
// window that exactly covers its monitor is full-screen there.
static void TestOwnMonitor(WindowFacts *facts, const FactSource *source)
{
    MonitorLayout layout;
    if (!source->readMonitors(source->context, &layout) || layout.count < 2)
        return;
    const MonitorRects &m = layout.monitors[NearestMonitor(&layout, &facts->windowRect)];
    if (SameRect(m.monitor, facts->screenRect))
        return;
    bool centredH = false, centredV = false;
    Rect32 reference = m.monitor, work = m.work;
    TestCentring(facts->windowRect, reference, &centredH, &centredV);
    if (!(centredH && centredV) && ClipToScreen(&work, &m.monitor)) {
        reference = work;
        TestCentring(facts->windowRect, reference, &centredH, &centredV);
    }
    if (SameRect(facts->windowRect, reference))
        facts->fullScreen = true;
    if (CentringRank(centredH, centredV) > CentringRank(facts->centredH, facts->centredV)) {
        facts->centredH = centredH;
        facts->centredV = centredV;
        facts->referenceRect = reference;
    }
}

// The primary screen, then its work area, each axis on its own; full-screen
// when the window covers the last of them exactly.
static void TestPrimary(WindowFacts *facts, const FactSource *source)
{
    TestCentring(facts->windowRect, facts->referenceRect, &facts->centredH, &facts->centredV);
    Rect32 workArea;
    if (!(facts->centredH && facts->centredV) &&
        source->readWorkArea(source->context, &workArea) &&
        ClipToScreen(&workArea, &facts->screenRect)) {
        facts->referenceRect = workArea;
        TestCentring(facts->windowRect, workArea, &facts->centredH, &facts->centredV);
    }
    facts->fullScreen = SameRect(facts->windowRect, facts->referenceRect);
}

bool CentredOnAScreen(WindowFacts *facts, const FactSource *source)
{
    facts->centredH = facts->centredV = false;
    facts->referenceRect = facts->screenRect;
    TestPrimary(facts, source);
    if (!(facts->centredH && facts->centredV))
        TestOwnMonitor(facts, source);
    return facts->centredH && facts->centredV && !facts->fullScreen;
}

void InitWindowFacts(WindowFacts *facts, uint32_t style, const Rect32 *windowRect,
                     const Rect32 *screenRect)
{
    facts->style = style;
    facts->exStyle = 0;
    facts->windowRect = *windowRect;
    facts->screenRect = *screenRect;
    facts->referenceRect = *screenRect;
    facts->centredH = facts->centredV = false;
    facts->fullScreen = false;
    facts->className[0] = 0;
    facts->isDialogClass = facts->isKnownSplashClass = false;
    facts->childCount = facts->staticCount = facts->disabledButtonCount = 0;
    facts->splashImageCount = facts->mayaFrameCount = 0;
    facts->modulePath[0] = 0;
    facts->exePath[0] = 0;
}

// Menus, drop-down lists and tooltips: the system's own transient popups,
// which take a splash screen's shape whenever they open in the middle.
bool IsSystemPopupClass(const char *className)
{
    return AsciiEqualNoCase(className, "#32768") || AsciiEqualNoCase(className, "ComboLBox") ||
           AsciiEqualNoCase(className, "tooltips_class32");
}

// A minimize box on a window that nothing owns: the taskbar shows it, and the
// user can put it away there and bring it back, as a borderless game or
// program made with SDL, GLFW or JavaFX asks for. A splash screen has no use
// for that. Form toolkits whose default border icons carry a minimize box
// (Lazarus) give their forms an owner, the application's window or the main
// form, so their splash screens keep their place. The owner is asked for only
// when the style has the box.
static bool IsApplicationWindow(const WindowFacts *facts, const FactSource *source)
{
    return (facts->style & kStyleMinimizeBox) != 0 && !source->readOwned(source->context);
}

// A top-level tool window with no sizing border and no child at all, centred
// both ways: the splash of installers that paint a bitmap into a window they
// never made a popup (NSIS's advsplash and splash). Kept apart from the popup
// rule and as narrow as that shape: no class, known or not, and no child
// widens it. The extended style is read only here, after every cheaper test.
static bool IsBareToolWindow(WindowFacts *facts, const FactSource *source)
{
    if ((facts->style & (kStyleChild | kStyleThickFrame)) != 0 ||
        IsApplicationWindow(facts, source))
        return false;
    facts->exStyle = source->readExStyle(source->context);
    if ((facts->exStyle & kExStyleToolWindow) == 0)
        return false;
    source->walkChildren(source->context, facts);
    return facts->childCount == 0;
}

// Children come last: they cost a walk and a text read each. Tests whose outcome
// is already settled are decided before the facts they would not change are read.
bool HasSplashShape(WindowFacts *facts, const FactSource *source)
{
    TestPrimary(facts, source);

    if ((facts->style & kStyleCaption) != 0 || facts->fullScreen)
        return false;
    // Toolkits centre splash screens on the monitor under the pointer; only a
    // caption-less window that missed the primary screen pays for the look.
    if (!(facts->centredH && facts->centredV)) {
        TestOwnMonitor(facts, source);
        if (facts->fullScreen)
            return false;
    }
    // Centred vertically alone is never a splash screen.
    if (!facts->centredH)
        return false;
    // Centred both ways, only a popup qualifies, or a bare tool window.
    if (facts->centredV && (facts->style & kStylePopup) == 0)
        return IsBareToolWindow(facts, source);

    source->readClassName(source->context, facts);
    if (IsSystemPopupClass(facts->className))
        return false;
    facts->isDialogClass = AsciiStartsWithNoCase(facts->className, "#32770");
    if (!facts->isDialogClass)
        facts->isKnownSplashClass = AsciiStartsWithNoCase(facts->className, "TSplash") ||
                                    AsciiStartsWithNoCase(facts->className, "TdlgSplash");
    if (facts->isKnownSplashClass)
        return true;
    if (IsApplicationWindow(facts, source))
        return false;

    source->walkChildren(source->context, facts);
    if (!facts->centredV)
        return facts->childCount == 1 && facts->mayaFrameCount == 1;

    unsigned children = facts->childCount;
    return children == 0 || children == facts->staticCount ||
           children == facts->staticCount + facts->disabledButtonCount ||
           (facts->isDialogClass && children == 2 && facts->staticCount == 1 &&
            facts->splashImageCount == 1);
}

void NoteChildClass(WindowFacts *facts, const char *className, uint32_t style)
{
    if (AsciiStartsWithNoCase(className, "static"))
        facts->staticCount++;
    else if (AsciiStartsWithNoCase(className, "CJSplashImage"))
        facts->splashImageCount++;
    if (AsciiStartsWithNoCase(className, "button") && (style & kStyleDisabled) != 0)
        facts->disabledButtonCount++;
    facts->childCount++;
}

void NoteChildText(WindowFacts *facts, const char *text)
{
    if (AsciiStartsWithNoCase(text, "MayaStartupWndFrame"))
        facts->mayaFrameCount++;
}

bool IsExePath(const char *path, unsigned limit)
{
    unsigned length = TextLengthWithin(path, limit);
    if (length < 4 || length == limit)
        return false;
    return AsciiEqualNoCase(path + length - 4, ".exe");
}

Placement OffscreenPlacement(const Rect32 *windowRect, const Rect32 *virtualScreen)
{
    int64_t width = (int64_t)windowRect->right - windowRect->left;
    int64_t height = (int64_t)windowRect->bottom - windowRect->top;
    Placement p;
    p.x = ClampToInt32(virtualScreen->left - 2 * (width + kOffscreenMargin));
    p.y = ClampToInt32(virtualScreen->top - 2 * (height + kOffscreenMargin));
    p.width = ClampToInt32(width);
    p.height = ClampToInt32(height);
    return p;
}

bool MayBeLeftOnScreen(WindowFacts *facts, const FactSource *source)
{
    if ((facts->style & kStyleChild) != 0 || !CentredOnAScreen(facts, source))
        return false;
    if (facts->className[0] == 0)
        source->readClassName(source->context, facts);
    // Dialogs and message boxes with a title bar are what they seem.
    bool captionedDialog = (facts->style & kStyleCaption) != 0 &&
                           AsciiStartsWithNoCase(facts->className, "#32770");
    return !IsSystemPopupClass(facts->className) && !captionedDialog;
}
