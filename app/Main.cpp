// The program's entry point and its one application object.
#include "LauncherApp.h"

CLauncherVlm2001App theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, commandLine, showCommand);
}
