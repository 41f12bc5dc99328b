// The real program, driven from outside with real input: start, placement, dragging, launching.
#include "Harness.h"
#include "RectAssert.h"
#include "RunningLauncher.h"
#include "res/resource.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using test::RectIs;
using test::WaitForGameWindow;

// Chooses the `position`-th item (from 0) of the &Launch menu with the keyboard.
void ChooseGameWithKeys(int position)
{
    test::PressKey('L', true);
    for (int i = 0; i < position; ++i)
        test::PressKey(VK_DOWN);
    test::PressKey(VK_RETURN);
}

// Chooses a game as ChooseGameWithKeys does and waits for its window, titled `title`; null if none came.
HWND StartGameWithKeys(int position, const char* title)
{
    ChooseGameWithKeys(position);
    return WaitForGameWindow(title);
}

// A message sent to a window from a thread of its own, so that a sender left waiting cannot block the test.
class SentMessage {
public:
    SentMessage(HWND window, UINT message)
        : m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr))
        , m_thread([this, window, message] {
            SendMessageA(window, message, 0, 0);
            SetEvent(m_done);
        })
    {
    }
    // Joins the sender, which returns at the latest when its receiver ends.
    ~SentMessage()
    {
        m_thread.join();
        CloseHandle(m_done);
    }
    SentMessage(const SentMessage&) = delete;
    SentMessage& operator=(const SentMessage&) = delete;
    bool AnsweredWithin(DWORD ms) const { return WaitForSingleObject(m_done, ms) == WAIT_OBJECT_0; }

private:
    HANDLE m_done;
    std::thread m_thread;
};

// Generous for one message between two processes on a busy machine; a launcher that does not answer
// while its game runs answers only when the game has ended.
constexpr DWORD kAnswerMs = 3000;

class EndToEndTest : public test::DesktopTest<1024, 768> { };

TEST_F(EndToEndTest, OpensAtItsPlaceAndStoresItWhenClosed)
{
    test::WriteSetting("WPSizeIndex", 1);
    test::WriteSetting("IDS_REG_LEFT", 100);
    test::WriteSetting("IDS_REG_TOP", 50);
    test::RunningLauncher launcher(test::InstallFolder());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 100, 50, 900, 650));

    SetWindowPos(frame, nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0); // what the close box and Alt+F4 send
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 1u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_LEFT"), 60u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_TOP"), 40u);
}

TEST_F(EndToEndTest, EmbeddingStartStillShowsTheFrame)
{
    test::RunningLauncher launcher(test::InstallFolder(), "/Embedding");
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 0, 0, 1024, 768));
}

TEST_F(EndToEndTest, LaunchesAGameFromTheMenuAndComesBackInFront)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(test::InstallFolder());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    HWND game = StartGameWithKeys(3, "Chess");
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));

    test::ClickToClose(game);
    EXPECT_TRUE(test::WaitFor([&] { return IsWindowVisible(frame) && GetForegroundWindow() == frame; }));
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, test::InstallFolder() + "\\chess");
}

// Whether `window` answers a message sent to it within kAnswerMs.
bool Answers(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerMs, &result) != 0;
}

// A screen reader's question, from a thread of its own: how many children the view's accessible object has.
struct ChildCountQuestion {
    HANDLE answered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<long> children { -1 };
    ~ChildCountQuestion() { CloseHandle(answered); }
};

std::shared_ptr<ChildCountQuestion> AskChildCount(HWND view)
{
    auto question = std::make_shared<ChildCountQuestion>();
    // Detached: a launcher that never answers must not hold the test up beyond its own checks.
    std::thread([question, view] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IAccessible* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(
                view, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object)))) {
            long children = -1;
            if (SUCCEEDED(object->get_accChildCount(&children)))
                question->children = children;
            object->Release();
        }
        CoUninitialize();
        SetEvent(question->answered);
    }).detach();
    return question;
}

// A game may send to every top-level window (a broadcast) and wait for the answers, the hidden launcher's
// included; the launcher answers while it waits for the game, a screen reader's questions too. Nothing
// sent or posted meanwhile changes the hidden frame or starts another game before the game has ended:
// commands and a close are taken up afterwards in the order they came, a display change is applied to
// the display as it is then, and keys queued meanwhile are dropped.
TEST_F(EndToEndTest, MessagesSentWhileAGameRunsAreAnsweredAndWhatTheyAskWaitsForTheGame)
{
    test::WriteSetting("WPSizeIndex", 1);
    test::WriteSetting("IDS_REG_LEFT", 10);
    test::WriteSetting("IDS_REG_TOP", 10);
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(test::InstallFolder(), "/Embedding");
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND view = test::ViewOfFrame(frame);
    ASSERT_TRUE(RectIs(test::WindowRect(frame), 10, 10, 810, 610));
    HWND game = StartGameWithKeys(3, "Chess");
    ASSERT_NE(game, nullptr);

    // Waiting for the game to become idle answers sent messages by itself, so go on asking for a while
    // after the game has shown its window: the launcher has long been in its wait for the game's end.
    std::unique_ptr<SentMessage> probe;
    DWORD start = GetTickCount();
    do {
        probe = std::make_unique<SentMessage>(frame, WM_NULL);
        if (!probe->AnsweredWithin(kAnswerMs))
            break;
        Sleep(20); // paces the questions; nothing is waited for here
    } while (GetTickCount() - start < 1500);
    EXPECT_TRUE(probe->AnsweredWithin(0)) << "the launcher did not answer while its game ran";

    auto question = AskChildCount(view);
    EXPECT_EQ(WaitForSingleObject(question->answered, 15000), DWORD(WAIT_OBJECT_0))
        << "a screen reader waited for the game";
    EXPECT_EQ(question->children.load(), 12);

    // Commands to the frame and to the view; keys that put the keys' highlight on Go and start it; a
    // display change to a game's own small mode; another program showing the frame.
    EXPECT_TRUE(Answers(frame, WM_COMMAND, ID_SIZE_LARGE));
    EXPECT_TRUE(Answers(view, WM_COMMAND, ID_SIZE_SMALL));
    for (WPARAM key : { VK_END, VK_UP, VK_RETURN })
        EXPECT_TRUE(Answers(view, WM_KEYDOWN, key, 1)) << key;
    EXPECT_TRUE(Answers(frame, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480)));
    ShowWindow(frame, SW_SHOW);
    // Keys that reach the launcher's queue now were meant for the game: Home and Enter would start Backgammon.
    PostMessageA(view, WM_KEYDOWN, VK_HOME, 1);
    PostMessageA(view, WM_KEYDOWN, VK_RETURN, 1);
    SentMessage close(frame, WM_CLOSE);
    EXPECT_TRUE(close.AnsweredWithin(kAnswerMs));

    EXPECT_TRUE(IsWindow(frame));
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 10, 10, 810, 610));
    EXPECT_TRUE(IsWindowVisible(game));
    EXPECT_EQ(log.Starts().size(), 1u);

    // Chess ends: the display change centres the medium frame on the display as it is, the sizes follow
    // in turn, then Go starts, and the close comes last.
    test::ClickToClose(game);
    HWND go = WaitForGameWindow("Go");
    ASSERT_NE(go, nullptr);
    EXPECT_FALSE(IsWindow(game));
    test::ClickToClose(go);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 0u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_LEFT"), DWORD((area.left + area.right) / 2 - 400 - area.left));
    EXPECT_EQ(test::ReadSetting("IDS_REG_TOP"), DWORD((area.top + area.bottom) / 2 - 300 - area.top));
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[1].commandLine, "go\\go.exe ");
}

// The shell's open command names the program by its full path in quotes, even in folders with spaces.
TEST_F(EndToEndTest, TheShellOpensDocumentsWithTheQuotedFullPath)
{
    test::TempFolder temp;
    std::string folder = temp.path() + "\\Ann Lee";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\Velmora Games";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string exe = folder + "\\Velmora.exe";
    ASSERT_TRUE(CopyFileA((test::InstallFolder() + "\\Velmora.exe").c_str(), exe.c_str(), FALSE));
    {
        test::RunningLauncher launcher(folder, "/Embedding", exe);
        ASSERT_TRUE(launcher.started());
        ASSERT_NE(launcher.WaitForFrame(), nullptr);
    }
    char command[MAX_PATH * 2] = "";
    DWORD size = sizeof command;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraLauncher.Document\\shell\\open\\command", "",
                  RRF_RT_REG_SZ, nullptr, command, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::string(command), "\"" + exe + "\" \"%1\"");
}

TEST_F(EndToEndTest, GamesComeFromTheCurrentDirectoryNotTheLaunchersFolder)
{
    test::TempFolder temp;
    test::InstallStandIn(temp.path(), "chess"); // backgammon is missing here
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(temp.path());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    ChooseGameWithKeys(0); // Backgammon: nothing to start, the frame comes straight back
    ASSERT_TRUE(launcher.WaitForFrame());
    HWND game = StartGameWithKeys(3, "Chess");
    ASSERT_NE(game, nullptr);
    test::ClickToClose(game);
    EXPECT_TRUE(launcher.WaitForFrame());

    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, temp.path() + "\\chess");
    EXPECT_EQ(starts[0].executable, temp.path() + "\\chess\\chess.exe");
}

// A portable copy unzipped into a folder others can write: a DLL of a system name planted beside it is
// never loaded, even where native DLLs are preferred, as Windows prefers them for all but its KnownDLLs.
TEST_F(EndToEndTest, ADllPlantedBesideTheLauncherIsNotLoaded)
{
    test::TempFolder temp;
    std::string exe = temp.path() + "\\Velmora.exe", mark = temp.path() + "\\planted-dll-loaded";
    ASSERT_TRUE(CopyFileA((test::InstallFolder() + "\\Velmora.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(VELMORA_PLANTED_DLL, (temp.path() + "\\dsound.dll").c_str(), FALSE));
    const char overrides[] = "Software\\Wine\\AppDefaults\\Velmora.exe\\DllOverrides";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, overrides, "dsound", REG_SZ, "native,builtin", 15), ERROR_SUCCESS);
    SetEnvironmentVariableA("VELMORA_PLANTED_MARK", mark.c_str());
    {
        // The sound device is opened at start, so the launcher has loaded dsound.dll once its frame is up.
        test::RunningLauncher launcher(test::InstallFolder(), "", exe);
        EXPECT_TRUE(launcher.started());
        EXPECT_NE(launcher.WaitForFrame(), nullptr);
    }
    SetEnvironmentVariableA("VELMORA_PLANTED_MARK", nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Velmora.exe");
    EXPECT_EQ(GetFileAttributesA(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted dsound.dll was loaded";
}

// What Windows reads from the installed program's manifest before it runs it.
TEST_F(EndToEndTest, TheManifestRunsItAsTheUserOnTodaysWindowsWithCommonControls6)
{
    std::string path = test::InstallFolder() + "\\Velmora.exe";
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest Windows can read";

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    ASSERT_TRUE(
        QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof level, nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_FALSE(level.UiAccess);

    // A buffer of what a query needs, filled by it.
    auto query = [&](ULONG informationClass, void* subject) {
        SIZE_T size = 0;
        QueryActCtxW(0, context, subject, informationClass, nullptr, 0, &size);
        std::vector<BYTE> buffer(size + sizeof(void*));
        if (!QueryActCtxW(0, context, subject, informationClass, buffer.data(), buffer.size(), &size))
            buffer.clear();
        return buffer;
    };
    std::vector<BYTE> compatibility = query(CompatibilityInformationInActivationContext, nullptr);
    ASSERT_FALSE(compatibility.empty());
    // As Windows 10 and Wine lay it out: each element ends with a highest version tested, which
    // MinGW's declaration does not have yet.
    struct Element {
        GUID id;
        ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
        ULONGLONG maxVersionTested;
    };
    struct Information {
        DWORD count;
        Element elements[1];
    };
    auto* systems = reinterpret_cast<const Information*>(compatibility.data());
    std::vector<std::string> named;
    for (DWORD i = 0; i < systems->count; ++i) {
        const GUID& id = systems->elements[i].id;
        char text[40];
        std::snprintf(text, sizeof text, "%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", id.Data1, id.Data2,
            id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
            id.Data4[7]);
        if (systems->elements[i].type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
            named.push_back(text);
    }
    EXPECT_EQ(named,
        (std::vector<std::string> { "e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
            "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
            "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a" }))
        << "Vista, 7, 8, 8.1, 10 and 11";

    // The assemblies it runs with: its own, then Common Controls 6.
    std::vector<BYTE> detail = query(ActivationContextDetailedInformation, nullptr);
    ASSERT_FALSE(detail.empty());
    DWORD assemblies = reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail.data())->ulAssemblyCount;
    bool commonControls6 = false;
    for (DWORD index = 1; index <= assemblies; ++index) {
        ACTIVATION_CONTEXT_QUERY_INDEX which = { index, 0 };
        std::vector<BYTE> assembly = query(AssemblyDetailedInformationInActivationContext, &which);
        if (assembly.empty())
            continue;
        const wchar_t* identity
            = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly.data())
                  ->lpAssemblyEncodedAssemblyIdentity;
        std::wstring text = identity ? identity : L"";
        commonControls6 |= text.find(L"Microsoft.Windows.Common-Controls") != std::wstring::npos
            && text.find(L"version=\"6.0.") != std::wstring::npos;
    }
    EXPECT_TRUE(commonControls6);

    // Unaware of the screen's DPI on purpose: its sizes are pixels.
    wchar_t dpiAware[16] = L"";
    SIZE_T written = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", dpiAware, 16, &written));
    EXPECT_STREQ(dpiAware, L"false");
    ReleaseActCtx(context);
}

} // namespace
