// The settings file byte for byte through the platform's profile functions,
// and the program paths built from a command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "settings/program_path.h"
#include "harness.h"
#include "settings/settings.h"
#include "settings/settings_store.h"

namespace {

const Settings kDefaults = {50, 6, 2, 0x0000C800u, "Инкогнито"};

class SettingsFile : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        saved = g_settings;
        g_settings = kDefaults;
        std::snprintf(path, sizeof path, "%s", dir.File("kuvex.ini").c_str());
    }
    void TearDown() override { g_settings = saved; }
    Settings saved;
    TempDir dir;
    char path[MAX_PATH];
};

TEST_F(SettingsFile, FromNothingTheDefaultsIn69Bytes)
{
    EXPECT_EQ(LoadSettings(path), 1);
    EXPECT_EQ(SaveSettings(path), 0);
    const std::string expected =
        "[Kuvex]\r\nanim=50\r\ngamma=6\r\nsatur=2\r\nname=Инкогнито\r\nback=00C80000C8\r\n";
    ASSERT_EQ(expected.size(), 69u);
    EXPECT_EQ(ReadFileBytes(path), expected);

    g_settings = Settings{};
    ASSERT_EQ(LoadSettings(path), 0);
    EXPECT_EQ(0, memcmp(&g_settings, &kDefaults, sizeof kDefaults));
}

TEST_F(SettingsFile, PartialFileIsReadAsIsAndCompletedOnSave)
{
    const std::string only = "[Kuvex]\r\ngamma=9\r\n";
    WriteFileBytes(path, only);
    ASSERT_EQ(LoadSettings(path), 0);
    EXPECT_EQ(g_settings.gamma, 9);
    EXPECT_EQ(g_settings.anim, 50);
    EXPECT_EQ(g_settings.back, 0x0000C800u);
    EXPECT_STREQ(g_settings.name, "Инкогнито");
    EXPECT_EQ(ReadFileBytes(path), only);

    g_settings.gamma = 12;
    g_settings.anim = -1;
    SaveSettings(path);
    EXPECT_EQ(ReadFileBytes(path),
              "[Kuvex]\r\ngamma=12\r\nanim=-1\r\nsatur=2\r\nname=Инкогнито\r\nback=00C80000C8\r\n");
}

TEST_F(SettingsFile, SectionAndKeysInOtherLetterCase)
{
    WriteFileBytes(path, "[kUVEX]\r\nGamma=11\r\nNAME=Вася\r\n");
    ASSERT_EQ(LoadSettings(path), 0);
    EXPECT_EQ(g_settings.gamma, 11);
    EXPECT_STREQ(g_settings.name, "Вася");
    SaveSettings(path);
    const std::string text = ReadFileBytes(path);
    EXPECT_EQ(text.find('['), text.rfind('[')) << "a second section was added:\n" << text;
}

TEST_F(SettingsFile, BackgroundBytesAndBadValues)
{
    g_settings.back = 0x000180FFu; // blue 255, green 128, red 1
    SaveSettings(path);
    EXPECT_NE(ReadFileBytes(path).find("\r\nback=FF80010080\r\n"), std::string::npos);
    g_settings.back = 0;
    LoadSettings(path);
    EXPECT_EQ(g_settings.back, 0x000180FFu);

    // A value that fails to decode, or no value, leaves the colour whole.
    for (const char *bad : std::initializer_list<const char *>{"FF80010081", "FF8001G080", "FF800100",
                                                               "FF800100800", "", nullptr}) {
        std::string file = "[Kuvex]\r\nanim=50\r\n";
        if (bad) file += std::string("back=") + bad + "\r\n";
        WriteFileBytes(path, file);
        g_settings.back = 0x00123456u;
        LoadSettings(path);
        EXPECT_EQ(g_settings.back, 0x00123456u) << (bad ? bad : "(missing)");
    }
}

TEST_F(SettingsFile, LongNameIsCutTo254Bytes)
{
    const std::string longName(300, '\xFF'); // "я" three hundred times
    WriteFileBytes(path, "[Kuvex]\r\nname=" + longName + "\r\n");
    LoadSettings(path);
    EXPECT_EQ(std::string(g_settings.name), longName.substr(0, 254));
    SaveSettings(path);
    EXPECT_NE(ReadFileBytes(path).find("name=" + longName.substr(0, 254) + "\r\n"), std::string::npos);
}

TEST(ProgramPath, FromCommandLines)
{
    char out[PATH_CAP + 8];
    memset(out, '#', sizeof out);
    BuildFilePathFromCommandLine(out, "\"C:\\Games\\Kuvex\\kuvex.exe\"", "kuvex.ini");
    EXPECT_STREQ(out, "C:\\Games\\Kuvex\\kuvex.ini");
    BuildFilePathFromCommandLine(out, "\"C:\\Games\\Kuvex\\kuvex.exe\" -x 1 ", "kuvex.rec");
    EXPECT_STREQ(out, "C:\\Games\\Kuvex\\kuvex.rec");
    BuildFilePathFromCommandLine(out, "kuvex.exe", "kuvex.ini");
    EXPECT_STREQ(out, "kuvex.ini");

    // The longest command line: its arguments cost nothing.
    const std::string longLine = "\"C:\\Games\\kuvex.exe\" " + std::string(32767 - 21, 'a');
    BuildFilePathFromCommandLine(out, longLine.c_str(), "kuvex.ini");
    EXPECT_STREQ(out, "C:\\Games\\kuvex.ini");

    // A directory that leaves no room for the name falls back to the bare
    // name; one byte less and it fits (backslash, 9 bytes and the NUL).
    for (size_t dirLength : {size_t(249), size_t(250), size_t(2000)}) {
        const std::string dirName = "C:\\" + std::string(dirLength - 3, 'd');
        memset(out, '#', sizeof out);
        BuildFilePathFromCommandLine(out, ("\"" + dirName + "\\kuvex.exe\"").c_str(), "kuvex.ini");
        EXPECT_STREQ(out, dirLength < 250 ? (dirName + "\\kuvex.ini").c_str() : "kuvex.ini");
        EXPECT_EQ(std::string(out + PATH_CAP, 8), std::string(8, '#')) << "written past the buffer";
    }
}

} // namespace
