// CWinApp: start-up, the message loop, the per-user profile, the file commands and the shell registration.
#pragma once

#include "AfxRes.h"
#include "Document.h"
#include "MessageMap.h"
#include "String.h"

#include <memory>
#include <vector>

class CWnd;

// What the command line asks for.
class CCommandLineInfo {
public:
    enum Shell { FileNew, FileOpen };

    // One command-line argument; `flag` when it began with '/' or '-' (then without it).
    void ParseParam(const char* param, BOOL flag);

    BOOL m_bShowSplash = TRUE;
    Shell m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CCmdTarget {
public:
    // Without a name the application's title is string AFX_IDS_APP_TITLE.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once before the message loop; FALSE ends the program.
    virtual BOOL InitInstance() { return TRUE; }
    // The message loop; returns the program's exit code.
    int Run();
    // Called once after the message loop; writes the standard settings.
    int ExitInstance();
    // Called for every message before it is dispatched; TRUE when it was handled.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called when a handler throws: fails WM_CREATE, validates WM_PAINT, otherwise reports and goes on.
    LRESULT ProcessWndProcException(const char* description, const MSG& msg);

    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    // Settings live under HKEY_CURRENT_USER\Software\<company>\<profile name>.
    void SetRegistryKey(UINT companyId);
    void LoadStdProfileSettings(UINT maxRecentFiles);
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = "");
    // A null entry deletes the whole section.
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    void RegisterShellFileTypes(BOOL compatible);
    void AddToRecentFileList(const char* path);

    void WinHelp(DWORD_PTR data, UINT command);
    // The common file dialog; the process's current directory is kept whatever the user browses.
    BOOL DoPromptFileName(CString& fileName, UINT titleId, BOOL open);
    void ReportError(UINT messageId);

    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

    char* m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;
    const char* m_pszExeName;
    // Owned heap copies (strdup); an application may replace them with its own.
    const char* m_pszRegistryKey = nullptr;
    const char* m_pszProfileName = nullptr;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

private:
    static const MessageEntry messageEntries[];
    CString m_appName, m_exeName, m_helpPath;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    std::vector<CString> m_recentFiles;
    UINT m_nMaxRecentFiles = 0;
    int m_nNumPreviewPages = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The main window's handle, the owner of the program's boxes; null while there is none.
HWND MainWindowHandle();
// The program's entry: runs the one application object.
int AfxWinMain(HINSTANCE instance, char* commandLine, int showCommand);
