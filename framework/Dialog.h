// Modal dialogs from resource templates, with the same message maps as windows.
#pragma once

#include "WinApp.h"
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId)
        : m_nIDTemplate(templateId)
    {
    }

    // Runs the dialog, owned by the main window, until it ends; returns the value given to EndDialog, or -1
    // if it could not be shown.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // Called once the controls exist; TRUE lets the dialog give the focus to its first tab stop.
    virtual BOOL OnInitDialog() { return TRUE; }

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    // A dialog's default processing is the system's dialog procedure, which runs after ours.
    LRESULT DefWindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    void OnOK() { EndDialog(IDOK); }
    void OnCancel() { EndDialog(IDCANCEL); }

private:
    // The dialog procedure every dialog of ours shares.
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static const MessageEntry messageEntries[];
    UINT m_nIDTemplate;
};
