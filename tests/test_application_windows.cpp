// Borderless application windows that have a splash screen's place and shape,
// told apart by the minimize box that their toolkits give them.
#include <gtest/gtest.h>

#include "fake_window.h"

namespace {

const uint32_t kSysMenu = 0x00080000, kMinimizeBox = kStyleMinimizeBox, kMaximizeBox = 0x00010000;
const uint32_t kClips = 0x06000000; // WS_CLIPSIBLINGS | WS_CLIPCHILDREN

} // namespace

TEST(ApplicationWindows, AMinimizeBoxOnAWindowNothingOwnsIsNoSplash)
{
    const Rect32 centred = CentredAt(512, 384, 640, 480);
    const struct {
        const char *what;
        uint32_t style;
        bool owned;
        const char *className;
        bool splash;
    } cases[] = {
        {"SDL2 borderless", kPopup | kClips | kMinimizeBox, false, "SDL_app", false},
        {"GLFW undecorated", kPopup | kClips | kSysMenu | kMinimizeBox, false, "GLFW30", false},
        {"JavaFX undecorated, resizable", kPopup | kClips | kSysMenu | kMinimizeBox | kMaximizeBox,
         false, "GlassWndClass-GlassWindowClass-2", false},
        {"Lazarus bsNone, owned by the application",
         kPopup | kClips | kSysMenu | kMinimizeBox | kMaximizeBox, true, "Window", true},
        {"owned, the box alone", kPopup | kMinimizeBox, true, "S", true},
        {"a system menu is no mark", kPopup | kSysMenu, false, "S", true},
        {"a maximize box is no mark", kPopup | kMaximizeBox, false, "S", true},
        {"a known splash class keeps its place", kPopup | kMinimizeBox, false, "TSplashForm", true},
    };
    for (const auto &c : cases) {
        FakeWindow w;
        w.className = c.className;
        w.owned = c.owned;
        EXPECT_EQ(c.splash, Classify(&w, c.style, centred)) << c.what;
    }

    // The bare tool window, centred on the work area as NSIS puts it, likewise.
    FakeWindow tool;
    tool.exStyle = kExStyleToolWindow;
    EXPECT_FALSE(Classify(&tool, kMinimizeBox, CentredAt(512, 369, 320, 200)));
    tool.owned = true;
    EXPECT_TRUE(Classify(&tool, kMinimizeBox, CentredAt(512, 369, 320, 200)));
}

TEST(ApplicationWindows, TheOwnerIsAskedForOnlyWhenTheStyleHasTheBox)
{
    const Rect32 centred = CentredAt(512, 384, 400, 300);
    FakeWindow plain, captioned, offCentre, boxed;
    Classify(&plain, kPopup, centred);
    Classify(&captioned, kPopup | kBorder | kMinimizeBox, centred);
    Classify(&offCentre, kPopup | kMinimizeBox, CentredAt(100, 100, 50, 50));
    EXPECT_EQ(0, plain.ownerReads + captioned.ownerReads + offCentre.ownerReads);
    Classify(&boxed, kPopup | kMinimizeBox, centred);
    EXPECT_EQ(1, boxed.ownerReads);
    EXPECT_EQ(0, boxed.childWalks) << "an application window's children are never walked";
}
