// Helpers for the Windows tests: the launcher's settings, polling, and the stand-in games' log.
#pragma once

#include "view/ButtonLayout.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace test {

// Thrown by a helper when the case cannot go on (the launcher did not start or show): the test
// framework reports its text as the case's failure and still runs the tear-down.
struct CannotGoOn : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Polls `condition` (pumping this thread's messages) until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// Processes every message waiting for this thread, as the application's loop would (accelerators too).
void PumpMessages();

// The launcher's settings section in the current user's registry.
void ClearSettings();
void WriteSetting(const char* name, DWORD value);
void WriteSettingRaw(const char* name, DWORD type, const void* data, DWORD size);
std::optional<DWORD> ReadSetting(const char* name);

// Removes a folder and everything in it.
void DeleteTree(const std::string& path);
// Writes `bytes` to a new file at `path`, replacing one there; false if it could not.
bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
// Milliseconds from a fine clock (GetTickCount moves in steps of 10-16 ms).
double NowMs();

// A fresh temporary folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// The stand-in games append "<command line>\t<current folder>\t<executable>" per start to this file;
// the object points VELMORA_STANDIN_LOG at it for processes started from now on.
class StandInLog {
public:
    explicit StandInLog(const std::string& folder);
    ~StandInLog();
    struct Start {
        std::string commandLine, folder, executable;
    };
    std::vector<Start> Starts() const;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// The folder the launcher and its twelve games are assembled in (from VELMORA_INSTALL_DIR).
std::string InstallFolder();
// Copies the stand-in game to <folder>\<name>\<name>.exe.
void InstallStandIn(const std::string& folder, const std::string& name);

// A stand-in game started on its own (not by the launcher) from its folder; ended when this goes.
class StandInGame {
public:
    explicit StandInGame(const std::string& exe);
    ~StandInGame();
    StandInGame(const StandInGame&) = delete;
    StandInGame& operator=(const StandInGame&) = delete;
    bool started() const { return m_process != nullptr; }

private:
    HANDLE m_process = nullptr;
};

std::string CurrentFolder();
RECT WindowRect(HWND window);
// The button rectangles in the view's client area now, for button pictures `side` pixels square.
velmora::ButtonRects ButtonsInClient(HWND view, int side);

// Counts the messages of one kind that reach a window of this thread while the object lives.
class MessageCounter {
public:
    MessageCounter(HWND window, UINT message);
    ~MessageCounter();
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;
    int count() const;

private:
    HHOOK m_hook;
};

// Points this program's import of `function` from `dll` at `replacement` while the object lives, so a
// test can make a system call fail or count it. The previous target stays reachable through original().
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, const void* replacement);
    // For a function the program calls through the linker's `jmp [slot]` stub, as it calls every
    // delay-loaded one (the linker registers no delay-import directory to look it up by name): patches
    // the slot that `stub` jumps through.
    ImportPatch(const void* stub, const void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool patched() const { return m_slot != nullptr; }
    template <class Function> Function original() const { return reinterpret_cast<Function>(m_original); }

private:
    void Install(const void** slot, const void* replacement);
    void Write(const void* target);
    const void** m_slot = nullptr;
    const void* m_original = nullptr;
};

// Presses and releases keys, mouse buttons and moves the pointer with real input.
void PressKey(WORD key, bool alt = false, bool ctrl = false);
void ClickAt(int x, int y);
// Moves the pointer to a screen position as the mouse would.
void MovePointer(int x, int y);
// Types ASCII text into whatever has the keyboard.
void TypeText(const std::string& text);

// The usual fixture: the launcher's settings cleared before and after each case, and afterwards the
// current folder put back and the stand-in games' exit delay unset.
class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static bool DisplayIs(int width, int height);

private:
    std::string m_previousFolder = CurrentFolder();
};

// A LauncherTest whose cases expect a desktop of this size, and fail on any other.
template <int Width, int Height> class DesktopTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        ASSERT_TRUE(DisplayIs(Width, Height)) << "runs on a " << Width << "x" << Height << " desktop, not "
                                              << GetSystemMetrics(SM_CXSCREEN) << "x" << GetSystemMetrics(SM_CYSCREEN);
    }
};

} // namespace test
