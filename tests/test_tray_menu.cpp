// The tray menu as the runner builds it, examined in this process (menus of
// other processes cannot be read from outside).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "resource.h"
#include "tray.h"

TEST(TrayMenu, OffersAboutAsTheDefaultThenConfigAndQuitBetweenSeparators)
{
    HMENU menu = BuildTrayMenu();
    ASSERT_TRUE(menu != NULL);
    const struct {
        UINT type;
        UINT id;
        const char *text;
    } expected[] = {
        {MFT_STRING, IDM_ABOUT, "About..."}, {MFT_SEPARATOR, 0, ""},
        {MFT_STRING, IDM_CONFIG, "Config..."}, {MFT_SEPARATOR, 0, ""},
        {MFT_STRING, IDM_QUIT, "Quit"},
    };
    ASSERT_EQ(5, GetMenuItemCount(menu));
    for (int i = 0; i < 5; ++i) {
        char text[64] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &item)) << i;
        EXPECT_EQ(expected[i].type, item.fType & (MFT_STRING | MFT_SEPARATOR)) << i;
        if (expected[i].type == MFT_STRING) {
            EXPECT_EQ(expected[i].id, item.wID) << i;
            EXPECT_STREQ(expected[i].text, text) << i;
        }
    }
    EXPECT_NE(0u, (UINT)IDM_ABOUT);
    EXPECT_EQ((UINT)IDM_ABOUT, GetMenuDefaultItem(menu, FALSE, 0)) << "About... is drawn bold";
    DestroyMenu(menu);
}
