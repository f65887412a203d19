// Real splash screens and their non-splash neighbours under the live hook.
// NSIS installers built from corpus.nsi show their plugins' windows; the
// fixture program shows windows with the class, styles and children that
// other toolkits give theirs (sources in the table). Each row says whether
// the window must be moved off-screen; docs/splash-coverage.md explains why.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fixture_client.h"
#include "ignore_list.h"
#include "splash_shape.h"
#include "virtual_screen.h"
#include "zentrova.h"

namespace {

const UINT kKilled = WM_APP + 0x15;
const UINT kAux = WM_USER + 1;
const DWORD kShowTimeoutMs = 20000;

unsigned g_kills; // kill reports that reached the notify window

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kKilled) {
        ++g_kills;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct Entry {
    const char *toolkit, *window;
    const char *program; // an NSIS corpus program, or null for a fixture shape
    // For a program: the class of the window to watch. For a shape: the
    // fixture's "window" arguments: ON CLASS STYLE EXSTYLE W H [CHILD STYLE]...
    const char *shape;
    bool moved;
};

// Styles, in hex: WS_POPUP 80000000, WS_VISIBLE 10000000, WS_CLIPSIBLINGS
// 04000000, WS_CLIPCHILDREN 02000000, WS_CAPTION 00C00000 (WS_BORDER
// 00800000), WS_SYSMENU 00080000, WS_THICKFRAME 00040000, WS_MINIMIZEBOX
// 00020000, WS_MAXIMIZEBOX 00010000. Extended: WS_EX_TOPMOST 8,
// WS_EX_TOOLWINDOW 80, WS_EX_WINDOWEDGE 100, WS_EX_CONTROLPARENT 10000,
// WS_EX_APPWINDOW 40000, WS_EX_LAYERED 80000.
const Entry kCorpus[] = {
    // NSIS 3.08, Debian package nsis: the plugins' own windows, from real installers.
    {"NSIS", "advsplash, fading in and out", "corpus-nsis-advsplash-fade.exe", "_sp", true},
    {"NSIS", "advsplash", "corpus-nsis-advsplash.exe", "_sp", true},
    {"NSIS", "splash", "corpus-nsis-splash.exe", "_sp", true},
    {"NSIS", "Banner", "corpus-nsis-banner.exe", "#32770", true},
    {"NSIS", "BgImage full-screen background", "corpus-nsis-bgimage.exe", "NSISBGImage", false},
    {"NSIS", "installer wizard", "corpus-nsis-wizard.exe", "#32770", false},

    // Qt 5/6, qtbase src/plugins/platforms/windows: qwindowswindow.cpp gives
    // Qt::SplashScreen WS_POPUP and, not being a Window, Dialog or Tool,
    // WS_EX_TOOLWINDOW; Qt::Tool gets a caption, a sizing frame and
    // WS_EX_TOOLWINDOW. qwindowscontext.cpp names the classes ("Qt5" and the
    // version, "QWindow", "Tool"/"SaveBits"/"Icon"). Widgets have no window of
    // their own. QSplashScreen centres itself on the screen's geometry.
    {"Qt", "QSplashScreen", nullptr, "screen Qt5QWindowIcon 86000000 80 400 300", true},
    {"Qt", "tool palette (Qt::Tool)", nullptr,
     "screen Qt5QWindowToolSaveBits 86CC0000 80 200 300", false},

    // Java: OpenJDK src/java.desktop/windows/native/libsplashscreen/
    // splashscreen_sys.c, class "JavaSplash", WS_POPUP, WS_EX_TOOLWINDOW and
    // WS_EX_LAYERED, centred on SM_CXSCREEN x SM_CYSCREEN, painted, no children.
    // AWT frames are "SunAwtFrame" with the overlapped window's caption.
    {"Java", "SplashScreen (-splash:)", nullptr, "screen JavaSplash 80000000 80080 400 300", true},
    {"Java", "AWT/Swing frame", nullptr, "screen SunAwtFrame 06CF0000 0 600 400", false},

    // .NET WinForms, dotnet/winforms Form.cs: FormBorderStyle.None adds no
    // border bits and Form adds no WS_POPUP; ContainerControl adds
    // WS_EX_CONTROLPARENT; CenterScreen centres on the working area. A
    // PictureBox is a plain "WindowsForms10.Window" child, a Label a
    // "WindowsForms10.STATIC" one.
    {"WinForms", "borderless form with picture and labels", nullptr,
     "work WindowsForms10.Window.8.app.0.141b42a_r6_ad1 06000000 10000 400 300 "
     "WindowsForms10.Window.8.app.0.141b42a_r6_ad1 0 WindowsForms10.STATIC.app.0.141b42a_r6_ad1 0 "
     "WindowsForms10.STATIC.app.0.141b42a_r6_ad1 0",
     false},
    {"WinForms", "main form", nullptr,
     "work WindowsForms10.Window.8.app.0.141b42a_r6_ad1 06CF0000 50000 600 400 "
     "WindowsForms10.BUTTON.app.0.141b42a_r6_ad1 0",
     false},

    // WPF, dotnet/wpf WindowsBase System/Windows/SplashScreen.cs: class
    // "SplashScreen", WS_POPUP | WS_VISIBLE, WS_EX_WINDOWEDGE |
    // WS_EX_TOOLWINDOW | WS_EX_LAYERED (| WS_EX_TOPMOST), centred on the
    // screen, no children. Windows are "HwndWrapper[...]" with a caption.
    {"WPF", "SplashScreen", nullptr, "screen SplashScreen 80000000 80188 400 300", true},
    {"WPF", "main window", nullptr,
     "screen HwndWrapper[App.exe;;5a1f0c3e-8d2b-4f7a-9c61-0e3b2d4f5a6b] 06CF0000 100 600 400",
     false},

    // Electron, shell/browser/native_window_views.cc: a frameless window keeps
    // WS_CAPTION (for the animations), loses it only without a thick frame
    // (transparent windows); Chromium's "Chrome_WidgetWin_1" holds one
    // "Chrome_RenderWidgetHostHWND" child. center() centres on the work area.
    {"Electron", "frameless window (frame: false)", nullptr,
     "work Chrome_WidgetWin_1 00C20000 0 400 300 Chrome_RenderWidgetHostHWND 0", false},
    {"Electron", "transparent frameless window", nullptr,
     "work Chrome_WidgetWin_1 00020000 0 400 300 Chrome_RenderWidgetHostHWND 0", false},
    {"Electron", "main window", nullptr,
     "work Chrome_WidgetWin_1 06CF0000 0 800 600 Chrome_RenderWidgetHostHWND 0", false},

    // Delphi VCL (RAD Studio documentation, TForm.BorderStyle, TGraphicControl):
    // a bsNone form is a caption-less popup whose class is the form's class
    // name; TImage and TLabel are graphic controls without windows, a
    // TProgressBar is a "TProgressBar" window. poScreenCenter centres on the
    // screen. TApplication's own window is a captioned WS_EX_TOOLWINDOW popup
    // of size 0 at the middle of the screen.
    {"Delphi VCL", "TSplashForm with TImage and TLabel", nullptr,
     "screen TSplashForm 86000000 0 400 300", true},
    {"Delphi VCL", "splash form with a TProgressBar", nullptr,
     "screen TfrmSplash 86000000 0 400 300 TProgressBar 0", false},
    {"Delphi VCL", "TApplication window", nullptr, "screen TApplication 84CA0000 80 0 0", false},

    // Inno Setup, jrsoftware/issrc: a [Code] splash is CreateCustomForm (a
    // TSetupForm) with BorderStyle bsNone; TBitmapImage is a TGraphicControl
    // (Components/BitmapImage.pas), TNewStaticText a TWinControl
    // (Components/NewStaticText.pas). The wizard is a captioned TWizardForm.
    {"Inno Setup", "[Code] splash form with a TBitmapImage", nullptr,
     "screen TSetupForm 86000000 0 400 300", true},
    {"Inno Setup", "[Code] splash form with a TNewStaticText", nullptr,
     "screen TSetupForm 86000000 0 400 300 TNewStaticText 0", false},
    {"Inno Setup", "wizard", nullptr, "screen TWizardForm 86CA0000 0 500 360 TNewButton 0", false},

    // wxWidgets src/generic/splash.cpp: wxSplashScreen is a wxFrame styled
    // wxSIMPLE_BORDER | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP plus
    // wxFRAME_TOOL_WINDOW, holding one wxSplashScreenWindow child; on Windows
    // (src/msw/toplevel.cpp) a simple border is WS_BORDER on a WS_POPUP.
    {"wxWidgets", "wxSplashScreen", nullptr,
     "screen wxWindowNR 86800000 88 400 300 wxWindowNR 0", false},
    {"wxWidgets", "frame", nullptr, "screen wxWindowNR 06CF0000 0 600 400", false},
};

// The picture the NSIS splash plugins show, where corpus.nsi looks for it: a
// 320 x 200 gradient, so that a screenshot shows where the splash went.
bool WriteSplashBitmap()
{
    char path[MAX_PATH];
    DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n + 32 > sizeof path)
        return false;
    lstrcatA(path, "zentrova-corpus-splash.bmp");
    const int width = 320, height = 200, rowBytes = width * 3;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + rowBytes * height;
    std::vector<unsigned char> pixels(rowBytes * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char *p = &pixels[y * rowBytes + x * 3]; // blue, green, red
            p[0] = (unsigned char)(96 + y * 159 / height);
            p[1] = (unsigned char)(x * 160 / width);
            p[2] = 32;
        }
    FILE *f = fopen(path, "wb");
    if (f == NULL)
        return false;
    bool ok = fwrite(&header, sizeof header, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
              fwrite(pixels.data(), pixels.size(), 1, f) == 1;
    return fclose(f) == 0 && ok;
}

struct Seen {
    HWND hwnd;
    std::string detail; // class, styles, size and children, for the report
    bool atPlacement;
};

std::string ClassOf(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

Seen Describe(HWND hwnd)
{
    Seen s = {hwnd, "", false};
    RECT r = {};
    GetWindowRect(hwnd, &r);
    Rect32 rect = {r.left, r.top, r.right, r.bottom};
    Rect32 all = VirtualScreenNow();
    Placement target = OffscreenPlacement(&rect, &all);
    s.atPlacement = r.left == target.x && r.top == target.y;
    std::string children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        children += (children.empty() ? "" : " ") + ClassOf(c);
    char line[600];
    snprintf(line, sizeof line, "class %s, style %08lx, exstyle %08lx, %ldx%ld at (%ld,%ld), children [%s]",
             ClassOf(hwnd).c_str(), (unsigned long)GetWindowLongA(hwnd, GWL_STYLE),
             (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE), r.right - r.left,
             r.bottom - r.top, r.left, r.top, children.c_str());
    s.detail = line;
    return s;
}

struct Search {
    DWORD pid;
    const char *className;
    HWND found;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM context)
{
    Search *s = (Search *)context;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || ClassOf(hwnd) != s->className)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

bool Shown(void *context)
{
    Search *s = (Search *)context;
    EnumWindows(FindShown, (LPARAM)s);
    return s->found != NULL;
}

// Runs an NSIS program until its window shows; null when none did.
HWND ShowProgram(const Entry &e, HANDLE *process)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + BuiltProgram(e.program) + "\"";
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    *process = pi.hProcess;
    Search s = {pi.dwProcessId, e.shape, NULL};
    PumpUntil(Shown, &s, kShowTimeoutMs);
    return s.found;
}

} // namespace

TEST(SplashCorpus, MovesTheSplashScreensAndLeavesTheirNeighbours)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    ASSERT_TRUE(WriteSplashBitmap());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZentrovaCorpusNotify";
    RegisterClassA(&wc);
    HWND notify = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                  NULL, wc.hInstance, NULL);
    ASSERT_TRUE(notify != NULL);
    ASSERT_TRUE(ZentrovaSetHooks(notify, kKilled, kAux));
    Fixture fixture;
    ASSERT_TRUE(StartFixture(&fixture));
    ASSERT_EQ("ok", FixtureCommand(&fixture, "ping"));

    printf("| toolkit | window | shape under Wine | moved |\n|---|---|---|---|\n");
    for (const Entry &e : kCorpus) {
        g_kills = 0;
        HANDLE process = NULL;
        HWND hwnd;
        if (e.program != nullptr) {
            hwnd = ShowProgram(e, &process);
        } else {
            FixtureRect r = FixtureWindow(&fixture, std::string("window ") + e.shape);
            hwnd = r.ok ? r.hwnd : NULL;
        }
        // A kill report is sent before the move returns; give a slow one time.
        PumpMessagesFor(300);
        if (hwnd == NULL) {
            ADD_FAILURE() << e.toolkit << ", " << e.window << ": no window was shown";
        } else {
            Seen s = Describe(hwnd);
            bool moved = s.atPlacement && g_kills > 0;
            printf("| %s | %s | %s | %s |\n", e.toolkit, e.window, s.detail.c_str(),
                   moved ? "yes" : "no");
            EXPECT_EQ(e.moved, moved) << e.toolkit << ", " << e.window << ": " << s.detail
                                      << ", " << g_kills << " kill reports";
            EXPECT_EQ(moved ? 1u : 0u, g_kills) << e.toolkit << ", " << e.window;
        }
        if (process != NULL) {
            if (WaitForExit(process, kShowTimeoutMs) == -1)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }
    fflush(stdout);
    EXPECT_EQ(0, StopFixture(&fixture));
    ZentrovaRemoveHooks();
    DestroyWindow(notify);
}
