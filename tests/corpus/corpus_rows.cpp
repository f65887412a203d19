// The rows of the splash corpus, each cited from its toolkit's own sources
// (docs/splash-coverage.md says why each is moved or left).
#include "corpus_rows.h"

#include <sstream>

// Styles, in hex: WS_POPUP 80000000, WS_VISIBLE 10000000, WS_CLIPSIBLINGS
// 04000000, WS_CLIPCHILDREN 02000000, WS_CAPTION 00C00000 (WS_BORDER
// 00800000), WS_SYSMENU 00080000, WS_THICKFRAME 00040000, WS_MINIMIZEBOX
// 00020000, WS_MAXIMIZEBOX 00010000. Extended: WS_EX_TOPMOST 8,
// WS_EX_TOOLWINDOW 80, WS_EX_WINDOWEDGE 100, WS_EX_CONTROLPARENT 10000,
// WS_EX_APPWINDOW 40000, WS_EX_LAYERED 80000.
const CorpusRow kCorpus[] = {
    // NSIS 3.08, Debian package nsis: the plugins' own windows, from real installers.
    {"NSIS", "advsplash, fading in and out", "corpus-nsis-advsplash-fade.exe", "_sp", true, false},
    {"NSIS", "advsplash", "corpus-nsis-advsplash.exe", "_sp", true, false},
    {"NSIS", "splash", "corpus-nsis-splash.exe", "_sp", true, false},
    {"NSIS", "Banner", "corpus-nsis-banner.exe", "#32770", true, false},
    {"NSIS", "BgImage full-screen background", "corpus-nsis-bgimage.exe", "NSISBGImage", false,
     false},
    {"NSIS", "installer wizard", "corpus-nsis-wizard.exe", "#32770", false, false},

    // Qt 5/6, qtbase src/plugins/platforms/windows: qwindowswindow.cpp gives
    // Qt::SplashScreen WS_POPUP and, not being a Window, Dialog or Tool,
    // WS_EX_TOOLWINDOW; Qt::Tool gets a caption, a sizing frame and
    // WS_EX_TOOLWINDOW. qwindowscontext.cpp names the classes ("Qt5" and the
    // version, "QWindow", "Tool"/"SaveBits"/"Icon"). Widgets have no window of
    // their own. QSplashScreen centres itself on the screen's geometry.
    {"Qt", "QSplashScreen", nullptr, "window screen Qt5QWindowIcon 86000000 80 400 300", true,
     false},
    {"Qt", "tool palette (Qt::Tool)", nullptr,
     "window screen Qt5QWindowToolSaveBits 86CC0000 80 200 300", false, false},

    // Java: OpenJDK src/java.desktop/windows/native/libsplashscreen/
    // splashscreen_sys.c, class "JavaSplash", WS_POPUP, WS_EX_TOOLWINDOW and
    // WS_EX_LAYERED, centred on SM_CXSCREEN x SM_CYSCREEN, painted, no children.
    // AWT frames are "SunAwtFrame" with the overlapped window's caption.
    {"Java", "SplashScreen (-splash:)", nullptr, "window screen JavaSplash 80000000 80080 400 300",
     true, false},
    {"Java", "AWT/Swing frame", nullptr, "window screen SunAwtFrame 06CF0000 0 600 400", false,
     false},

    // .NET WinForms, dotnet/winforms Form.cs: FormBorderStyle.None adds no
    // border bits and Form adds no WS_POPUP; ContainerControl adds
    // WS_EX_CONTROLPARENT; CenterScreen centres on the working area. A
    // PictureBox is a plain "WindowsForms10.Window" child, a Label a
    // "WindowsForms10.STATIC" one.
    {"WinForms", "borderless form with picture and labels", nullptr,
     "window work WindowsForms10.Window.8.app.0.141b42a_r6_ad1 06000000 10000 400 300 "
     "WindowsForms10.Window.8.app.0.141b42a_r6_ad1 0 WindowsForms10.STATIC.app.0.141b42a_r6_ad1 0 "
     "WindowsForms10.STATIC.app.0.141b42a_r6_ad1 0",
     false, false},
    {"WinForms", "main form", nullptr,
     "window work WindowsForms10.Window.8.app.0.141b42a_r6_ad1 06CF0000 50000 600 400 "
     "WindowsForms10.BUTTON.app.0.141b42a_r6_ad1 0",
     false, false},

    // WPF, dotnet/wpf WindowsBase System/Windows/SplashScreen.cs: class
    // "SplashScreen", WS_POPUP | WS_VISIBLE, WS_EX_WINDOWEDGE |
    // WS_EX_TOOLWINDOW | WS_EX_LAYERED (| WS_EX_TOPMOST), centred on the
    // screen, no children. Windows are "HwndWrapper[...]" with a caption.
    {"WPF", "SplashScreen", nullptr, "window screen SplashScreen 80000000 80188 400 300", true,
     false},
    {"WPF", "main window", nullptr,
     "window screen HwndWrapper[App.exe;;5a1f0c3e-8d2b-4f7a-9c61-0e3b2d4f5a6b] 06CF0000 100 600 "
     "400",
     false, false},

    // Electron, shell/browser/native_window_views.cc: a frameless window keeps
    // WS_CAPTION (for the animations), loses it only without a thick frame
    // (transparent windows); Chromium's "Chrome_WidgetWin_1" holds one
    // "Chrome_RenderWidgetHostHWND" child. center() centres on the work area.
    {"Electron", "frameless window (frame: false)", nullptr,
     "window work Chrome_WidgetWin_1 00C20000 0 400 300 Chrome_RenderWidgetHostHWND 0", false,
     false},
    {"Electron", "transparent frameless window", nullptr,
     "window work Chrome_WidgetWin_1 00020000 0 400 300 Chrome_RenderWidgetHostHWND 0", false,
     false},
    {"Electron", "main window", nullptr,
     "window work Chrome_WidgetWin_1 06CF0000 0 800 600 Chrome_RenderWidgetHostHWND 0", false,
     false},

    // Delphi VCL (RAD Studio documentation, TForm.BorderStyle, TGraphicControl):
    // a bsNone form is a caption-less popup whose class is the form's class
    // name; TImage and TLabel are graphic controls without windows, a
    // TProgressBar is a "TProgressBar" window. poScreenCenter centres on the
    // screen. TApplication's own window is a captioned WS_EX_TOOLWINDOW popup
    // of size 0 at the middle of the screen.
    {"Delphi VCL", "TSplashForm with TImage and TLabel", nullptr,
     "window screen TSplashForm 86000000 0 400 300", true, false},
    {"Delphi VCL", "splash form with a TProgressBar", nullptr,
     "window screen TfrmSplash 86000000 0 400 300 TProgressBar 0", false, false},
    {"Delphi VCL", "TApplication window", nullptr, "window screen TApplication 84CA0000 80 0 0",
     false, false},

    // Inno Setup, jrsoftware/issrc: a [Code] splash is CreateCustomForm (a
    // TSetupForm) with BorderStyle bsNone; TBitmapImage is a TGraphicControl
    // (Components/BitmapImage.pas), TNewStaticText a TWinControl
    // (Components/NewStaticText.pas). The wizard is a captioned TWizardForm.
    {"Inno Setup", "[Code] splash form with a TBitmapImage", nullptr,
     "window screen TSetupForm 86000000 0 400 300", true, false},
    {"Inno Setup", "[Code] splash form with a TNewStaticText", nullptr,
     "window screen TSetupForm 86000000 0 400 300 TNewStaticText 0", false, false},
    {"Inno Setup", "wizard", nullptr, "window screen TWizardForm 86CA0000 0 500 360 TNewButton 0",
     false, false},

    // wxWidgets src/generic/splash.cpp: wxSplashScreen is a wxFrame styled
    // wxSIMPLE_BORDER | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP plus
    // wxFRAME_TOOL_WINDOW, holding one wxSplashScreenWindow child; on Windows
    // (src/msw/toplevel.cpp) a simple border is WS_BORDER on a WS_POPUP.
    {"wxWidgets", "wxSplashScreen", nullptr,
     "window screen wxWindowNR 86800000 88 400 300 wxWindowNR 0", false, false},
    {"wxWidgets", "frame", nullptr, "window screen wxWindowNR 06CF0000 0 600 400", false, false},

    // LibreOffice, vcl/win/window/salframe.cxx: the IntroWindow
    // (vcl/source/window/introwin.cxx, WB_INTROWIN) is neither moveable nor
    // sizeable, so ImplSalCreateFrame makes it a WS_POPUP with
    // WS_EX_TOOLWINDOW of class SALTMPSUBFRAME; SetPosSize centres a frame
    // never placed on the work area of the monitor under the cursor. Document
    // windows are SALFRAME, captioned, sizeable, WS_EX_APPWINDOW.
    {"LibreOffice", "IntroWindow (splash)", nullptr,
     "window work SALTMPSUBFRAME 80000000 80 400 300", true, true},
    {"LibreOffice", "document window", nullptr, "window work SALFRAME 00CF0000 40000 800 600",
     false, false},

    // Eclipse launcher, features/org.eclipse.equinox.executable.feature/library/
    // win32: eclipseWinCommon.c creates the top-level window of class STATIC,
    // SS_BITMAP | WS_POPUP | WS_CLIPCHILDREN at CW_USEDEFAULT (0 x 0 for a
    // popup), ex-style 0, or WS_EX_TOOLWINDOW when the program has no icon;
    // eclipseWin.c showSplash moves it, still 0 x 0, to where the bitmap's top
    // left corner must go for the bitmap to be centred on SM_CXSCREEN x
    // SM_CYSCREEN, sends STM_SETIMAGE, which sizes it, then ShowWindow.
    // Workbench windows are SWT shells, "SWT_Window0" (eclipse.platform.swt,
    // Eclipse SWT/win32/org/eclipse/swt/widgets/Display.java), captioned.
    {"Eclipse", "launcher splash", nullptr, "picture screen 8200000E 0 400 300", true, false},
    {"Eclipse", "launcher splash, program without an icon", nullptr,
     "picture screen 8200000E 80 400 300", true, false},
    {"Eclipse", "workbench window", nullptr, "window screen SWT_Window0 06CF0000 0 800 600", false,
     false},

    // GTK 3, gdk/win32/gdkwindow-win32.c: toplevels are "gdkWindowToplevel",
    // made WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, and
    // _gdk_win32_window_update_style_bits takes away what the decorations do
    // not ask for. GIMP's splash (app/gui/splash.c: type hint splash screen,
    // not resizable, GTK_WIN_POS_CENTER) keeps its border and title: the
    // caption without the system menu, sizing border or boxes. A window drawn
    // with client-side decorations asks for none and is layered: every one of
    // them, splash or dialog, has the same shape. GTK centres on the work area
    // of the pointer's monitor.
    {"GIMP (GTK)", "splash", nullptr, "window work gdkWindowToplevel 06C00000 0 400 300", false,
     true},
    {"GIMP (GTK)", "image window", nullptr, "window work gdkWindowToplevel 06CF0000 0 800 600",
     false, false},
    {"GTK 3, client-side decorations", "splash", nullptr,
     "window work gdkWindowToplevel 06000000 80000 400 300", false, true},
    {"GTK 3, client-side decorations", "dialog", nullptr,
     "window work gdkWindowToplevel 06000000 80000 500 360", false, false},

    // Tk, win/tkWinWm.c: an override-redirect toplevel's wrapper is
    // "TkTopLevel", WM_OVERRIDE_STYLE (WS_CLIPCHILDREN | WS_CLIPSIBLINGS and
    // CS_DBLCLKS, 8, in the window style) plus WS_POPUP, EX_OVERRIDE_STYLE
    // WS_EX_TOOLWINDOW, with "-topmost" WS_EX_TOPMOST; it holds one "TkChild"
    // (win/tkWinInt.h), which holds the widgets' TkChild windows. PyInstaller's
    // splash (PyInstaller/building/splash_templates.py) is such a window,
    // topmost by default, centred on the screen. Other toplevels are
    // WM_TOPLEVEL_STYLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN.
    {"Tk / PyInstaller", "--splash window", nullptr,
     "window screen TkTopLevel 86000008 88 400 300 TkChild 0", false, false},
    {"Tk", "frameless (override-redirect) window", nullptr,
     "window screen TkTopLevel 86000008 80 400 300 TkChild 0", false, false},
    {"Tk", "toplevel", nullptr, "window screen TkTopLevel 02CF0008 0 600 400 TkChild 0", false,
     false},

    // Squirrel.Windows. Setup.exe's splash is src/Setup/SplashWnd.cpp of pull
    // request 1827 (never merged; master's Setup.exe shows no window but its
    // message boxes, src/Setup/winmain.cpp): "SplashWnd", WS_CLIPCHILDREN |
    // WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, centred on the whole of the
    // monitor nearest the cursor. Update.exe's src/Update/AnimatedGifWindow.cs
    // is a WPF Window with WindowStyle None, AllowsTransparency, Topmost,
    // ShowInTaskbar and ResizeMode left at CanResize; WPF
    // (PresentationFramework/System/Windows/Window.cs) makes that
    // WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
    // WS_MAXIMIZEBOX, no WS_POPUP, WS_EX_APPWINDOW, WS_EX_LAYERED, and centres
    // it on the work area of the mouse's monitor, as it does every custom-chrome
    // window.
    {"Squirrel.Windows", "Setup.exe splash (pull request 1827)", nullptr,
     "window screen SplashWnd 82000000 88 400 300", true, true},
    {"Squirrel.Windows", "Setup.exe message box", nullptr,
     "window screen #32770 84C80000 10101 300 150 Static 0 Static 0 Button 0", false, false},
    {"Squirrel.Windows", "Update.exe install animation (WPF)", nullptr,
     "window work HwndWrapper[Update.exe;;0b9c2d4e-6f1a-4c3b-8e5d-7a9f1b2c3d4e] 020F0000 C0008 400 "
     "300",
     false, true},
    {"WPF", "custom-chrome window", nullptr,
     "window work HwndWrapper[App.exe;;5a1f0c3e-8d2b-4f7a-9c61-0e3b2d4f5a6b] 020F0000 C0000 800 "
     "600",
     false, true},

    // WiX Burn, src/burn/engine/splashscreen.cpp: "WixBurnSplashScreen",
    // created WS_POPUP | WS_VISIBLE with WS_EX_TOOLWINDOW, no ShowWindow call,
    // centred on the work area of the cursor's monitor. The standard
    // bootstrapper's window (src/ext/Bal/stdbas/
    // WixStandardBootstrapperApplication.cpp, "WixStdBA"; its theme's default
    // style in src/libs/dutil/WixToolset.DUtil/thmutil.cpp) is created visible
    // with WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION, a WS_POPUP when the theme
    // has a picture, on the same monitor.
    {"WiX Burn", "bootstrapper splash", nullptr,
     "window work WixBurnSplashScreen 90000000 80 400 300", true, true},
    {"WiX Burn", "standard bootstrapper window", nullptr,
     "window work WixStdBA 90CA0000 0 500 360 Button 0 Static 0", false, true},

    // SDL, src/video/windows/SDL_windowswindow.c: every window is "SDL_app"
    // (SDL_windowsevents.c) with WS_CLIPSIBLINGS | WS_CLIPCHILDREN, no
    // extended style; SDL2 makes a borderless one WS_POPUP | WS_MINIMIZEBOX,
    // SDL3 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX by default, an
    // ordinary one WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX.
    // SDL_WINDOWPOS_CENTERED centres on the display (src/video/SDL_video.c).
    {"SDL2", "borderless game window", nullptr, "window screen SDL_app 86020000 0 640 480", false,
     false},
    {"SDL2", "window", nullptr, "window screen SDL_app 06CA0000 0 640 480", false, false},
    {"SDL3", "borderless game window", nullptr, "window screen SDL_app 86CA0000 0 640 480", false,
     false},

    // GLFW, src/win32_window.c: "GLFW30", WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
    // WS_SYSMENU | WS_MINIMIZEBOX, plus WS_POPUP when undecorated or
    // WS_CAPTION when decorated, always WS_EX_APPWINDOW; the application
    // places it, here in the middle of the screen.
    {"GLFW", "undecorated window", nullptr, "window screen GLFW30 860A0000 40000 640 480", false,
     false},
    {"GLFW", "window", nullptr, "window screen GLFW30 06CA0000 40000 640 480", false, false},

    // JavaFX, modules/javafx.graphics/src/main/native-glass/win: GlassWindow.cpp
    // makes an undecorated Stage WS_CLIPCHILDREN | WS_SYSMENU | WS_POPUP, with
    // WS_MINIMIZEBOX unless modal, and SetResizable adds WS_MAXIMIZEBOX (a
    // Stage is resizable unless told otherwise); a decorated one has
    // WS_CAPTION and WS_EX_WINDOWEDGE. BaseWnd.cpp names the classes
    // "GlassWndClass-GlassWindowClass-" and a count. Window.centerOnScreen
    // (javafx/stage/Window.java) puts the window half way across the work
    // area and a third of the way down.
    {"JavaFX", "undecorated Stage (splash)", nullptr,
     "window 0,0,1024,592 GlassWndClass-GlassWindowClass-2 820B0000 0 400 300", false, false},
    {"JavaFX", "Stage", nullptr,
     "window work GlassWndClass-GlassWindowClass-3 02CF0000 100 800 600", false, false},

    // MFC, the Splash Screen component's Splash.cpp ("CG: This file was added
    // by the Splash Screen component"), as applications carry it:
    // CSplashWnd::Create calls CreateEx(0, AfxRegisterWndClass(0, cursor),
    // NULL, WS_POPUP | WS_VISIBLE, 0, 0, w, h, main frame), OnCreate calls
    // CenterWindow, on the work area while the frame is hidden; variants
    // create an msctls_progress32 child after CreateEx. The frame is captioned.
    {"MFC", "CSplashWnd", nullptr,
     "window owned work Afx:00400000:0:00010003:00000000:00000000 90000000 0 400 300", true, false},
    {"MFC", "CSplashWnd with a progress bar", nullptr,
     "window owned work Afx:00400000:0:00010003:00000000:00000000 90000000 0 400 300 "
     "msctls_progress32 1",
     true, false},
    {"MFC", "main frame", nullptr, "window work AfxFrameOrView140su 04CF8000 0 800 600", false,
     false},

    // Lazarus LCL, lcl/interfaces/win32/win32wsforms.pp: forms are of class
    // "Window"; a bsNone form is WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP
    // and CalcBorderIconsFlags adds WS_SYSMENU | WS_MINIMIZEBOX |
    // WS_MAXIMIZEBOX for the default border icons; CreateHandle gives every
    // form but the main one the application's window or the main form as its
    // owner. TImage and TLabel have no window; a TPanel is a "Window" child.
    {"Lazarus LCL", "bsNone splash form with TImage and TLabel", nullptr,
     "window owned screen Window 860B0000 0 400 300", true, false},
    {"Lazarus LCL", "bsNone splash form with a TPanel", nullptr,
     "window owned screen Window 860B0000 0 400 300 Window 0", false, false},
    {"Lazarus LCL", "main form", nullptr, "window screen Window 06CF0000 0 600 400", false, false},
};

const unsigned kCorpusRows = sizeof kCorpus / sizeof kCorpus[0];

std::string CommandOn(const CorpusRow &row, const std::string &screen, const std::string &work)
{
    std::istringstream words(row.shape);
    std::string verb, on, rest;
    words >> verb >> on;
    std::string owned = on == "owned" ? " owned" : "";
    if (!owned.empty())
        words >> on;
    std::getline(words, rest);
    return verb + owned + " " + (on == "work" ? work : on == "screen" ? screen : on) + rest;
}
