// The tray menu as the runner builds it, examined in this process (menus of
// other processes cannot be read from outside).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "resource.h"
#include "tray.h"

TEST(TrayMenu, OffersAboutAsTheDefaultThenConfigMovedAndLeftWindowsSignInPauseAndQuit)
{
    HMENU menu = BuildTrayMenu();
    ASSERT_TRUE(menu != NULL);
    const struct {
        UINT type;
        UINT id; // 0 for a submenu
        const char *text;
    } expected[] = {
        {MFT_STRING, IDM_ABOUT, "About..."},     {MFT_SEPARATOR, 0, ""},
        {MFT_STRING, IDM_CONFIG, "Config..."},   {MFT_SEPARATOR, 0, ""},
        {MFT_STRING, 0, "Moved windows"},        {MFT_STRING, 0, "Left on screen"},
        {MFT_STRING, IDM_SIGN_IN, "Start at sign-in"},
        {MFT_STRING, IDM_PAUSE, "Pause"},        {MFT_SEPARATOR, 0, ""},
        {MFT_STRING, IDM_QUIT, "Quit"},
    };
    const int count = sizeof expected / sizeof expected[0];
    ASSERT_EQ(count, GetMenuItemCount(menu));
    for (int i = 0; i < count; ++i) {
        char text[64] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &item)) << i;
        EXPECT_EQ(expected[i].type, item.fType & (MFT_STRING | MFT_SEPARATOR)) << i;
        if (expected[i].type == MFT_STRING) {
            if (expected[i].id != 0)
                EXPECT_EQ(expected[i].id, item.wID) << i;
            else
                EXPECT_TRUE(GetSubMenu(menu, i) != NULL) << i;
            EXPECT_STREQ(expected[i].text, text) << i;
        }
    }
    EXPECT_NE(0u, (UINT)IDM_ABOUT);
    EXPECT_EQ((UINT)IDM_ABOUT, GetMenuDefaultItem(menu, FALSE, 0)) << "About... is drawn bold";
    // Nothing moved or left yet: one greyed entry says so in each.
    for (int position : {4, 5}) {
        HMENU list = GetSubMenu(menu, position);
        ASSERT_EQ(1, GetMenuItemCount(list));
        char text[16] = "";
        GetMenuStringA(list, 0, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ("(none)", text) << position;
        EXPECT_TRUE(GetMenuState(list, 0, MF_BYPOSITION) & MF_GRAYED) << position;
    }
    DestroyMenu(menu);
}
