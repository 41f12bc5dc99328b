// The shared dialog procedure and modal runs.
#include "Dialog.h"

const MessageEntry CDialog::messageEntries[] = {
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

    INT_PTR handled = FALSE;
    auto dispatch = [&] {
        if (message == WM_INITDIALOG) {
            handled = TRUE;
            return LRESULT(dialog->OnInitDialog());
        }
        if (message == WM_COMMAND) {
            handled = dialog->RouteCommand(wParam, lParam);
            return LRESULT(0);
        }
        if (const MessageEntry* entry = dialog->FindEntry(EntryKind::Message, message, 0)) {
            handled = TRUE;
            return entry->thunk(*dialog, wParam, lParam);
        }
        return LRESULT(0);
    };
    LRESULT result = DispatchGuarded(hwnd, message, wParam, lParam, dispatch);

    if (message == WM_NCDESTROY)
        dialog->Unbind();
    if (message == WM_INITDIALOG)
        return result;
    if (handled)
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return handled;
}
