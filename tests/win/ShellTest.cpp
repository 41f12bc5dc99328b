// Start-up details: the command line, the settings identity and the shell registration.
#include "Harness.h"
#include "LauncherSession.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

std::string DefaultValue(const std::string& path)
{
    char value[512] = "";
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CURRENT_USER, path.c_str(), value, &size) != ERROR_SUCCESS)
        return "";
    return value;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { test::ClearSettings(); }
    void TearDown() override { test::ClearSettings(); }
};

TEST_F(ShellTest, EmbeddingAndAutomationStartsStillShowTheFrame)
{
    for (const char* line : {"/Embedding", "-Automation", "/embedding"}) {
        test::LauncherSession session(line);
        ASSERT_TRUE(session.started()) << line;
        EXPECT_TRUE(IsWindowVisible(session.hwnd())) << line;
    }
}

TEST_F(ShellTest, AFileOnTheCommandLineOpensAsTheDocumentAndTheTitleStays)
{
    test::TempFolder temp;
    std::string file = temp.path() + "\\saved game.vlm";
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);

    {
        test::LauncherSession session(("\"" + file + "\"").c_str());
        ASSERT_TRUE(session.started());
        char title[64] = "";
        GetWindowTextA(session.hwnd(), title, sizeof title);
        EXPECT_STREQ(title, "Velmora Launcher");
    }
    // The framework remembers the opened file in its recent-file list when it exits.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillon Software\\Velmora1\\Launcher\\Recent File List", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "File1", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(std::string(value), file);
}

TEST_F(ShellTest, RegistersTheDocumentTypeForTheUser)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraLauncher.Document");
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    EXPECT_EQ(DefaultValue("Software\\Classes\\VelmoraLauncher.Document"), "Velmora Launcher Document");
    std::string open = DefaultValue("Software\\Classes\\VelmoraLauncher.Document\\shell\\open\\command");
    EXPECT_NE(open.find(" \"%1\""), std::string::npos) << open;
    EXPECT_NE(DefaultValue("Software\\Classes\\VelmoraLauncher.Document\\DefaultIcon").find(",0"), std::string::npos);
}

TEST_F(ShellTest, SettingsLieUnderTheCompanyAndTheTwoLevelProfile)
{
    {
        test::LauncherSession session;
        ASSERT_TRUE(session.started());
    }
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillon Software\\Velmora1\\Launcher\\Game Settings", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

} // namespace
