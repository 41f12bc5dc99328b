// Document file handling and the single-document template.
#include "Document.h"

#include "FrameWnd.h"
#include "WinApp.h"

namespace {

CString FullPath(const char* path)
{
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? full : path;
}

bool ReadFileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION& info)
{
    // No access asked and everything shared: works on a file others hold open, and changes nothing.
    HANDLE file = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool read = ::GetFileInformationByHandle(file, &info) != FALSE;
    ::CloseHandle(file);
    return read;
}

// Whether two names lead to one file: by volume and file index, so that another spelling, a short name or
// a link is caught too; by full path, ignoring case, where either cannot be read.
bool IsSameFile(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION first = {}, second = {};
    if (ReadFileIdentity(a, first) && ReadFileIdentity(b, second))
        return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber
            && first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    return FullPath(a).CompareNoCase(FullPath(b)) == 0;
}

} // namespace

const MessageEntry CDocument::messageEntries[] = {
    OnCommand<ID_FILE_SAVE, &CDocument::OnFileSave>(),
};
const MessageMap CDocument::messageMap = MakeMessageMap(&CCmdTarget::messageMap, messageEntries);

BOOL CDocument::OnOpenDocument(const char* path)
{
    if (!SerializeFile(path, false))
        return FALSE;
    m_strOpenedPath = FullPath(path);
    return TRUE;
}

BOOL CDocument::SerializeFile(const char* path, bool storing)
{
    HANDLE file = ::CreateFileA(path, storing ? GENERIC_WRITE : GENERIC_READ, storing ? 0 : FILE_SHARE_READ, nullptr,
        storing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        AfxGetApp()->ReportError(storing ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    CArchive archive;
    Serialize(archive);
    ::CloseHandle(file);
    return TRUE;
}

void CDocument::SetPathName(const char* path)
{
    AfxGetApp()->AddToRecentFileList(FullPath(path));
}

void CDocument::OnFileSave()
{
    // The document holds no data: saving writes an empty file, so only ever to a name the user has just
    // chosen (and confirmed, if it exists), never silently over the file that was opened.
    CString path;
    if (!AfxGetApp()->DoPromptFileName(path, AFX_IDS_SAVEFILE, FALSE))
        return;
    // Confirming the overwrite does not make the opened file ours to empty.
    if (!m_strOpenedPath.IsEmpty() && IsSameFile(path, m_strOpenedPath)) {
        AfxGetApp()->ReportError(AFX_IDP_FAILED_TO_SAVE_DOC);
        return;
    }
    if (SerializeFile(path, true))
        SetPathName(path);
}

CString CSingleDocTemplate::GetDocString(DocStringIndex index) const
{
    std::string text = LoadResourceString(m_nIDResource).str();
    std::size_t start = 0;
    for (int field = 0; field < index; ++field) {
        start = text.find('\n', start);
        if (start == std::string::npos)
            return CString();
        ++start;
    }
    return CString(text.substr(start, text.find('\n', start) - start));
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path)
{
    bool created = false;
    if (!m_pOnlyDoc) {
        m_pOnlyDoc = m_newDocument();
        m_pOnlyDoc->m_pDocTemplate = this;
        CCreateContext context = { m_newView, m_pOnlyDoc.get() };
        CFrameWnd* frame = m_newFrame();
        // A frame that fails to load has deleted itself.
        if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, &context)) {
            m_pOnlyDoc.reset();
            return nullptr;
        }
        m_pFrame = frame;
        created = true;
    }

    CDocument* document = m_pOnlyDoc.get();
    if (!(path ? document->OnOpenDocument(path) : document->OnNewDocument())) {
        if (created) {
            m_pFrame->DestroyWindow();
            CloseDocument();
        }
        return nullptr;
    }
    if (path)
        document->SetPathName(path);

    CWinApp* app = AfxGetApp();
    if (created && !app->m_pMainWnd)
        app->m_pMainWnd = m_pFrame;
    m_pFrame->InitialUpdateFrame(created);
    return document;
}
