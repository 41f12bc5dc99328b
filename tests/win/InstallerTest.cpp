// The release installer, run silently as a user would script it: install, start from the shortcut, uninstall.
#include "Harness.h"
#include "RunningLauncher.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
constexpr const char* kDocumentClass = "Software\\Classes\\VelmoraLauncher.Document";
constexpr const char* kShortcutName = "Velmora Launcher.lnk";
constexpr DWORD kProcessTimeoutMs = 120000;
constexpr DWORD kWindowTimeoutMs = 60000;

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file under `folder`, by path relative to it, with its size.
void ListFiles(const std::string& folder, const std::string& relative, std::map<std::string, DWORD>& files)
{
    std::string here = relative.empty() ? folder : folder + "\\" + relative;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((here + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string child = relative.empty() ? name : relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(folder, child, files);
        else
            files[child] = found.nFileSizeLow;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

using test::DeleteTree;

// Runs a command line to its end; false if it could not start or did not end in time.
bool RunToEnd(const std::string& commandLine, DWORD& exitCode)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    bool ended = WaitForSingleObject(info.hProcess, kProcessTimeoutMs) == WAIT_OBJECT_0
        && GetExitCodeProcess(info.hProcess, &exitCode);
    if (!ended)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    return ended;
}

std::string ProgramsShortcut()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\" + kShortcutName;
}

struct Shortcut {
    bool read = false;
    std::string target, workingFolder;
};

Shortcut ReadShortcut(const std::string& path)
{
    Shortcut shortcut;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(
            CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link))))
        return shortcut;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring widePath(path.begin(), path.end());
        char target[MAX_PATH] = "", folder[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(widePath.c_str(), STGM_READ))
            && SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))
            && SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH))) {
            shortcut = { true, target, folder };
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

std::optional<std::string> ReadString(const std::string& path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char value[1024] = "";
    DWORD type = 0, size = sizeof value - 1;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return std::string(value);
}

std::optional<std::string> ReadUninstallString(const char* name)
{
    return ReadString(kUninstallKey, name);
}

// The command the shell runs to open a document, as the launcher registers it.
std::optional<std::string> DocumentOpenCommand()
{
    return ReadString(std::string(kDocumentClass) + "\\shell\\open\\command", nullptr);
}

bool UninstallKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

using test::FrameReady;

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        const char* setup = std::getenv("VELMORA_SETUP");
        ASSERT_NE(setup, nullptr) << "VELMORA_SETUP names the installer";
        m_setup = setup;
        // A fresh folder on C: without spaces: wine ignores a /D= path with spaces.
        char name[64];
        wsprintfA(name, "C:\\VelmoraInstallTest%08lX", GetTickCount() ^ (GetCurrentProcessId() << 16));
        m_folder = name;
        ASSERT_FALSE(Exists(m_folder));
        ASSERT_FALSE(Exists(ProgramsShortcut())) << "an earlier install is still there";
        ASSERT_FALSE(UninstallKeyExists()) << "an earlier install is still there";
        ASSERT_EQ(test::FindFrame(), nullptr) << "a launcher is already running";
        test::ClearSettings();
        m_cleanUp = true;
    }

    void TearDown() override
    {
        if (m_launcher) {
            if (WaitForSingleObject(m_launcher, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_launcher, 1);
            CloseHandle(m_launcher);
        }
        if (HWND game = FindWindowA("VelmoraStandInGame", nullptr))
            PostMessageA(game, WM_CLOSE, 0, 0);
        // Leaves the prefix as it was even when a step failed.
        if (m_cleanUp) {
            if (Exists(m_folder))
                DeleteTree(m_folder);
            DeleteFileA(ProgramsShortcut().c_str());
            RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
            RegDeleteTreeA(HKEY_CURRENT_USER, kDocumentClass);
            test::ClearSettings();
        }
        CoUninitialize();
    }

    // Starts the installed launcher through its Start-menu shortcut, as a user does, and waits until its frame
    // takes the keyboard.
    HWND StartFromShortcut(const std::string& shortcut)
    {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = "open";
        info.lpFile = shortcut.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExA(&info))
            return nullptr;
        // Wine starts a shortcut's target through a helper and hands back no process: find it by its frame.
        m_launcher = info.hProcess;
        HWND frame = nullptr;
        if (!test::WaitFor([&] { return FrameReady(frame = test::FindFrame()); }, kWindowTimeoutMs))
            return nullptr;
        if (!m_launcher) {
            DWORD processId = 0;
            GetWindowThreadProcessId(frame, &processId);
            m_launcher = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
        }
        return m_launcher ? frame : nullptr;
    }

    std::string m_setup, m_folder;
    HANDLE m_launcher = nullptr;
    bool m_cleanUp = false; // set once the prefix is known to hold no install of its own
};

TEST_F(InstallerTest, InstallsStartsAGameFromTheShortcutAndUninstalls)
{
    const std::string shortcut = ProgramsShortcut();
    test::WriteSetting("InstallerTestKeeps", 1234); // stands for the user's settings

    DWORD exitCode = 1;
    ASSERT_TRUE(RunToEnd("\"" + m_setup + "\" /S /D=" + m_folder, exitCode));
    EXPECT_EQ(exitCode, 0u);

    // Everything assembled for a user is installed, byte for byte the same size, plus the uninstaller.
    std::map<std::string, DWORD> assembled, installed;
    ListFiles(test::InstallFolder(), "", assembled);
    ListFiles(m_folder, "", installed);
    ASSERT_TRUE(assembled.count("Velmora.exe"));
    ASSERT_TRUE(assembled.count("chess\\chess.exe"));
    EXPECT_TRUE(installed.count("uninstall.exe"));
    installed.erase("uninstall.exe");
    EXPECT_EQ(installed, assembled);

    Shortcut link = ReadShortcut(shortcut);
    ASSERT_TRUE(link.read) << shortcut;
    EXPECT_EQ(link.target, m_folder + "\\Velmora.exe");
    EXPECT_EQ(link.workingFolder, m_folder);

    auto uninstallString = ReadUninstallString("UninstallString");
    ASSERT_TRUE(uninstallString);
    EXPECT_EQ(*uninstallString, "\"" + m_folder + "\\uninstall.exe\"");
    EXPECT_EQ(ReadUninstallString("InstallLocation"), m_folder);

    {
        test::TempFolder temp;
        test::StandInLog log(temp.path());
        HWND frame = StartFromShortcut(shortcut);
        ASSERT_NE(frame, nullptr);

        // &Launch, fourth item: Chess, found relative to the shortcut's working folder.
        test::PressKey('L', true);
        for (int i = 0; i < 3; ++i)
            test::PressKey(VK_DOWN);
        test::PressKey(VK_RETURN);
        HWND game = nullptr;
        ASSERT_TRUE(
            test::WaitFor([&] { return (game = FindWindowA("VelmoraStandInGame", "Chess")) && IsWindowVisible(game); },
                kWindowTimeoutMs));
        RECT rect = test::WindowRect(game);
        test::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        EXPECT_TRUE(test::WaitFor([&] { return FrameReady(frame); }, kWindowTimeoutMs));

        auto starts = log.Starts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].folder, m_folder + "\\chess");
        EXPECT_EQ(starts[0].executable, m_folder + "\\chess\\chess.exe");

        PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(m_launcher, kProcessTimeoutMs), WAIT_OBJECT_0);
    }

    // As Windows' list of programs runs it: the copy it makes of itself removes the folder, then the entry.
    EXPECT_EQ(DocumentOpenCommand(), "\"" + m_folder + "\\Velmora.exe\" \"%1\"");
    ASSERT_TRUE(RunToEnd(*uninstallString + " /S", exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(test::WaitFor([&] { return !UninstallKeyExists(); }, kProcessTimeoutMs));
    EXPECT_FALSE(DocumentOpenCommand()) << "the document type still opens the removed exe";
    EXPECT_TRUE(test::WaitFor([&] { return !Exists(m_folder); }, kProcessTimeoutMs)) << m_folder << " is still there";
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_EQ(test::ReadSetting("InstallerTestKeeps"), 1234u);
}

// Whatever the user added to the install folder outlives the uninstaller, and so does the folder holding it.
TEST_F(InstallerTest, UninstallLeavesTheUsersOwnFiles)
{
    DWORD exitCode = 1;
    ASSERT_TRUE(RunToEnd("\"" + m_setup + "\" /S /D=" + m_folder, exitCode));
    ASSERT_EQ(exitCode, 0u);
    std::string own = m_folder + "\\chess\\my game.sav";
    HANDLE file = CreateFileA(own.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    // The document type as a portable copy elsewhere registered it.
    const std::string portable = "\"C:\\Portable\\Velmora.exe\" \"%1\"";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(kDocumentClass) + "\\shell\\open\\command").c_str(),
                  nullptr, REG_SZ, portable.c_str(), DWORD(portable.size() + 1)),
        ERROR_SUCCESS);

    // With _?= the uninstaller runs in place and to its end.
    ASSERT_TRUE(RunToEnd("\"" + m_folder + "\\uninstall.exe\" /S _?=" + m_folder, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_EQ(DocumentOpenCommand(), portable);
    EXPECT_FALSE(Exists(ProgramsShortcut()));
    EXPECT_TRUE(Exists(own));
    EXPECT_FALSE(Exists(m_folder + "\\chess\\chess.exe"));
    EXPECT_FALSE(Exists(m_folder + "\\Velmora.exe"));
    EXPECT_FALSE(Exists(m_folder + "\\go"));
}

// A running launcher (hidden while its game runs) or a game started on its own holds its exe: an upgrade or an
// uninstall then fails with exit code 2 and leaves the install exactly as it was.
TEST_F(InstallerTest, WhileTheLauncherOrAGameRunsSetupAndUninstallChangeNothing)
{
    const std::string install = "\"" + m_setup + "\" /S /D=" + m_folder;
    const std::string uninstall = "\"" + m_folder + "\\uninstall.exe\" /S _?=" + m_folder;
    DWORD exitCode = 1;
    ASSERT_TRUE(RunToEnd(install, exitCode));
    ASSERT_EQ(exitCode, 0u);
    // Stands for an older install: its version, and a game it did not have (copied before Chess).
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion", REG_SZ, "0.9", 4), ERROR_SUCCESS);
    const std::string missingGame = m_folder + "\\backgammon\\backgammon.exe";
    ASSERT_TRUE(DeleteFileA(missingGame.c_str()));

    auto refusedAndUnchanged = [&](const std::string& commandLine, const char* what) {
        DWORD code = 0;
        ASSERT_TRUE(RunToEnd(commandLine, code)) << what;
        EXPECT_EQ(code, 2u) << what;
        EXPECT_EQ(ReadUninstallString("DisplayVersion"), "0.9") << what;
        EXPECT_FALSE(Exists(missingGame)) << what;
        for (const char* file : { "\\Velmora.exe", "\\chess\\chess.exe", "\\reversi\\reversi.exe", "\\uninstall.exe" })
            EXPECT_TRUE(Exists(m_folder + file)) << what << ": " << file;
        EXPECT_TRUE(Exists(ProgramsShortcut())) << what;
    };
    {
        test::RunningLauncher launcher(m_folder, "", m_folder + "\\Velmora.exe");
        ASSERT_NE(launcher.WaitForFrame(), nullptr);
        refusedAndUnchanged(install, "setup while the launcher runs");
        refusedAndUnchanged(uninstall, "uninstall while the launcher runs");
        EXPECT_EQ(DocumentOpenCommand(), "\"" + m_folder + "\\Velmora.exe\" \"%1\"");
    }

    test::StandInGame chess(m_folder + "\\chess\\chess.exe");
    ASSERT_TRUE(chess.started());
    EXPECT_TRUE(test::WaitFor([] { return FindWindowA("VelmoraStandInGame", "Chess") != nullptr; }, kWindowTimeoutMs));
    refusedAndUnchanged(install, "setup while a game runs");
    refusedAndUnchanged(uninstall, "uninstall while a game runs");
}

} // namespace
