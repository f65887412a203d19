#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ignore_list.h"

namespace {

// Each test starts without the key and leaves none behind.
class IgnoreList : public ::testing::Test {
protected:
    void SetUp() override { DeleteListKey(); }
    void TearDown() override { DeleteListKey(); }

    static void DeleteListKey() { RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY); }

    static HKEY OpenKey()
    {
        HKEY key = NULL;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &key, NULL));
        return key;
    }

    static void SetRaw(const char *name, DWORD type, const void *data, DWORD size)
    {
        HKEY key = OpenKey();
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE *)data, size));
        RegCloseKey(key);
    }

    static void SetNum(DWORD n) { SetRaw("num", REG_DWORD, &n, sizeof n); }

    static void ExpectUnterminatedAndOverlongEntries();

    static void SetEntry(const char *name, const std::string &path)
    {
        SetRaw(name, REG_SZ, path.c_str(), (DWORD)path.size() + 1);
    }

    static std::vector<std::string> Read()
    {
        std::vector<std::string> entries;
        ReadIgnoreList(
            [](const char *path, void *context) {
                static_cast<std::vector<std::string> *>(context)->push_back(path);
                return true;
            },
            &entries);
        return entries;
    }

    static bool Write(const std::vector<std::string> &entries)
    {
        return WriteIgnoreList(
            (unsigned)entries.size(),
            [](unsigned index, char *buffer, unsigned size, void *context) {
                const auto &list = *static_cast<const std::vector<std::string> *>(context);
                lstrcpynA(buffer, list[index].c_str(), (int)size);
            },
            const_cast<std::vector<std::string> *>(&entries));
    }

    // The stored value's type and size, or REG_NONE when it is absent.
    static DWORD StoredValue(const char *name, std::string *data, DWORD *type)
    {
        HKEY key = OpenKey();
        char buffer[1024];
        DWORD size = sizeof buffer;
        *type = REG_NONE;
        LONG rc = RegQueryValueExA(key, name, NULL, type, (BYTE *)buffer, &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            return 0;
        data->assign(buffer, size);
        return size;
    }
};

using Entries = std::vector<std::string>;

} // namespace

TEST_F(IgnoreList, MissingKeyOrCountIsAnEmptyList)
{
    EXPECT_EQ(Entries{}, Read());
    EXPECT_FALSE(IsIgnored("C:\\Apps\\Tool.exe", "C:\\Apps\\Tool.exe"));
    EXPECT_TRUE(IgnoreListIsEmpty());

    SetEntry("ignoree0", "C:\\Apps\\Tool.exe");
    EXPECT_EQ(Entries{}, Read()) << "no count";
    EXPECT_TRUE(IgnoreListIsEmpty());
    SetNum(0);
    EXPECT_EQ(Entries{}, Read());
    EXPECT_FALSE(IsIgnored("C:\\Apps\\Tool.exe", ""));
    EXPECT_TRUE(IgnoreListIsEmpty());
    SetNum(1);
    EXPECT_FALSE(IgnoreListIsEmpty());
}

TEST_F(IgnoreList, ReadsPresentEntriesBelowTheCountInIndexOrder)
{
    SetNum(3);
    SetEntry("ignoree2", "C:\\Two.exe");
    SetEntry("ignoree0", "C:\\Zero.exe");
    SetEntry("ignoree3", "C:\\LeftOver.exe");
    EXPECT_EQ((Entries{"C:\\Zero.exe", "C:\\Two.exe"}), Read());
    EXPECT_FALSE(IsIgnored("C:\\LeftOver.exe", ""));
}

TEST_F(IgnoreList, CountOfAnyWidthUpToFourBytes)
{
    SetEntry("ignoree0", "C:\\Zero.exe");
    SetEntry("ignoree1", "C:\\One.exe");
    const BYTE two[] = {2, 0};
    SetRaw("num", REG_BINARY, two, sizeof two);
    EXPECT_EQ((Entries{"C:\\Zero.exe", "C:\\One.exe"}), Read());
    const BYTE one[] = {1};
    SetRaw("num", REG_BINARY, one, sizeof one);
    EXPECT_EQ((Entries{"C:\\Zero.exe"}), Read());
    const BYTE wide[8] = {2};
    SetRaw("num", REG_QWORD, wide, sizeof wide);
    EXPECT_EQ(Entries{}, Read()) << "a count wider than four bytes is no count";
}

TEST_F(IgnoreList, UnterminatedAndOverlongEntries)
{
    // A count beyond the values present makes the reader go through them instead.
    for (DWORD count : {6u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(count);
        SetNum(count);
        ExpectUnterminatedAndOverlongEntries();
    }
}

void IgnoreList::ExpectUnterminatedAndOverlongEntries()
{
    // Ten bytes of text with no NUL, of either type: read as those ten bytes only.
    SetRaw("ignoree0", REG_BINARY, "C:\\Tool.exe", 10);
    SetRaw("ignoree1", REG_SZ, "C:\\Tool.exeXYZ", 10);
    // 260 bytes with no NUL hold 260 characters: one too many.
    std::string full(260, 'x');
    SetRaw("ignoree2", REG_BINARY, full.data(), 260);
    // 259 characters and the NUL fill the buffer exactly.
    std::string longest(259, 'y');
    SetEntry("ignoree3", longest);
    SetEntry("ignoree4", std::string(300, 'z'));
    SetEntry("ignoree5", "C:\\Last.exe");
    EXPECT_EQ((Entries{"C:\\Tool.ex", "C:\\Tool.ex", longest, "C:\\Last.exe"}), Read());
    EXPECT_TRUE(IsIgnored("c:\\tool.ex", ""));
    EXPECT_FALSE(IsIgnored(full.c_str(), ""));
    // Past the entries too long to read, the rest are still read.
    EXPECT_TRUE(IsIgnored(longest.c_str(), ""));
    EXPECT_TRUE(IsIgnored("", "C:\\LAST.EXE"));
}

TEST_F(IgnoreList, ACountFarBeyondTheEntriesIsCutShortWithoutLosingAny)
{
    SetNum(0xFFFFFFFFu);
    // Created out of index order, so index order has to be restored.
    SetEntry("ignoree100000", "C:\\Far.exe");
    SetEntry("ignoree-2", "C:\\Farthest.exe"); // index 0xFFFFFFFE, as "%d" spells it
    SetEntry("ignoree7", "C:\\Seven.exe");
    SetEntry("IGNOREE0", "C:\\Zero.exe");
    SetEntry("ignoree-1", "C:\\NotBelowTheCount.exe");
    SetEntry("ignoree08", "C:\\NotAnEntryName.exe");

    DWORD start = GetTickCount();
    Entries entries = Read();
    bool ignored = IsIgnored("", "C:\\FAR.EXE");
    DWORD elapsed = GetTickCount() - start;

    EXPECT_EQ((Entries{"C:\\Zero.exe", "C:\\Seven.exe", "C:\\Far.exe", "C:\\Farthest.exe"}), entries);
    EXPECT_TRUE(ignored);
    EXPECT_LT(elapsed, 200u) << "milliseconds for one read and one lookup";
    RecordProperty("HugeCountMilliseconds", (int)elapsed);
}

TEST_F(IgnoreList, ADamagedCountOverALongListCostsNoMoreThanTheListItself)
{
    Entries entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back("C:\\Program Files\\Vendor " + std::to_string(i) + "\\App.exe");
    ASSERT_TRUE(Write(entries));
    DWORD start = GetTickCount();
    EXPECT_FALSE(IsIgnored("C:\\Other.exe", "C:\\Other.exe"));
    DWORD healthy = GetTickCount() - start;

    SetNum(0xFFFFFFFFu);
    start = GetTickCount();
    EXPECT_FALSE(IsIgnored("C:\\Other.exe", "C:\\Other.exe"));
    DWORD damaged = GetTickCount() - start;
    EXPECT_TRUE(IsIgnored("", "c:\\program files\\vendor 299\\app.exe"));
    EXPECT_LT(damaged, 500u) << "milliseconds for one lookup; healthy: " << healthy;
    start = GetTickCount();
    EXPECT_EQ(entries, Read()) << "index order, not the order the key keeps";
    EXPECT_LT(GetTickCount() - start, 1000u) << "milliseconds for the ordered read";
    RecordProperty("HealthyMilliseconds", (int)healthy);
    RecordProperty("DamagedMilliseconds", (int)damaged);
}

TEST_F(IgnoreList, MatchesWholePathsIgnoringAsciiCaseOnly)
{
    ASSERT_TRUE(Write({"C:\\Program Files\\App\\APP.EXE", "C:\\Tools", "C:\\\xC4pp\\x.exe"}));
    EXPECT_TRUE(IsIgnored("c:\\program files\\app\\app.exe", ""));
    EXPECT_TRUE(IsIgnored("", "c:\\program files\\app\\app.exe"));
    EXPECT_TRUE(IsIgnored("C:\\Other\\lib.dll", "c:\\PROGRAM FILES\\app\\app.exe"));
    EXPECT_FALSE(IsIgnored("D:\\Program Files\\App\\APP.EXE", ""));
    EXPECT_FALSE(IsIgnored("C:\\Program Files\\App\\APP.EXE2", ""));
    EXPECT_FALSE(IsIgnored("C:\\Tools\\x.exe", "C:\\Tools\\x.exe")) << "a folder spares nothing";
    EXPECT_TRUE(IsIgnored("C:\\\xC4PP\\X.EXE", ""));
    EXPECT_FALSE(IsIgnored("C:\\\xE4pp\\x.exe", "")) << "only A-Z fold";
}

TEST_F(IgnoreList, EmptyPathsMatchNothingEvenAnEmptyEntry)
{
    ASSERT_TRUE(Write({"", "C:\\App.exe"}));
    EXPECT_EQ((Entries{"", "C:\\App.exe"}), Read());
    EXPECT_FALSE(IsIgnored("", "C:\\Other.exe"));
    EXPECT_FALSE(IsIgnored("C:\\Other.exe", ""));
}

TEST_F(IgnoreList, WritingStoresCountThenEntriesAndLeavesLongerListsBehind)
{
    ASSERT_TRUE(Write({"C:\\a.exe", "C:\\b.exe", "C:\\c.exe", "C:\\d.exe", "C:\\e.exe"}));
    ASSERT_TRUE(Write({"C:\\New One.exe", "C:\\b.exe"}));
    EXPECT_EQ((Entries{"C:\\New One.exe", "C:\\b.exe"}), Read());

    std::string data;
    DWORD type;
    ASSERT_EQ(4u, StoredValue("num", &data, &type));
    EXPECT_EQ((DWORD)REG_DWORD, type);
    EXPECT_EQ(2u, *(const DWORD *)data.data());
    EXPECT_EQ(sizeof "C:\\New One.exe", StoredValue("ignoree0", &data, &type));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::string("C:\\New One.exe", sizeof "C:\\New One.exe"), data);
    // The tail of the longer list stays, unread.
    EXPECT_EQ(sizeof "C:\\c.exe", StoredValue("ignoree2", &data, &type));
    EXPECT_EQ(sizeof "C:\\e.exe", StoredValue("ignoree4", &data, &type));
    EXPECT_FALSE(IsIgnored("C:\\e.exe", ""));

    ASSERT_TRUE(Write({}));
    EXPECT_EQ(Entries{}, Read());
    ASSERT_EQ(4u, StoredValue("num", &data, &type));
    EXPECT_EQ(0u, *(const DWORD *)data.data());
}

TEST_F(IgnoreList, WritingNeverStoresMoreThanAPathBufferHolds)
{
    // A getter that fills the whole buffer without a terminator.
    ASSERT_TRUE(WriteIgnoreList(
        1, [](unsigned, char *buffer, unsigned size, void *) { memset(buffer, 'q', size); },
        NULL));
    std::string data;
    DWORD type;
    EXPECT_EQ(260u, StoredValue("ignoree0", &data, &type));
    EXPECT_EQ(std::string(259, 'q') + '\0', data);
    EXPECT_EQ(Entries{std::string(259, 'q')}, Read());
}
