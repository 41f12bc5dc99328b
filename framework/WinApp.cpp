// The application object: start-up, message loop, profile, file commands and shell registration.
#include "WinApp.h"

#include "Exceptions.h"
#include "FrameWnd.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

namespace {

CWinApp* g_app = nullptr;

// Replaces an owned heap copy (strdup) with a copy of `text`.
void ReplaceCopy(const char*& owned, const char* text)
{
    char* copy = ::_strdup(text);
    if (!copy)
        AfxThrowMemoryException();
    std::free(const_cast<char*>(owned));
    owned = copy;
}

// The program file's full path, or an empty string when it cannot be had.
std::string ModulePath()
{
    char path[MAX_PATH] = "";
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

// Windows rules for splitting a command line, applied to the arguments only.
std::vector<std::string> SplitArguments(const char* commandLine)
{
    std::string line = std::string("x ") + (commandLine ? commandLine : "");
    int wideLength = ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, nullptr, 0);
    std::wstring wide(wideLength, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), wideLength);
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; argv && i < count; ++i) {
        int bytes = ::WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(bytes > 0 ? bytes - 1 : 0, '\0');
        ::WideCharToMultiByte(CP_ACP, 0, argv[i], -1, argument.data(), bytes, nullptr, nullptr);
        arguments.push_back(std::move(argument));
    }
    ::LocalFree(argv);
    return arguments;
}

// An open registry key, closed when it goes out of scope.
class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    // Opens `path` under HKEY_CURRENT_USER to read, or creates it to write.
    bool Open(const std::string& path, bool create)
    {
        LONG status = create
            ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &m_key, nullptr)
            : ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_key);
        return status == ERROR_SUCCESS;
    }
    bool SetValue(const char* name, DWORD type, const void* data, DWORD size)
    {
        return ::RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool SetDefaultValue(const std::string& path, const std::string& value)
{
    RegKey key;
    return key.Open("Software\\Classes\\" + path, true)
        && key.SetValue(nullptr, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

std::string SectionPath(const CWinApp& app, const char* section)
{
    return std::string("Software\\") + app.m_pszRegistryKey + "\\" + app.m_pszProfileName + "\\" + section;
}

// Opens the profile's `section` into `key`, to read or (created) to write; false before SetRegistryKey.
bool OpenSection(RegKey& key, const CWinApp& app, const char* section, bool create)
{
    return app.m_pszRegistryKey && key.Open(SectionPath(app, section), create);
}

constexpr const char* kRecentFileSection = "Recent File List";

} // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HWND MainWindowHandle()
{
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

void CCommandLineInfo::ParseParam(const char* param, BOOL flag)
{
    if (!flag) {
        if (m_strFileName.IsEmpty()) {
            m_strFileName = param;
            m_nShellCommand = FileOpen;
        }
        return;
    }
    // An OLE start has no splash; this program has no server to wait for, so it still opens its window.
    if (::lstrcmpiA(param, "Embedding") == 0 || ::lstrcmpiA(param, "Automation") == 0)
        m_bShowSplash = FALSE;
}

const MessageEntry CWinApp::messageEntries[] = {
    OnCommand<ID_APP_EXIT, &CWinApp::OnAppExit>(),
};
const MessageMap CWinApp::messageMap = MakeMessageMap(&CCmdTarget::messageMap, messageEntries);

CWinApp::CWinApp(const char* appName)
{
    g_app = this;
    std::string module = ModulePath();
    std::string name = module.substr(module.find_last_of("\\/") + 1);
    m_exeName = name.substr(0, name.rfind('.'));
    m_helpPath = module.substr(0, module.size() - (name.size() - m_exeName.str().size())) + ".HLP";
    m_appName = appName ? CString(appName) : LoadResourceString(AFX_IDS_APP_TITLE);
    if (m_appName.IsEmpty())
        m_appName = m_exeName;
    m_pszAppName = m_appName;
    m_pszExeName = m_exeName;
}

CWinApp::~CWinApp()
{
    std::free(const_cast<char*>(m_pszRegistryKey));
    std::free(const_cast<char*>(m_pszProfileName));
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    ExitInstance();
    return int(msg.wParam);
}

int CWinApp::ExitInstance()
{
    if (m_nMaxRecentFiles) {
        WriteProfileString(kRecentFileSection, nullptr, nullptr);
        for (std::size_t i = 0; i < m_recentFiles.size(); ++i)
            WriteProfileString(kRecentFileSection, ("File" + std::to_string(i + 1)).c_str(), m_recentFiles[i]);
        if (m_nNumPreviewPages)
            WriteProfileInt("Settings", "PreviewPages", m_nNumPreviewPages);
    }
    return 0;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    CWnd* main = m_pMainWnd;
    if (main && main->m_hWnd && (msg->hwnd == main->m_hWnd || ::IsChild(main->m_hWnd, msg->hwnd)))
        return main->PreTranslateMessage(msg);
    return FALSE;
}

LRESULT CWinApp::ProcessWndProcException(const char* description, const MSG& msg)
{
    if (msg.message == WM_CREATE)
        return -1;
    if (msg.message == WM_PAINT) {
        ::ValidateRect(msg.hwnd, nullptr);
        return 0;
    }
    ::MessageBoxA(MainWindowHandle(), description, m_pszAppName, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    for (const std::string& argument : SplitArguments(m_lpCmdLine)) {
        BOOL flag = argument[0] == '/' || argument[0] == '-';
        info.ParseParam(argument.c_str() + (flag ? 1 : 0), flag);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    if (info.m_nShellCommand == CCommandLineInfo::FileOpen)
        return m_pDocTemplate && m_pDocTemplate->OpenDocumentFile(info.m_strFileName) != nullptr;
    OnFileNew();
    return m_pMainWnd != nullptr;
}

void CWinApp::SetRegistryKey(UINT companyId)
{
    ReplaceCopy(m_pszRegistryKey, LoadResourceString(companyId));
    ReplaceCopy(m_pszProfileName, m_pszAppName);
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue)
{
    RegKey key;
    // Anything but a 32-bit number counts as absent: the value is the user's to edit.
    DWORD type = 0, value = 0, size = sizeof value;
    if (!OpenSection(key, *this, section, false)
        || ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof value)
        return UINT(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    RegKey key;
    DWORD data = DWORD(value);
    return OpenSection(key, *this, section, true) && key.SetValue(entry, REG_DWORD, &data, sizeof data);
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue)
{
    RegKey key;
    DWORD type = 0, size = 0;
    if (!OpenSection(key, *this, section, false)
        || ::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return defaultValue;
    std::string text(size, '\0');
    if (::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return defaultValue;
    text.resize(std::strlen(text.c_str())); // the stored text need not end in a NUL
    return CString(std::move(text));
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value)
{
    if (!entry)
        return m_pszRegistryKey
            && ::RegDeleteKeyA(HKEY_CURRENT_USER, SectionPath(*this, section).c_str()) == ERROR_SUCCESS;
    RegKey key;
    if (!OpenSection(key, *this, section, true))
        return FALSE;
    // No value removes the entry.
    if (!value)
        return ::RegDeleteValueA(key, entry) == ERROR_SUCCESS;
    return key.SetValue(entry, REG_SZ, value, DWORD(std::strlen(value) + 1));
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles)
{
    m_nMaxRecentFiles = maxRecentFiles;
    m_recentFiles.clear();
    for (UINT i = 1; i <= maxRecentFiles; ++i) {
        CString path = GetProfileString(kRecentFileSection, ("File" + std::to_string(i)).c_str());
        if (!path.IsEmpty())
            m_recentFiles.push_back(path);
    }
    m_nNumPreviewPages = int(GetProfileInt("Settings", "PreviewPages", 0));
}

void CWinApp::AddToRecentFileList(const char* path)
{
    if (!m_nMaxRecentFiles)
        return;
    for (auto it = m_recentFiles.begin(); it != m_recentFiles.end(); ++it)
        if (it->CompareNoCase(path) == 0) {
            m_recentFiles.erase(it);
            break;
        }
    m_recentFiles.insert(m_recentFiles.begin(), CString(path));
    if (m_recentFiles.size() > m_nMaxRecentFiles)
        m_recentFiles.resize(m_nMaxRecentFiles);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate)
{
    m_pDocTemplate = std::move(docTemplate);
}

void CWinApp::RegisterShellFileTypes(BOOL compatible)
{
    if (!m_pDocTemplate)
        return;
    CString typeId = m_pDocTemplate->GetDocString(CSingleDocTemplate::regFileTypeId);
    if (typeId.IsEmpty())
        return;
    CString typeName = m_pDocTemplate->GetDocString(CSingleDocTemplate::regFileTypeName);
    std::string program = ModulePath();
    if (program.empty())
        return;

    // Per user, so that no administrator rights are needed.
    if (!SetDefaultValue(typeId.str(), typeName.IsEmpty() ? typeId.str() : typeName.str()))
        return;
    if (compatible)
        SetDefaultValue(typeId.str() + "\\DefaultIcon", program + ",0");
    // Quoted: a path with spaces would otherwise name another program to the shell.
    SetDefaultValue(typeId.str() + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
}

void CWinApp::WinHelp(DWORD_PTR data, UINT command)
{
    ::WinHelpA(MainWindowHandle(), m_helpPath, command, data);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT titleId, BOOL open)
{
    CString title = LoadResourceString(titleId);
    // Name and pattern, each ending in a NUL; the string's own NUL ends the list.
    std::string filter = LoadResourceString(AFX_IDS_ALLFILTER).str() + '\0' + "*.*" + '\0';
    char file[MAX_PATH] = "";
    lstrcpynA(file, fileName, MAX_PATH);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = MainWindowHandle();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);

    // The games and sounds are found from the current directory, which the dialog may change.
    char directory[MAX_PATH];
    DWORD kept = ::GetCurrentDirectoryA(MAX_PATH, directory);
    BOOL chosen = open ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (kept && kept < MAX_PATH)
        ::SetCurrentDirectoryA(directory);
    if (chosen)
        fileName = file;
    return chosen;
}

void CWinApp::ReportError(UINT messageId)
{
    ::MessageBoxA(MainWindowHandle(), LoadResourceString(messageId), m_pszAppName, MB_OK | MB_ICONEXCLAMATION);
}

void CWinApp::OnFileNew()
{
    if (m_pDocTemplate)
        m_pDocTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CString path;
    if (m_pDocTemplate && DoPromptFileName(path, AFX_IDS_OPENFILE, TRUE))
        m_pDocTemplate->OpenDocumentFile(path);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        ::SendMessageA(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

int AfxWinMain(HINSTANCE, char* commandLine, int showCommand)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = showCommand;
    try {
        if (!app->InitInstance()) {
            if (app->m_pMainWnd)
                app->m_pMainWnd->DestroyWindow();
            return app->ExitInstance();
        }
    } catch (const CException& e) {
        ::MessageBoxA(nullptr, e.Describe(), app->m_pszAppName, MB_OK | MB_ICONSTOP);
        return -1;
    }
    return app->Run();
}
