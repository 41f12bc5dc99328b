// The program's entry point and its one application object.
#include "LauncherApp.h"

CLauncherVlm2001App theApp;

namespace {

// DLLs that are loaded by name from here on (the delay-loaded system ones among them) come from the
// system folder only, never from the launcher's folder or the current one, where anyone might have put
// one of that name. Looked up at run time: a Windows without it still starts, searching as before.
void LoadDllsFromTheSystemFolderOnly()
{
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDirectories>(
                   reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set)
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    LoadDllsFromTheSystemFolderOnly();
    return AfxWinMain(instance, commandLine, showCommand);
}
