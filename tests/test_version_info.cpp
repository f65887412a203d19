// What Windows' file properties show for the shipped files of this bitness.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "fixture_client.h"
#include "library_names.h"

namespace {

std::string VersionString(const std::vector<char> &info, const char *name)
{
    std::string query = std::string("\\StringFileInfo\\080904E4\\") + name;
    char *value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), query.c_str(), (void **)&value, &length) || value == NULL)
        return "(none)";
    return value;
}

} // namespace

TEST(VersionInfo, NamesTheProductItsMakerAndTheFile)
{
    const struct {
        const char *file;
        DWORD type;
    } files[] = {
        {"ZentrovaRunner.exe", VFT_APP},
        {ZENTROVA_LIBRARY_NAME, VFT_DLL},
#ifdef _WIN64
        {"Zentrova64.exe", VFT_APP},
#endif
    };
    for (const auto &f : files) {
        std::string path = BuiltProgram(f.file);
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << f.file << " has no version resource";
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO *fixed = NULL;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void **)&fixed, &length));
        EXPECT_EQ(MAKELONG(4, 1), fixed->dwProductVersionMS) << f.file;
        EXPECT_EQ(MAKELONG(4, 1), fixed->dwFileVersionMS) << f.file;
        EXPECT_EQ(f.type, fixed->dwFileType) << f.file;
        EXPECT_EQ("Zentrova", VersionString(info, "ProductName")) << f.file;
        EXPECT_EQ("1.4", VersionString(info, "ProductVersion")) << f.file;
        EXPECT_EQ("Orbelline", VersionString(info, "CompanyName")) << f.file;
        EXPECT_EQ(f.file, VersionString(info, "OriginalFilename"));
        EXPECT_NE("(none)", VersionString(info, "FileDescription")) << f.file;
    }
}

namespace {

// A resource of the file, as Windows reads it; empty when there is none.
std::string Resource(HMODULE file, LPCSTR type, WORD id)
{
    HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found != NULL ? LoadResource(file, found) : NULL;
    if (loaded == NULL)
        return "";
    return std::string((const char *)LockResource(loaded), SizeofResource(file, found));
}

} // namespace

TEST(RunnerFile, CarriesItsManifestAndTrayIconsInEverySizeWithAlpha)
{
    HMODULE runner = LoadLibraryExA(BuiltProgram("ZentrovaRunner.exe").c_str(), NULL,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(runner != NULL);
    std::string manifest = Resource(runner, RT_MANIFEST, 1);
    const char *wanted[] = {
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "level=\"asInvoker\"",
        ">true</dpiAware>",
        ">PerMonitorV2</dpiAwareness>",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
    };
    for (const char *w : wanted)
        EXPECT_NE(std::string::npos, manifest.find(w)) << w;

    for (WORD group : {101, 103, 105}) {
        std::string directory = Resource(runner, RT_GROUP_ICON, group);
        ASSERT_GE(directory.size(), 6u) << group;
        std::vector<int> sizes;
        WORD count = *(const WORD *)(directory.data() + 4);
        ASSERT_EQ(directory.size(), 6u + 14u * count) << group;
        for (WORD i = 0; i < count; ++i) {
            const char *entry = directory.data() + 6 + 14 * i;
            sizes.push_back((BYTE)entry[0]);
            std::string image = Resource(runner, RT_ICON, *(const WORD *)(entry + 12));
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << group;
            const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)image.data();
            EXPECT_EQ(32, header->biBitCount) << group << " at " << sizes.back();
            EXPECT_EQ(sizes.back(), header->biWidth) << group;
        }
        EXPECT_EQ((std::vector<int>{16, 20, 24, 32, 48}), sizes) << group;
    }
    FreeLibrary(runner);
}
