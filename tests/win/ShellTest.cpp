// Start-up details: the command line, the settings identity and the shell registration.
#include "Harness.h"
#include "LauncherSession.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// A text value of the current user's registry ("" names the key's default value).
std::string DefaultValue(const std::string& path, const char* name = "")
{
    char value[512] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "";
    return value;
}

std::string FirstRecentFile()
{
    return DefaultValue("Software\\Quillon Software\\Velmora1\\Launcher\\Recent File List", "File1");
}

struct OwnedSearch {
    HWND owner, found;
};
BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != search->owner)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible dialog owned by `owner` (a message box it shows), polled for up to 20 s, or null.
HWND WaitForOwnedDialog(HWND owner)
{
    OwnedSearch search = { owner, nullptr };
    for (int i = 0; i < 2000 && !search.found; ++i, Sleep(10))
        EnumThreadWindows(
            GetWindowThreadProcessId(owner, nullptr), &FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK AppendStaticText(HWND child, LPARAM data)
{
    char name[16] = "", line[256] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0 && GetWindowTextA(child, line, sizeof line) > 0)
        *reinterpret_cast<std::string*>(data) += line;
    return TRUE;
}

// The text of a message box (its static controls').
std::string MessageText(HWND box)
{
    std::string text;
    EnumChildWindows(box, &AppendStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Answers the next file dialog titled `title` from another thread: notes the name it offers, types
// `folder` and Enter, which browses there as a user would, then `name` and Enter; with no folder, cancels
// it with Esc. With ReplaceThenReport it then answers Yes to the question whether to replace the file and
// OK to the launcher's message that follows, noting both.
class FileDialogAnswer {
public:
    enum class Then { Nothing, ReplaceThenReport };
    explicit FileDialogAnswer(
        const char* title, std::string folder = "", std::string name = "", Then then = Then::Nothing)
        : m_thread([title, folder = std::move(folder), name = std::move(name), then, this] {
            HWND dialog = nullptr;
            for (int i = 0; i < 2000 && !(dialog = FindWindowA("#32770", title)); ++i)
                Sleep(10);
            if (!dialog)
                return;
            // Type only once the dialog has put the keyboard in one of its boxes.
            GUITHREADINFO gui = {};
            gui.cbSize = sizeof gui;
            for (int i = 0; i < 2000; ++i, Sleep(10))
                if (GetForegroundWindow() == dialog && GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui)
                    && gui.hwndFocus && IsChild(dialog, gui.hwndFocus))
                    break;
            char offered[MAX_PATH] = "";
            if (gui.hwndFocus)
                GetWindowTextA(gui.hwndFocus, offered, sizeof offered);
            m_offered = offered;
            if (folder.empty()) {
                test::PressKey(VK_ESCAPE);
            } else {
                test::TypeText(folder);
                test::PressKey(VK_RETURN); // keys are handled in order: the browse is done before the name
                test::TypeText(name);
                test::PressKey(VK_RETURN);
            }
            if (then == Then::ReplaceThenReport) {
                HWND question = WaitForOwnedDialog(dialog);
                if (question && GetDlgItem(question, IDYES)) {
                    m_askedToReplace = true;
                    PostMessageA(question, WM_COMMAND, IDYES, 0);
                }
                HWND report = nullptr;
                for (int i = 0; i < 2000 && !(report = FindWindowA("#32770", "Velmora Launcher")); ++i)
                    Sleep(10);
                if (report) {
                    m_report = MessageText(report);
                    PostMessageA(report, WM_COMMAND, IDOK, 0);
                }
            }
            m_answered = true;
        })
    {
    }
    ~FileDialogAnswer() { m_thread.join(); }
    bool answered() const { return m_answered; }
    // What the dialog noted; read once answered().
    const std::string& offered() const { return m_offered; }
    bool askedToReplace() const { return m_askedToReplace; }
    const std::string& report() const { return m_report; }

private:
    std::atomic<bool> m_answered { false };
    std::string m_offered, m_report;
    bool m_askedToReplace = false;
    std::thread m_thread;
};

DWORD FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : DWORD(-1);
}

// Ctrl+S with a document open asks for a name even so; cancelling the dialog saves nothing.
void ExpectSaveAsksForANameAndCancelWritesNothing(const test::LauncherSession& session)
{
    FileDialogAnswer cancel("Save As");
    test::PressKey('S', false, true);
    EXPECT_TRUE(test::WaitFor([&] { return cancel.answered() && IsWindowEnabled(session.hwnd()); }))
        << "no Save As dialog";
    test::PumpMessages();
}

// Ctrl+S offers no name; given the opened file's own, it asks whether to replace it, and a Yes is
// refused with the failed-save message.
void ExpectSavingOverTheOpenedFileIsRefused(
    const test::LauncherSession& session, const std::string& folder, const std::string& name)
{
    FileDialogAnswer answer("Save As", folder, name, FileDialogAnswer::Then::ReplaceThenReport);
    test::PressKey('S', false, true);
    ASSERT_TRUE(test::WaitFor([&] { return answer.answered() && IsWindowEnabled(session.hwnd()); }))
        << "no Save As dialog";
    test::PumpMessages();
    EXPECT_EQ(answer.offered(), "");
    EXPECT_TRUE(answer.askedToReplace());
    EXPECT_EQ(answer.report(), "Failed to save document.");
}

class ShellTest : public test::LauncherTest { };

TEST_F(ShellTest, EmbeddingAndAutomationStartsStillShowTheFrame)
{
    for (const char* line : { "/Embedding", "-Automation", "/embedding" }) {
        test::LauncherSession session(line);
        EXPECT_TRUE(IsWindowVisible(session.hwnd())) << line;
    }
}

TEST_F(ShellTest, AFileOnTheCommandLineOpensAsTheDocumentAndTheTitleStays)
{
    test::TempFolder temp;
    std::string file = temp.path() + "\\saved game.vlm";
    ASSERT_TRUE(test::WriteBytes(file, { 'd', 'a', 't', 'a' }));

    {
        test::LauncherSession session(("\"" + file + "\"").c_str());
        char title[64] = "";
        GetWindowTextA(session.hwnd(), title, sizeof title);
        EXPECT_STREQ(title, "Velmora Launcher");
        ExpectSavingOverTheOpenedFileIsRefused(session, temp.path(), "saved game.vlm");
    }
    EXPECT_EQ(FileSize(file), 4u);
    // The framework remembers the opened file in its recent-file list when it exits.
    EXPECT_EQ(FirstRecentFile(), file);
}

TEST_F(ShellTest, RegistersTheDocumentTypeForTheUser)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraLauncher.Document");
    test::LauncherSession session;
    EXPECT_EQ(DefaultValue("Software\\Classes\\VelmoraLauncher.Document"), "Velmora Launcher Document");
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string program = module;
    EXPECT_EQ(
        DefaultValue("Software\\Classes\\VelmoraLauncher.Document\\shell\\open\\command"), '"' + program + "\" \"%1\"");
    EXPECT_EQ(DefaultValue("Software\\Classes\\VelmoraLauncher.Document\\DefaultIcon"), program + ",0");
}

TEST_F(ShellTest, SettingsLieUnderTheCompanyAndTheTwoLevelProfile)
{
    {
        test::LauncherSession session;
        // Writing no value removes the entry.
        CWinApp* app = AfxGetApp();
        ASSERT_TRUE(app->WriteProfileString("Game Settings", "Note", "kept"));
        EXPECT_EQ(std::string(app->GetProfileString("Game Settings", "Note", "none")), "kept");
        EXPECT_TRUE(app->WriteProfileString("Game Settings", "Note", nullptr));
        EXPECT_EQ(std::string(app->GetProfileString("Game Settings", "Note", "none")), "none");
    }
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillon Software\\Velmora1\\Launcher\\Game Settings", 0,
                  KEY_READ, &key),
        ERROR_SUCCESS);
    RegCloseKey(key);
}

} // namespace

namespace {

TEST_F(ShellTest, SaveWritesAnEmptyFileAndKeepsTheCurrentDirectory)
{
    test::TempFolder temp;
    std::string folder = temp.path() + "\\elsewhere";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string file = folder + "\\saved.vlm";
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    {
        test::LauncherSession session;
        FileDialogAnswer answer("Save As", folder, "saved.vlm");
        test::PressKey('S', false, true); // Ctrl+S
        EXPECT_TRUE(test::WaitFor([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        EXPECT_EQ(test::CurrentFolder(), test::InstallFolder());
        char title[64] = "";
        GetWindowTextA(session.hwnd(), title, sizeof title);
        EXPECT_STREQ(title, "Velmora Launcher");
    }
    EXPECT_EQ(FileSize(file), 0u);
}

TEST_F(ShellTest, OpenReadsNothingAndKeepsTheCurrentDirectory)
{
    test::TempFolder temp;
    std::string folder = temp.path() + "\\elsewhere";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string file = folder + "\\old game.vlm";
    ASSERT_TRUE(test::WriteBytes(file, { 'd', 'a', 't', 'a' }));
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    {
        test::LauncherSession session;
        FileDialogAnswer answer("Open", folder, "old game.vlm");
        test::PressKey('O', false, true); // Ctrl+O
        EXPECT_TRUE(test::WaitFor([&] { return answer.answered() && IsWindowEnabled(session.hwnd()); }));
        test::PumpMessages();
        EXPECT_EQ(test::CurrentFolder(), test::InstallFolder());
        EXPECT_TRUE(IsWindowVisible(session.hwnd()));
        ExpectSaveAsksForANameAndCancelWritesNothing(session);
    }
    EXPECT_EQ(FileSize(file), 4u); // neither opening nor the cancelled save wrote anything
    EXPECT_EQ(FirstRecentFile(), file);
}

} // namespace
