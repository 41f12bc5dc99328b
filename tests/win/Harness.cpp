// Helpers shared by the Windows tests.
#include "Harness.h"

#include "framework/WinApp.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace test {

namespace {

constexpr const char* kSettingsKey = "Software\\Quillon Software\\Velmora1\\Launcher\\Game Settings";
constexpr const char* kCompanyKey = "Software\\Quillon Software";

} // namespace

void DeleteTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam)); // leave it for whoever waits for the end
            return;
        }
        CWinApp* app = AfxGetApp();
        if (app && app->PreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ClearSettings()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
}

void WriteSettingRaw(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteSetting(const char* name, DWORD value)
{
    WriteSettingRaw(name, REG_DWORD, &value, sizeof value);
}

std::optional<DWORD> ReadSetting(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return value;
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool complete = WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(handle);
    return complete;
}

double NowMs()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

TempFolder::TempFolder()
{
    char base[MAX_PATH], name[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    GetTempFileNameA(base, "vlm", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    m_path = name;
}

TempFolder::~TempFolder()
{
    // Windows removes no folder that is current: a case that worked in this one steps out first.
    if (CurrentFolder().compare(0, m_path.size(), m_path) == 0)
        SetCurrentDirectoryA((m_path + "\\..").c_str());
    DeleteTree(m_path);
}

StandInLog::StandInLog(const std::string& folder)
    : m_path(folder + "\\standin.log")
{
    DeleteFileA(m_path.c_str());
    SetEnvironmentVariableA("VELMORA_STANDIN_LOG", m_path.c_str());
}

StandInLog::~StandInLog()
{
    SetEnvironmentVariableA("VELMORA_STANDIN_LOG", nullptr);
}

std::vector<StandInLog::Start> StandInLog::Starts() const
{
    std::vector<Start> starts;
    FILE* file = std::fopen(m_path.c_str(), "rb");
    if (!file)
        return starts;
    char line[2048];
    while (std::fgets(line, sizeof line, file)) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        std::size_t first = text.find('\t'), second = text.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        starts.push_back(
            { text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1) });
    }
    std::fclose(file);
    return starts;
}

std::string InstallFolder()
{
    const char* folder = std::getenv("VELMORA_INSTALL_DIR");
    return folder ? folder : "";
}

void InstallStandIn(const std::string& folder, const std::string& name)
{
    std::string target = folder + "\\" + name;
    CreateDirectoryA(target.c_str(), nullptr);
    CopyFileA((InstallFolder() + "\\chess\\chess.exe").c_str(), (target + "\\" + name + ".exe").c_str(), FALSE);
}

StandInGame::StandInGame(const std::string& exe)
{
    std::string commandLine = exe;
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(
            exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        m_process = info.hProcess;
    }
}

StandInGame::~StandInGame()
{
    if (!m_process)
        return;
    TerminateProcess(m_process, 0);
    WaitForSingleObject(m_process, 20000); // its exe stays locked until it has gone
    CloseHandle(m_process);
}

std::string CurrentFolder()
{
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

velmora::ButtonRects ButtonsInClient(HWND view, int side)
{
    RECT client = {};
    GetClientRect(view, &client);
    return velmora::ComputeButtonLayout(client.right, client.bottom, side, side);
}

namespace {

// One counter at a time: the hook procedure has nowhere else to find it.
HWND g_countedWindow;
UINT g_countedMessage;
int g_count;

LRESULT CALLBACK CountMessages(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_countedWindow && message->message == g_countedMessage)
        ++g_count;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

MessageCounter::MessageCounter(HWND window, UINT message)
{
    g_countedWindow = window;
    g_countedMessage = message;
    g_count = 0;
    m_hook = SetWindowsHookExA(WH_CALLWNDPROC, &CountMessages, nullptr, GetCurrentThreadId());
}

MessageCounter::~MessageCounter()
{
    UnhookWindowsHookEx(m_hook);
}

int MessageCounter::count() const
{
    return g_count;
}

ImportPatch::ImportPatch(const char* dll, const char* function, const void* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            Install(reinterpret_cast<const void**>(&slots->u1.Function), replacement);
            return;
        }
    }
}

ImportPatch::ImportPatch(const void* stub, const void* replacement)
{
    // The linker's stub is one `jmp [slot]`: an absolute address on i686, relative to the next instruction
    // on x86_64.
    const auto* code = static_cast<const BYTE*>(stub);
    if (code[0] != 0xFF || code[1] != 0x25)
        return;
    std::int32_t operand = 0;
    std::memcpy(&operand, code + 2, sizeof operand);
#ifdef _WIN64
    auto slot = reinterpret_cast<std::uintptr_t>(code + 6) + std::uintptr_t(std::intptr_t(operand));
#else
    auto slot = std::uintptr_t(std::uint32_t(operand));
#endif
    Install(reinterpret_cast<const void**>(slot), replacement);
}

ImportPatch::~ImportPatch()
{
    if (m_slot)
        Write(m_original);
}

void ImportPatch::Install(const void** slot, const void* replacement)
{
    m_slot = slot;
    m_original = *slot;
    Write(replacement);
}

void ImportPatch::Write(const void* target)
{
    DWORD protection = 0;
    VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &protection);
    *m_slot = target;
    VirtualProtect(m_slot, sizeof *m_slot, protection, &protection);
}

void PressKey(WORD key, bool alt, bool ctrl)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (ctrl)
        add(VK_CONTROL, false);
    if (alt)
        add(VK_MENU, false);
    add(key, false);
    add(key, true);
    if (alt)
        add(VK_MENU, true);
    if (ctrl)
        add(VK_CONTROL, true);
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeText(const std::string& text)
{
    std::vector<INPUT> inputs;
    for (unsigned char c : text)
        for (DWORD up : { DWORD(0), DWORD(KEYEVENTF_KEYUP) }) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The absolute input coordinate of pixel `position` on an `extent`-pixel screen: rounded up, since the
// way back to pixels rounds down (else the move lands a pixel short of where SetCursorPos put it).
namespace {
LONG AbsoluteCoordinate(int position, int extent)
{
    return LONG((position * 65536LL + extent - 1) / extent);
}
} // namespace

void MovePointer(int x, int y)
{
    SetCursorPos(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = AbsoluteCoordinate(x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = AbsoluteCoordinate(y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void ClickAt(int x, int y)
{
    // The move travels in the same input batch as the press, so the press cannot land where the
    // pointer was before.
    SetCursorPos(x, y);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = AbsoluteCoordinate(x, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = AbsoluteCoordinate(y, GetSystemMetrics(SM_CYSCREEN));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

void LauncherTest::SetUp()
{
    ClearSettings();
}

void LauncherTest::TearDown()
{
    SetCurrentDirectoryA(m_previousFolder.c_str());
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", nullptr);
    ClearSettings();
}

bool LauncherTest::DisplayIs(int width, int height)
{
    return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

} // namespace test
