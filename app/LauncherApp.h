// The launcher's application object: start-up, the About and help commands.
#pragma once

#include "framework/WinApp.h"
#include "view/ViewHost.h"

class CMainFrame;

// Holds the view's registration (m_pLauncherView) for the frame.
class CLauncherVlm2001App : public CWinApp, public LauncherViewRegistry {
public:
    CLauncherVlm2001App();

    BOOL InitInstance() override;
    // Gives the start-up pictures the first look at every message.
    BOOL PreTranslateMessage(MSG* msg) override;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void OnAppAbout();
    void OnOnlineHelp();

private:
    // Replaces the profile name with the launcher's own, so settings lie under "Velmora1\Launcher".
    void SetProfileName();
    static const MessageEntry messageEntries[];
};

// The running application object.
CLauncherVlm2001App* LauncherApp();
// The launcher's main frame, or null before it exists and after it has gone.
CMainFrame* LauncherFrame();
