#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "registry_text.h"

namespace {

// A registry read's result: dataSize bytes of data, then stale bytes the read
// did not write, the last of them a NUL that must not end the text.
struct ReadResult {
    std::unique_ptr<char[]> buffer;
    uint32_t size;
};

ReadResult Returned(const char *data, uint32_t dataSize, uint32_t bufferSize)
{
    ReadResult r{std::unique_ptr<char[]>(new char[bufferSize]), bufferSize};
    memset(r.buffer.get(), '#', bufferSize);
    r.buffer[bufferSize - 1] = 0;
    memcpy(r.buffer.get(), data, dataSize);
    return r;
}

} // namespace

TEST(TerminateRegistryText, KeepsTextThatCarriesItsTerminator)
{
    ReadResult r = Returned("C:\\a.exe\0", 9, 260);
    ASSERT_TRUE(TerminateRegistryText(r.buffer.get(), 9, r.size));
    EXPECT_STREQ("C:\\a.exe", r.buffer.get());

    // Text ends at its first NUL, whatever follows within the data.
    r = Returned("C:\\a.exe\0junk", 13, 260);
    ASSERT_TRUE(TerminateRegistryText(r.buffer.get(), 13, r.size));
    EXPECT_STREQ("C:\\a.exe", r.buffer.get());
}

TEST(TerminateRegistryText, EndsUnterminatedTextAfterTheBytesReturned)
{
    // Ten bytes with no NUL: the bytes after them were never written by the read.
    ReadResult r = Returned("C:\\app.exe", 10, 260);
    ASSERT_TRUE(TerminateRegistryText(r.buffer.get(), 10, r.size));
    EXPECT_EQ(std::string("C:\\app.exe"), r.buffer.get());

    r = Returned("", 0, 260);
    ASSERT_TRUE(TerminateRegistryText(r.buffer.get(), 0, r.size));
    EXPECT_STREQ("", r.buffer.get());
}

TEST(TerminateRegistryText, RefusesDataThatFillsTheBufferWithoutATerminator)
{
    std::string longest(259, 'x');
    ReadResult r = Returned(longest.c_str(), 260, 260); // 259 characters and the NUL
    ASSERT_TRUE(TerminateRegistryText(r.buffer.get(), 260, r.size));
    EXPECT_EQ(longest, r.buffer.get());

    std::string tooLong(260, 'x');
    r = Returned(tooLong.data(), 260, 260);
    EXPECT_FALSE(TerminateRegistryText(r.buffer.get(), 260, r.size));
    // A size beyond the buffer is never believed.
    EXPECT_FALSE(TerminateRegistryText(r.buffer.get(), 261, r.size));
}

TEST(ParseIgnoreeName, AcceptsExactlyTheNamesThatIgnoreeDFormats)
{
    const struct {
        const char *name;
        bool valid;
        uint32_t index;
    } cases[] = {
        {"ignoree0", true, 0},
        {"ignoree10", true, 10},
        {"IgnoreE7", true, 7},
        {"ignoree2147483647", true, 2147483647u},
        {"ignoree-1", true, 0xFFFFFFFFu},
        {"ignoree-2147483648", true, 0x80000000u},
        {"ignoree2147483648", false, 0},
        {"ignoree-2147483649", false, 0},
        {"ignoree99999999999999999999999", false, 0},
        {"ignoree01", false, 0},
        {"ignoree-0", false, 0},
        {"ignoree+1", false, 0},
        {"ignoree 1", false, 0},
        {"ignoree1x", false, 0},
        {"ignoree", false, 0},
        {"ignoree-", false, 0},
        {"ignore1", false, 0},
        {"num", false, 0},
        {"", false, 0},
    };
    for (const auto &c : cases) {
        uint32_t index = 12345;
        EXPECT_EQ(c.valid, ParseIgnoreeName(c.name, &index)) << c.name;
        if (c.valid) {
            EXPECT_EQ(c.index, index) << c.name;
        }
    }
}
