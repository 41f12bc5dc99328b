// A DLL named as a system one, as someone might plant it beside the launcher: it records being loaded
// (in the file VELMORA_PLANTED_MARK names) and offers the one function the launcher would call.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    char mark[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("VELMORA_PLANTED_MARK", mark, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && length && length < MAX_PATH) {
        HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DirectSoundCreate(const GUID*, void**, void*)
{
    return E_FAIL;
}
