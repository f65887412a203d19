// The configuration dialog, driven as a user drives it: in a runner started
// with -config or from a running runner's menu, with the real file-open
// dialog, against the registry of the test's Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "runner_harness.h"

namespace {

const int IDC_IGNORE_LIST = 1000, IDC_ADD_APP = 1001, IDC_REMOVE_APP = 1002;

// Every value under the key, by name: type and raw bytes.
typedef std::map<std::string, std::pair<DWORD, std::string>> Values;

Values ReadValues()
{
    Values values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values[name] = {type, std::string((const char *)data, dataSize)};
    }
    RegCloseKey(key);
    return values;
}

std::string Text(const Values &values, const char *name)
{
    auto it = values.find(name);
    if (it == values.end())
        return "(absent)";
    return std::string(it->second.second.c_str());
}

DWORD Num(const Values &values)
{
    auto it = values.find("num");
    DWORD n = 0xFFFFFFFF;
    if (it != values.end() && it->second.second.size() == 4)
        memcpy(&n, it->second.second.data(), 4);
    return n;
}

void StoreValue(const char *name, const std::string &text)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text.c_str(), (DWORD)text.size() + 1);
    RegCloseKey(key);
}

void StoreNum(DWORD n)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&n, sizeof n);
    RegCloseKey(key);
}

class ConfigDialog : public RunnerTest {
protected:
    // Starts "ZentrovaRunner -config" and waits for its dialog.
    HWND OpenAlone(Runner *runner)
    {
        *runner = Start("-config");
        return WaitForWindow("#32770", "Configuration..", runner->processId, 10000);
    }

    static std::vector<std::string> Entries(HWND dialog)
    {
        std::vector<std::string> entries;
        HWND list = GetDlgItem(dialog, IDC_IGNORE_LIST);
        DWORD_PTR count = 0;
        if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 3000, &count))
            return entries;
        for (DWORD_PTR i = 0; i < count; ++i) {
            // Asked for in UTF-16: Wine passes list box text across processes unconverted.
            wchar_t wide[1024] = L"";
            char text[1024] = "";
            DWORD_PTR length = 0;
            SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 3000, &length);
            if (length < 1024)
                SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)wide, SMTO_ABORTIFHUNG, 3000,
                                    &length);
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
            entries.push_back(text);
        }
        return entries;
    }

    static void Select(HWND dialog, int index)
    {
        DWORD_PTR result;
        SendMessageTimeoutA(GetDlgItem(dialog, IDC_IGNORE_LIST), LB_SETCURSEL, (WPARAM)index, 0,
                            SMTO_ABORTIFHUNG, 3000, &result);
    }

    // Remove application, handled before this returns: a posted click could
    // still be queued when the next selection, sent, overtakes it.
    static void Remove(HWND dialog)
    {
        DWORD_PTR result;
        SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(IDC_REMOVE_APP, BN_CLICKED),
                            (LPARAM)GetDlgItem(dialog, IDC_REMOVE_APP), SMTO_ABORTIFHUNG, 3000,
                            &result);
    }

    // Add application, then the path typed into the file-open dialog's file
    // name box and confirmed. A dialog still settling can lose the text or the
    // click, so both are given again while it stays open.
    static ::testing::AssertionResult AddThroughFileDialog(HWND dialog, DWORD processId,
                                                           const std::string &path)
    {
        ClickButton(dialog, IDC_ADD_APP);
        HWND open = WaitForWindow("#32770", "Select executable..", processId, 10000);
        if (open == NULL)
            return ::testing::AssertionFailure() << "the file-open dialog never came";
        HWND name = FindFileNameBox(open);
        if (name == NULL)
            return ::testing::AssertionFailure() << "the file-open dialog has no file name box";
        char typed[MAX_PATH] = "";
        for (int attempt = 0; attempt < 3 && IsWindow(open); ++attempt) {
            DWORD_PTR result;
            SendMessageTimeoutA(name, WM_SETTEXT, 0, (LPARAM)path.c_str(), SMTO_ABORTIFHUNG,
                                Patient(3000), &result);
            typed[0] = 0;
            SendMessageTimeoutA(name, WM_GETTEXT, sizeof typed, (LPARAM)typed, SMTO_ABORTIFHUNG,
                                Patient(3000), &result);
            PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         (LPARAM)GetDlgItem(open, IDOK));
            DWORD start = GetTickCount();
            while (IsWindow(open) && GetTickCount() - start < Patient(5000))
                PumpMessagesFor(50);
        }
        PumpMessagesFor(200);
        if (IsWindow(open))
            return ::testing::AssertionFailure()
                   << "the file-open dialog stayed open; its file name box held \"" << typed << "\"";
        return ::testing::AssertionSuccess();
    }

    // The file name box: an edit control, or the edit inside a combo box.
    static HWND FindFileNameBox(HWND open)
    {
        const int ids[] = {0x47C /* cmb13 */, 0x480 /* edt1 */};
        for (int id : ids) {
            HWND control = GetDlgItem(open, id);
            if (control == NULL)
                continue;
            HWND edit = FindWindowExA(control, NULL, "Edit", NULL);
            return edit != NULL ? edit : control;
        }
        return NULL;
    }

    static std::string Upper(std::string s)
    {
        for (char &c : s)
            if (c >= 'a' && c <= 'z')
                c = (char)(c - 'a' + 'A');
        return s;
    }
};

} // namespace

TEST_F(ConfigDialog, ShowsTheStoredEntriesInIndexOrderSkippingGaps)
{
    Runner runner;
    HWND dialog = OpenAlone(&runner);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_TRUE(Entries(dialog).empty()) << "no key, nothing listed";
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));

    StoreNum(4);
    StoreValue("ignoree3", "C:\\Apps\\Third.exe");
    StoreValue("ignoree0", "C:\\Apps\\First.exe");
    StoreValue("ignoree2", "C:\\Apps\\Second.exe");
    StoreValue("ignoree4", "C:\\Apps\\Beyond.exe");
    dialog = OpenAlone(&runner);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ((std::vector<std::string>{"C:\\Apps\\First.exe", "C:\\Apps\\Second.exe",
                                        "C:\\Apps\\Third.exe"}),
              Entries(dialog));
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    EXPECT_TRUE(FindTopLevel("ZentrovaRunnerClass", NULL).empty()) << "-config starts no runner";
}

TEST_F(ConfigDialog, AddsThroughTheFileOpenDialogOnceWhateverTheCase)
{
    std::string fixture = BuiltProgram("zentrova_fixture.exe");
    StoreNum(1);
    StoreValue("ignoree0", Upper(fixture));
    Runner runner;
    HWND dialog = OpenAlone(&runner);
    ASSERT_TRUE(dialog != NULL);
    ASSERT_TRUE(AddThroughFileDialog(dialog, runner.processId, fixture));
    EXPECT_EQ(1u, Entries(dialog).size()) << "the same path in another case was added again";

    std::string runnerExe = BuiltProgram("ZentrovaRunner.exe");
    ASSERT_TRUE(AddThroughFileDialog(dialog, runner.processId, runnerExe));
    std::vector<std::string> entries = Entries(dialog);
    ASSERT_EQ(2u, entries.size());
    EXPECT_STRCASEEQ(runnerExe.c_str(), entries[1].c_str());

    ClickButton(dialog, IDOK);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    Values stored = ReadValues();
    EXPECT_EQ(2u, Num(stored));
    EXPECT_EQ(Upper(fixture), Text(stored, "ignoree0"));
    EXPECT_EQ(entries[1], Text(stored, "ignoree1"));
    EXPECT_EQ((DWORD)REG_SZ, stored["ignoree1"].first);
    EXPECT_EQ(entries[1].size() + 1, stored["ignoree1"].second.size()) << "stored with its NUL";
}

TEST_F(ConfigDialog, RemovesTheSelectionAndOkStoresWhatIsLeft)
{
    StoreNum(3);
    StoreValue("ignoree0", "C:\\A\\a.exe");
    StoreValue("ignoree1", "C:\\B\\b.exe");
    StoreValue("ignoree2", "C:\\C\\c.exe");
    Runner runner;
    HWND dialog = OpenAlone(&runner);
    ASSERT_TRUE(dialog != NULL);
    Select(dialog, -1);
    Remove(dialog);
    EXPECT_EQ(3u, Entries(dialog).size()) << "removed without a selection";
    Select(dialog, 0);
    Remove(dialog);
    EXPECT_EQ((std::vector<std::string>{"C:\\B\\b.exe", "C:\\C\\c.exe"}), Entries(dialog));

    ClickButton(dialog, IDOK);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    Values stored = ReadValues();
    EXPECT_EQ(2u, Num(stored));
    EXPECT_EQ("C:\\B\\b.exe", Text(stored, "ignoree0"));
    EXPECT_EQ("C:\\C\\c.exe", Text(stored, "ignoree1"));
    EXPECT_EQ("C:\\C\\c.exe", Text(stored, "ignoree2")) << "a stale value stays, unread";

    // Emptied and saved: a count of 0, the old values left behind.
    dialog = OpenAlone(&runner);
    ASSERT_TRUE(dialog != NULL);
    for (int i = 0; i < 2; ++i) {
        Select(dialog, 0);
        Remove(dialog);
    }
    EXPECT_TRUE(Entries(dialog).empty());
    ClickButton(dialog, IDOK);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    stored = ReadValues();
    EXPECT_EQ(0u, Num(stored));
    EXPECT_EQ("C:\\B\\b.exe", Text(stored, "ignoree0"));
}

TEST_F(ConfigDialog, CancelAfterEditsLeavesTheRegistryAsItWas)
{
    StoreNum(3);
    StoreValue("ignoree0", "C:\\A\\a.exe");
    StoreValue("ignoree2", "C:\\C\\c.exe");
    StoreValue("ignoree7", "C:\\Stale\\s.exe");
    Values before = ReadValues();
    Runner runner;
    HWND dialog = OpenAlone(&runner);
    ASSERT_TRUE(dialog != NULL);
    Select(dialog, 1);
    Remove(dialog);
    ASSERT_TRUE(AddThroughFileDialog(dialog, runner.processId, BuiltProgram("ZentrovaRunner.exe")));
    EXPECT_EQ(2u, Entries(dialog).size());
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    EXPECT_TRUE(before == ReadValues()) << "Cancel wrote to the registry";
}

TEST_F(ConfigDialog, ConfigFromTheMenuRaisesTheOpenDialogAndQuitSavesNothing)
{
    StoreNum(1);
    StoreValue("ignoree0", "C:\\A\\a.exe");
    Values before = ReadValues();
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));

    ASSERT_TRUE(ChooseFromTrayMenu(main, runner.processId, 2)); // About..., Config...
    HWND dialog = WaitForWindow("#32770", "Configuration..", runner.processId, 10000);
    ASSERT_TRUE(dialog != NULL);
    // Something else comes on top of it.
    ASSERT_TRUE(StartFixture(&fixture_));
    FixtureRect other = FixtureWindow(&fixture_, "show captioned");
    ASSERT_TRUE(other.ok);
    HWND otherWindow = WaitForWindow("ZentrovaFixtureWindow", "Fixture", GetProcessId(fixture_.process), 5000);
    ASSERT_TRUE(otherWindow != NULL);
    SetWindowPos(otherWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpMessagesFor(200);

    ASSERT_TRUE(ChooseFromTrayMenu(main, runner.processId, 2));
    PumpMessagesFor(500);
    EXPECT_EQ(1u, FindTopLevel("#32770", "Configuration..", runner.processId).size());
    bool dialogFirst = false;
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == dialog || w == otherWindow) {
            dialogFirst = w == dialog;
            break;
        }
    }
    EXPECT_TRUE(dialogFirst) << "the open dialog was not brought to the front";

    Select(dialog, 0);
    Remove(dialog);
    ASSERT_TRUE(ChooseFromTrayMenu(main, runner.processId, 0)); // Quit
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    EXPECT_TRUE(before == ReadValues()) << "Quit saved the dialog's edits";
}

TEST_F(ConfigDialog, ASavedEntryIsHonouredAtOnceByTheRunningHook)
{
    Runner runner = Start();
    ASSERT_TRUE(MainWindow(runner) != NULL);
    ASSERT_TRUE(SplashSuppressed());

    Runner config;
    HWND dialog = OpenAlone(&config);
    ASSERT_TRUE(dialog != NULL);
    ASSERT_TRUE(AddThroughFileDialog(dialog, config.processId, BuiltProgram("zentrova_fixture.exe")));
    ClickButton(dialog, IDOK);
    EXPECT_EQ(0, WaitForExit(config.process, 10000));

    FixtureRect splash = FixtureWindow(&fixture_, "show splash");
    ASSERT_TRUE(splash.ok);
    EXPECT_GT(splash.rect.left, 0) << "an ignored program's splash screen was moved";
}
