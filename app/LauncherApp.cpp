// Start-up of the launcher: settings identity, document template, hidden frame, then showing it.
#include "LauncherApp.h"

#include "AboutBox.h"
#include "LauncherDoc.h"
#include "MainFrame.h"
#include "framework/Exceptions.h"
#include "res/resource.h"
#include "view/LauncherView.h"
#include "view/SplashPictureWnd.h"

#include <cstdlib>
#include <cstring>

const MessageEntry CLauncherVlm2001App::messageEntries[] = {
    OnCommand<ID_APP_ABOUT, &CLauncherVlm2001App::OnAppAbout>(),
    OnCommand<ID_ONLINE_HELP, &CLauncherVlm2001App::OnOnlineHelp>(),
    OnCommand<ID_FILE_NEW, &CWinApp::OnFileNew>(),
    OnCommand<ID_FILE_OPEN, &CWinApp::OnFileOpen>(),
};
const MessageMap CLauncherVlm2001App::messageMap = MakeMessageMap(&CWinApp::messageMap, messageEntries);

CLauncherVlm2001App::CLauncherVlm2001App() = default;

CLauncherVlm2001App* LauncherApp()
{
    return static_cast<CLauncherVlm2001App*>(AfxGetApp());
}

CMainFrame* LauncherFrame()
{
    return static_cast<CMainFrame*>(AfxGetMainWnd());
}

BOOL CLauncherVlm2001App::InitInstance()
{
    {
        CCommandLineInfo startup;
        ParseCommandLine(startup);
        CSplashPictureWnd::EnableSplash(startup.m_bShowSplash);
    }
    SetRegistryKey(IDS_COMPANY);
    SetProfileName();
    LoadStdProfileSettings(4);

    AddDocTemplate(CSingleDocTemplate::Make<CLauncherVlm2001Doc, CMainFrame, CLauncherVlm2001View>(IDR_MAINFRAME));
    RegisterShellFileTypes(TRUE);

    // The frame is created hidden; it is first shown at its stored place.
    m_nCmdShow = SW_HIDE;
    CCommandLineInfo command;
    ParseCommandLine(command);
    if (!ProcessShellCommand(command))
        return FALSE;
    LauncherFrame()->InitSound();

    // Without start-up pictures (switched off, or none could be shown) nothing else shows the frame.
    if (!CSplashPictureWnd::IsShowing())
        LauncherFrame()->ShowRestored();
    return TRUE;
}

BOOL CLauncherVlm2001App::PreTranslateMessage(MSG* msg)
{
    if (CSplashPictureWnd::FilterStartupMessage(msg))
        return TRUE;
    return CWinApp::PreTranslateMessage(msg);
}

void CLauncherVlm2001App::OnAppAbout()
{
    CAboutBox about;
    about.DoModal();
}

void CLauncherVlm2001App::OnOnlineHelp()
{
    WinHelp(0, HELP_CONTENTS);
}

void CLauncherVlm2001App::SetProfileName()
{
    CString name = LoadResourceString(IDS_PROFILE_NAME);
    char* copy = ::_strdup(name);
    if (!copy)
        AfxThrowMemoryException();
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = copy;
}
