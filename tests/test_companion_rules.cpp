// How the runner finds, starts and addresses its 64-bit companion, and what
// the companion makes of its command line and of the shared record.
#include <gtest/gtest.h>

#include <cstring>

#include "companion_rules.h"

TEST(CompanionRules, TheCompanionIsLookedForInTheRunnersFolder)
{
    char path[64];
    ASSERT_TRUE(CompanionPathBeside("C:\\Tools\\Zentrova\\ZentrovaRunner.exe", path, sizeof path));
    EXPECT_STREQ("C:\\Tools\\Zentrova\\Zentrova64.exe", path);
    EXPECT_FALSE(CompanionPathBeside("ZentrovaRunner.exe", path, sizeof path)) << "no folder";
    // "C:\x\" and the name with its NUL take exactly 20 bytes.
    EXPECT_TRUE(CompanionPathBeside("C:\\x\\ZentrovaRunner.exe", path, 20));
    EXPECT_FALSE(CompanionPathBeside("C:\\x\\ZentrovaRunner.exe", path, 19));
}

TEST(CompanionRules, TheCommandLineTheRunnerWritesIsTheOneTheCompanionReads)
{
    const CompanionArguments sent = {0xFFFF8001u, 1027, 1025};
    char line[80];
    ASSERT_TRUE(FormatCompanionCommandLine("C:\\Program Files\\Z\\Zentrova64.exe", sent, line,
                                           sizeof line));
    EXPECT_STREQ("\"C:\\Program Files\\Z\\Zentrova64.exe\" 4294934529 1027 1025", line);
    CompanionArguments read = {};
    ASSERT_TRUE(ParseCompanionArguments(strchr(line + 1, '"') + 1, &read));
    EXPECT_EQ(sent.runnerWindow, read.runnerWindow);
    EXPECT_EQ(sent.killedMessage, read.killedMessage);
    EXPECT_EQ(sent.auxMessage, read.auxMessage);
    EXPECT_FALSE(FormatCompanionCommandLine("C:\\Zentrova64.exe", sent, line,
                                            strlen("\"C:\\Zentrova64.exe\" 4294934529 1027 1025")))
        << "no room for the NUL";
}

TEST(CompanionRules, AnythingButThreeNonzeroNumbersIsRefused)
{
    const char *bad[] = {
        NULL,  "",       "   ",         "65710 1027",      "65710 1027 1025 7", "x 1027 1025",
        "65710 1027x 1025",             "0 1027 1025",     "65710 0 1025",      "65710 1027 0",
        "-5 1027 1025",                 "+5 1027 1025",    "0x10 1027 1025",    "65710,1027,1025",
        "4294967296 1027 1025",         "65710 99999999999999999999 1025",
    };
    for (const char *text : bad) {
        CompanionArguments read = {7, 7, 7};
        EXPECT_FALSE(ParseCompanionArguments(text, &read)) << (text ? text : "(null)");
        EXPECT_EQ(7u, read.runnerWindow) << "left untouched";
    }
    CompanionArguments read = {};
    EXPECT_TRUE(ParseCompanionArguments(" \t4294967295  1\t65535 ", &read));
    EXPECT_EQ(4294967295u, read.runnerWindow);
}

TEST(CompanionRules, ACompanionRemovesOnlyTheHookTheRecordStillNamesAsItsOwn)
{
    const RecordOwner mine = {0x10010, 0x20020};
    const struct {
        bool runnerAlive;
        RecordOwner recorded;
        CompanionStep step;
    } cases[] = {
        {true, mine, kCompanionKeep},
        {false, mine, kCompanionRemoveAndEnd},
        {true, {0x30030, 0x40040}, kCompanionEnd}, // a later runner's companion took over
        {false, {0x30030, 0x40040}, kCompanionEnd},
        {true, {0x10010, 0x40040}, kCompanionEnd}, // the same runner started another
        {true, {0, 0}, kCompanionEnd},             // removed by someone else
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.step, NextCompanionStep(c.runnerAlive, c.recorded, mine))
            << c.runnerAlive << " " << c.recorded.window << " " << c.recorded.hook;
}
