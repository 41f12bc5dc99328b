// The About box's text and its web button.
#include "AboutBox.h"

#include "FileVersionReader.h"
#include "res/resource.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

CAboutBox::ShellOpen CAboutBox::s_shellOpen = &::ShellExecuteA;
const char* const CAboutBox::kWebAddress = "https://www.quillon-software.example/velmora/";

const MessageEntry CAboutBox::messageEntries[] = {
    OnCommand<IDC_WEB_SITE, &CAboutBox::OnVisitWebSite>(),
};
const MessageMap CAboutBox::messageMap = MakeMessageMap(&CDialog::messageMap, messageEntries);

CAboutBox::CAboutBox()
    : CDialog(IDD_ABOUTBOX)
{
}

BOOL CAboutBox::OnInitDialog()
{
    CDialog::OnInitDialog();

    CString fileName = CString(AfxGetApp()->m_pszExeName) + ".EXE";
    char version[48] = "not found";
    CFileVersionReader reader;
    if (reader.ReadVersion(fileName)) {
        const VS_FIXEDFILEINFO& info = reader.m_fileInfo;
        std::snprintf(version, sizeof version, "%d.%d.%d.%d", HIWORD(info.dwFileVersionMS),
            LOWORD(info.dwFileVersionMS), HIWORD(info.dwFileVersionLS), LOWORD(info.dwFileVersionLS));
    }

    // The text is a format with one "%s"; it is filled by hand so no other '%' can be misread.
    std::string text = LoadResourceString(IDS_ABOUT_TEXT).str();
    std::size_t slot = text.find("%s");
    if (slot != std::string::npos)
        text.replace(slot, 2, version);
    ::SetDlgItemTextA(m_hWnd, IDC_VERSION_TEXT, text.c_str());
    return TRUE;
}

void CAboutBox::OnVisitWebSite()
{
    s_shellOpen(nullptr, "open", kWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
}
