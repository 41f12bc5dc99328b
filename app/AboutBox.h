// The About box: the launcher's version, read from its own version record, and the maker's web site.
#pragma once

#include "framework/Dialog.h"

class CAboutBox : public CDialog {
public:
    CAboutBox();

    BOOL OnInitDialog() override;

    // How the web button asks the shell to open an address; tests replace it to see the call.
    using ShellOpen = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static ShellOpen s_shellOpen;
    static const char* const kWebAddress;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void OnVisitWebSite();

private:
    static const MessageEntry messageEntries[];
};
