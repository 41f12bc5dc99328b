// The shared dialog procedure and modal runs.
#include "Dialog.h"

const MessageEntry CDialog::messageEntries[] = {
    OnMessage<WM_INITDIALOG, &CDialog::OnInitDialog>(),
    OnCommand<IDOK, &CDialog::OnOK>(),
    OnCommand<IDCANCEL, &CDialog::OnCancel>(),
};
const MessageMap CDialog::messageMap = MakeMessageMap(&CWnd::messageMap, messageEntries);

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), MainWindowHandle(),
        &DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* dialog
        = static_cast<CDialog*>(Bind(hwnd, message == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam) : nullptr));
    if (!dialog)
        return FALSE;

    bool handled = false;
    LRESULT result = DispatchGuarded(dialog, message, wParam, lParam, handled);
    // WM_INITDIALOG's result is the dialog procedure's own; any other goes through DWLP_MSGRESULT.
    if (message == WM_INITDIALOG)
        return result;
    if (handled)
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return handled;
}
