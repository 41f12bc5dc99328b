// The About box and the version reader behind it.
#include "app/AboutBox.h"
#include "Harness.h"
#include "LauncherSession.h"
#include "app/FileVersionReader.h"
#include "res/resource.h"
#include "version.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

struct VersionRow {
    const char* module;
    BOOL result;
    WORD words[4]; // file version, most significant first
    WORD language, codePage;
};

TEST(FileVersionReaderTest, ReadsTheFileVersionAndFirstTranslation)
{
    static const VersionRow rows[] = {
        { "version_1007.dll", TRUE, { 1, 0, 0, 7 }, 0x0809, 1200 },
        { "version_no_translation.dll", TRUE, { 2, 3, 4, 5 }, 0, 1252 },
        { "no_version.exe", FALSE, { 0, 0, 0, 0 }, 0, 1252 },
        { "no_such_module.dll", FALSE, { 0, 0, 0, 0 }, 0, 1252 },
    };
    for (const VersionRow& row : rows) {
        CFileVersionReader reader;
        EXPECT_EQ(reader.ReadVersion(row.module), row.result) << row.module;
        const VS_FIXEDFILEINFO& info = reader.m_fileInfo;
        EXPECT_EQ(HIWORD(info.dwFileVersionMS), row.words[0]) << row.module;
        EXPECT_EQ(LOWORD(info.dwFileVersionMS), row.words[1]) << row.module;
        EXPECT_EQ(HIWORD(info.dwFileVersionLS), row.words[2]) << row.module;
        EXPECT_EQ(LOWORD(info.dwFileVersionLS), row.words[3]) << row.module;
        EXPECT_EQ(reader.m_wLanguage, row.language) << row.module;
        EXPECT_EQ(reader.m_wCodePage, row.codePage) << row.module;
        // The reader holds no reference of its own to the module once it is done.
        EXPECT_EQ(GetModuleHandleA(row.module), nullptr) << row.module;
    }
}

TEST(FileVersionReaderTest, ANullNameReadsTheRunningProgramAndASecondReadReplacesTheFirst)
{
    CFileVersionReader reader;
    ASSERT_TRUE(reader.ReadVersion("version_1007.dll"));
    ASSERT_TRUE(reader.ReadVersion(nullptr));
    EXPECT_EQ(HIWORD(reader.m_fileInfo.dwFileVersionMS), VELMORA_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(reader.m_fileInfo.dwFileVersionMS), VELMORA_VERSION_MINOR);
    EXPECT_EQ(HIWORD(reader.m_fileInfo.dwFileVersionLS), VELMORA_VERSION_PATCH);
    EXPECT_EQ(LOWORD(reader.m_fileInfo.dwFileVersionLS), VELMORA_VERSION_TWEAK);
    EXPECT_EQ(reader.m_wLanguage, 0x0409);
    EXPECT_EQ(reader.m_wCodePage, 1200);
}

// Records the web button's request instead of starting a browser.
struct ShellCall {
    std::string verb, file;
    int show = -1, count = 0;
};
ShellCall g_shellCall;

HINSTANCE WINAPI RecordShellOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show)
{
    g_shellCall.verb = verb ? verb : "";
    g_shellCall.file = file ? file : "";
    g_shellCall.show = (parameters || directory) ? -2 : show;
    ++g_shellCall.count;
    return reinterpret_cast<HINSTANCE>(33);
}

class AboutBoxTest : public test::LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        g_shellCall = {};
        CAboutBox::s_shellOpen = &RecordShellOpen;
    }
    void TearDown() override
    {
        CAboutBox::s_shellOpen = &ShellExecuteA;
        LauncherTest::TearDown();
    }

    // Chooses About from the menu; while the box is up, another thread reads it, presses the web
    // button twice and closes the box with OK.
    struct Seen {
        std::string title, text;
        bool commonControls6 = false; // its buttons are Common Controls 6 buttons, drawn in the system's style
    };
    static Seen RunAboutBox(test::LauncherSession& session)
    {
        Seen seen;
        std::atomic<bool> done { false };
        std::thread visitor([&] {
            HWND box = nullptr;
            for (int i = 0; i < 2000 && !(box = FindWindowA("#32770", "About Velmora")); ++i)
                Sleep(10);
            if (box) {
                char text[256] = "";
                GetWindowTextA(box, text, sizeof text);
                seen.title = text;
                GetDlgItemTextA(box, IDC_VERSION_TEXT, text, sizeof text);
                seen.text = text;
                SIZE ideal = {}; // a request only those buttons answer
                seen.commonControls6
                    = SendMessageA(GetDlgItem(box, IDOK), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal))
                    && ideal.cx > 0;
                for (int i = 0; i < 2; ++i) {
                    RECT button = test::WindowRect(GetDlgItem(box, IDC_WEB_SITE));
                    test::ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
                    for (int wait = 0; wait < 2000 && g_shellCall.count <= i; ++wait)
                        Sleep(10);
                }
                RECT ok = test::WindowRect(GetDlgItem(box, IDOK));
                test::ClickAt((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
            }
            done = true;
        });
        session.Command(ID_APP_ABOUT); // returns when the box has closed
        visitor.join();
        return seen;
    }
};

TEST_F(AboutBoxTest, ShowsTheProgramsOwnVersionAndOpensTheWebSite)
{
    test::LauncherSession session;
    Seen seen = RunAboutBox(session);
    EXPECT_EQ(seen.title, "About Velmora");
    EXPECT_TRUE(seen.commonControls6);
    EXPECT_EQ(seen.text, "Velmora Launcher v" VELMORA_VERSION_TEXT "\rCopyright (C) 2026 Quillon Software");
    EXPECT_EQ(g_shellCall.count, 2);
    EXPECT_EQ(g_shellCall.verb, "open");
    EXPECT_EQ(g_shellCall.file, CAboutBox::kWebAddress);
    EXPECT_EQ(g_shellCall.show, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(session.hwnd()));
}

TEST_F(AboutBoxTest, AProgramWithoutAVersionRecordShowsNotFound)
{
    test::LauncherSession session;
    const char* ownName = AfxGetApp()->m_pszExeName;
    AfxGetApp()->m_pszExeName = "no_version"; // the box reads <program name>.EXE
    Seen seen = RunAboutBox(session);
    AfxGetApp()->m_pszExeName = ownName;
    EXPECT_EQ(seen.text, "Velmora Launcher vnot found\rCopyright (C) 2026 Quillon Software");
}

} // namespace
