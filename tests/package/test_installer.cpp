// The Windows Installer package as a user or an administrator meets it, driven
// through msiexec /qn: what an install leaves on disk, in the Start menu and
// in the installed programs list, the runner it starts, an upgrade over an
// earlier version, and what an uninstall takes away and keeps. Run by
// scripts/check-installer, in a fresh 64-bit prefix and in the 32-bit tree's
// prefix, with
//   ZENTROVA_MSI         the package
//   ZENTROVA_MSI_OLDER   the same files packaged as version 1.3
//   ZENTROVA_RELEASE     the folder the zip was unpacked into
//   ZENTROVA_ICON        the tray icon's picture, runner/icons/normal.ico
//   ZENTROVA_RUNS_32BIT  1 where the installed 32-bit runner can run
//   ZENTROVA_FIXTURE32   the 32-bit fixture program, beside this 64-bit one
#include <gtest/gtest.h>

#include <windows.h>

// MsiGetProductInfoEx and installation contexts: Windows Installer 3.0.
#define _WIN32_MSI 300
#include <msi.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "companion_rules.h"
#include "desktop_probe.h"
#include "fixture_client.h"
#include "runner.h"

namespace {

const char kUpgradeCode[] = "{EDBC7325-D8B7-466C-A6A0-84994DC1989B}";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kIgnorees[] = "Software\\Orbelline\\Zentrova\\Ignorees";
const char *const kFiles[] = {"ZentrovaRunner.exe", "Zentrova.dll", "Zentrova64.exe",
                              "Zentrova64.dll", "README.txt"};

std::string Setting(const char *name)
{
    const char *value = getenv(name);
    return value != NULL ? value : "";
}

std::string Folder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, 0, path);
    return path;
}

std::string InstallFolder() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Zentrova"; }
std::string Shortcut() { return Folder(CSIDL_PROGRAMS) + "\\Zentrova.lnk"; }

std::string Contents(const std::string &path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return in ? out.str() : std::string("(unreadable)");
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// msiexec's exit code for the arguments, or -1 when it did not end.
int Msiexec(const std::string &arguments)
{
    HANDLE process = StartProgram("msiexec " + arguments);
    if (process == NULL)
        return -1;
    int code = WaitForExit(process, 120000);
    CloseHandle(process);
    return code;
}

// The product codes installed under Zentrova's upgrade code.
std::vector<std::string> InstalledProducts()
{
    std::vector<std::string> codes;
    char code[39];
    for (DWORD i = 0; MsiEnumRelatedProductsA(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i)
        codes.push_back(code);
    return codes;
}

std::string ProductInfo(const std::string &code, const char *property)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    MsiGetProductInfoA(code.c_str(), property, value, &size);
    return value;
}

// The keys of the installed programs list named Zentrova, wherever this
// system keeps them: the user's, the machine's, and the machine's 32-bit view.
std::vector<HKEY> Entries()
{
    std::vector<HKEY> found;
    const struct { HKEY root; REGSAM view; } places[] = {
        {HKEY_CURRENT_USER, 0}, {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
        {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    bool windows64 = sizeof(void *) == 8 || wow64;
    for (const auto &place : places) {
        HKEY list;
        // 32-bit Windows has one view of the machine's keys, seen twice here.
        if (!windows64 && place.view == KEY_WOW64_32KEY)
            continue;
        if (RegOpenKeyExA(place.root, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                          0, KEY_READ | place.view, &list) != ERROR_SUCCESS)
            continue;
        char name[256];
        for (DWORD i = 0, size = sizeof name; RegEnumKeyExA(list, i, name, &size, NULL, NULL,
                                                            NULL, NULL) == ERROR_SUCCESS;
             ++i, size = sizeof name) {
            HKEY entry;
            char shown[64] = "";
            DWORD shownSize = sizeof shown;
            if (RegOpenKeyExA(list, name, 0, KEY_READ | place.view, &entry) != ERROR_SUCCESS)
                continue;
            if (RegQueryValueExA(entry, "DisplayName", NULL, NULL, (BYTE *)shown, &shownSize) ==
                    ERROR_SUCCESS && std::string(shown) == "Zentrova")
                found.push_back(entry);
            else
                RegCloseKey(entry);
        }
        RegCloseKey(list);
    }
    return found;
}

std::string Text(HKEY key, const char *name)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value, type = 0, number = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)value, &size) != ERROR_SUCCESS)
        return "(none)";
    if (type == REG_DWORD)
        memcpy(&number, value, sizeof number);
    return type == REG_DWORD ? std::to_string(number) : std::string(value);
}

void SetText(const char *key, const char *name, const std::string &value)
{
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &k, NULL));
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE *)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(k);
}

std::string ValueOf(const char *key, const char *name)
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return "(none)";
    std::string value = Text(k, name);
    RegCloseKey(k);
    return value;
}

bool RunnerCanRun() { return Setting("ZENTROVA_RUNS_32BIT") == "1"; }

bool OnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL; }

// The runners' windows, once there are as many as expected or time is up.
std::vector<HWND> Runners(size_t expected, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    std::vector<HWND> found;
    while ((found = FindTopLevel(RUNNER_CLASS, RUNNER_TITLE)).size() != expected &&
           GetTickCount() - start < Patient(timeoutMs))
        PumpMessagesFor(100);
    return found;
}

std::string ProgramOf(HWND hwnd)
{
    DWORD id = 0;
    GetWindowThreadProcessId(hwnd, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    char path[MAX_PATH] = "";
    if (process != NULL) {
        GetModuleFileNameExA(process, NULL, path, sizeof path);
        CloseHandle(process);
    }
    return path;
}

bool RecordEmpty(const char *mapping)
{
    SharedRecord r = {};
    return !ReadSharedRecord(&r, mapping) || (r.hwndNotify | r.hHook) == 0;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        msi_ = "\"" + Setting("ZENTROVA_MSI") + "\"";
        older_ = "\"" + Setting("ZENTROVA_MSI_OLDER") + "\"";
        ASSERT_FALSE(Setting("ZENTROVA_MSI").empty() || Setting("ZENTROVA_RELEASE").empty());
        // Left by a run that broke off, in a prefix that is kept.
        for (const std::string &code : InstalledProducts())
            Msiexec("/x " + code + " /qn");
        ASSERT_TRUE(InstalledProducts().empty()) << "Zentrova cannot be uninstalled";
        ASSERT_TRUE(FindTopLevel(RUNNER_CLASS, NULL).empty()) << "a runner is running";
        // An earlier run's library may be left behind (see below), no longer held.
        for (const char *file : kFiles)
            DeleteFileA((InstallFolder() + "\\" + file).c_str());
        RemoveDirectoryA(InstallFolder().c_str());
        SetText(kIgnorees, "ignoree0", "C:\\Games\\Keep.exe");
    }

    void TearDown() override
    {
        for (const std::string &code : InstalledProducts())
            Msiexec("/x " + code + " /qn");
        for (Fixture &f : fixtures_)
            if (f.process != NULL)
                StopFixture(&f);
        HKEY run;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "Zentrova");
            RegCloseKey(run);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, kIgnorees);
    }

    // Shows a splash in a fixture of each bitness this system runs; whether
    // each was moved off-screen.
    std::vector<bool> SplashesMoved()
    {
        std::vector<bool> moved;
        std::string fixture32 = Setting("ZENTROVA_FIXTURE32");
        for (int i = 0; i < 2; ++i) {
            Fixture &f = fixtures_[i];
            if (f.process == NULL && !(i == 0 ? StartFixture(&f)
                                             : !fixture32.empty() && StartFixture(&f, fixture32)))
                continue;
            FixtureRect w = FixtureWindow(&f, "show splash");
            moved.push_back(w.ok && w.rect.right < 0 && w.rect.bottom < 0);
        }
        return moved;
    }

    std::string msi_, older_;
    Fixture fixtures_[2]; // this program's bitness, 32-bit
};

} // namespace

TEST_F(Installer, InstallsForTheUserAloneAndUninstallsKeepingOnlyTheIgnoreList)
{
    // Registered for every user, with the files in one user's profile: refused.
    EXPECT_NE(0, Msiexec("/i " + msi_ + " /qn ALLUSERS=1"));
    EXPECT_TRUE(InstalledProducts().empty());

    ASSERT_EQ(0, Msiexec("/i " + msi_ + " /qn"));
    for (const char *file : kFiles)
        EXPECT_EQ(Contents(Setting("ZENTROVA_RELEASE") + "\\" + file),
                  Contents(InstallFolder() + "\\" + file)) << file;
    std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(1u, products.size());
    const std::string &code = products[0];
    char name[64] = "";
    DWORD size = sizeof name;
    EXPECT_EQ(ERROR_SUCCESS,
              MsiGetProductInfoExA(code.c_str(), NULL, MSIINSTALLCONTEXT_USERUNMANAGED,
                                   INSTALLPROPERTY_PRODUCTNAME, name, &size))
        << "not installed for this user alone";
    EXPECT_EQ("1.4", ProductInfo(code, INSTALLPROPERTY_VERSIONSTRING));
    EXPECT_EQ("Orbelline", ProductInfo(code, INSTALLPROPERTY_PUBLISHER));
    EXPECT_EQ(Contents(Setting("ZENTROVA_ICON")),
              Contents(ProductInfo(code, INSTALLPROPERTY_PRODUCTICON)));
    std::vector<HKEY> entries = Entries();
    ASSERT_EQ(1u, entries.size()) << "entries in the installed programs list";
    EXPECT_EQ("Orbelline", Text(entries[0], "Publisher"));
    EXPECT_EQ("1.4", Text(entries[0], "DisplayVersion"));
    EXPECT_EQ(InstallFolder() + "\\", Text(entries[0], "InstallLocation"));
    // Windows computes EstimatedSize; Wine writes 0 there and the package's
    // own estimate as Size.
    EXPECT_TRUE(atoi(Text(entries[0], "EstimatedSize").c_str()) > 0 ||
                atoi(Text(entries[0], "Size").c_str()) > 200)
        << Text(entries[0], "EstimatedSize") << " " << Text(entries[0], "Size");
    RegCloseKey(entries[0]);

    CoInitialize(NULL);
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     (void **)&link));
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, (void **)&file));
    WCHAR shortcut[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, Shortcut().c_str(), -1, shortcut, MAX_PATH);
    ASSERT_EQ(S_OK, file->Load(shortcut, STGM_READ)) << Shortcut();
    char target[MAX_PATH] = "", icon[MAX_PATH] = "";
    int index = -1;
    link->GetPath(target, MAX_PATH, NULL, 0);
    link->GetIconLocation(icon, MAX_PATH, &index);
    EXPECT_STRCASEEQ((InstallFolder() + "\\ZentrovaRunner.exe").c_str(), target);
    EXPECT_EQ(Contents(Setting("ZENTROVA_ICON")), Contents(icon)) << icon << "," << index;
    file->Release();
    link->Release();

    if (RunnerCanRun()) {
        std::vector<HWND> runners = Runners(1);
        ASSERT_EQ(1u, runners.size()) << "the runner was not started after installing";
        EXPECT_STRCASEEQ((InstallFolder() + "\\ZentrovaRunner.exe").c_str(),
                         ProgramOf(runners[0]).c_str());
        size_t bitnesses = Setting("ZENTROVA_FIXTURE32").empty() ? 1 : 2;
        EXPECT_EQ(std::vector<bool>(bitnesses, true), SplashesMoved())
            << "splash screens moved, this program's bitness first";
    }
    SetText(kRunKey, "Zentrova", "\"" + InstallFolder() + "\\ZentrovaRunner.exe\"");

    ASSERT_EQ(0, Msiexec("/x " + msi_ + " /qn"));
    EXPECT_TRUE(FindTopLevel(RUNNER_CLASS, NULL).empty()) << "the runner still runs";
    EXPECT_TRUE(FindTopLevel(COMPANION_CLASS, NULL).empty()) << "the companion still runs";
    EXPECT_TRUE(RecordEmpty(ZENTROVA32_MAPPING_NAME) && RecordEmpty(ZENTROVA64_MAPPING_NAME));
    // A library still loaded in some program cannot go yet; anything else must.
    for (const char *name : kFiles) {
        std::string path = InstallFolder() + "\\" + name;
        if (!Exists(path))
            continue;
        EXPECT_FALSE(DeleteFileA(path.c_str())) << name << " was left, and not held";
        printf("[  NOTE    ] %s is left behind, still held by a program\n", name);
    }
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ("(none)", ValueOf(kRunKey, "Zentrova")) << "Start at sign-in still points there";
    EXPECT_EQ("C:\\Games\\Keep.exe", ValueOf(kIgnorees, "ignoree0")) << "the ignore list went";
}

TEST_F(Installer, UpgradesOverAnEarlierVersionKeepingTheUsersChoices)
{
    ASSERT_FALSE(Setting("ZENTROVA_MSI_OLDER").empty());
    ASSERT_EQ(0, Msiexec("/i " + older_ + " /qn STARTZENTROVA=0"));
    HANDLE earlier = NULL;
    if (RunnerCanRun()) {
        EXPECT_TRUE(Runners(1, 2000).empty()) << "started although STARTZENTROVA=0";
        earlier = StartProgram("\"" + InstallFolder() + "\\ZentrovaRunner.exe\"");
        ASSERT_EQ(1u, Runners(1).size());
    }
    std::string signIn = "\"" + InstallFolder() + "\\ZentrovaRunner.exe\"";
    SetText(kRunKey, "Zentrova", signIn);

    ASSERT_EQ(0, Msiexec("/i " + msi_ + " /qn"));
    std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(1u, products.size());
    EXPECT_EQ("1.4", ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING));
    std::vector<HKEY> entries = Entries();
    EXPECT_EQ(1u, entries.size()) << "entries in the installed programs list";
    for (HKEY entry : entries) {
        EXPECT_EQ("1.4", Text(entry, "DisplayVersion"));
        RegCloseKey(entry);
    }
    // Wine removes the earlier version without UPGRADINGPRODUCTCODE, so there
    // the uninstall's rule takes Start at sign-in away; Windows sets it.
    EXPECT_EQ(OnWine() ? "(none)" : signIn, ValueOf(kRunKey, "Zentrova"));
    if (earlier != NULL) {
        EXPECT_EQ(0, WaitForExit(earlier, 10000)) << "the earlier runner was not stopped";
        CloseHandle(earlier);
        EXPECT_EQ(1u, Runners(1).size()) << "not one runner after the upgrade";
    }

    // The earlier version no longer installs over the later one.
    EXPECT_NE(0, Msiexec("/i " + older_ + " /qn"));
    ASSERT_EQ(1u, InstalledProducts().size());
    EXPECT_EQ("1.4", ProductInfo(InstalledProducts()[0], INSTALLPROPERTY_VERSIONSTRING));

    // Removed as Windows removes an earlier version during an upgrade.
    SetText(kRunKey, "Zentrova", signIn);
    ASSERT_EQ(0, Msiexec("/x " + msi_ +
                         " /qn UPGRADINGPRODUCTCODE={00000000-0000-0000-0000-000000000001}"));
    EXPECT_EQ(signIn, ValueOf(kRunKey, "Zentrova")) << "an upgrade takes Start at sign-in away";

    // Start at sign-in of a copy elsewhere is not the installed one's.
    ASSERT_EQ(0, Msiexec("/i " + msi_ + " /qn STARTZENTROVA=0"));
    std::string elsewhere = "\"C:\\Portable\\Zentrova\\ZentrovaRunner.exe\"";
    SetText(kRunKey, "Zentrova", elsewhere);
    ASSERT_EQ(0, Msiexec("/x " + msi_ + " /qn"));
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_EQ(elsewhere, ValueOf(kRunKey, "Zentrova"));
    EXPECT_EQ("C:\\Games\\Keep.exe", ValueOf(kIgnorees, "ignoree0"));
}
