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
