// The launcher view as screen readers see it: the client area, with the twelve game buttons as its
// children 1 to 12.
#pragma once

#include <windows.h>

#include <oleacc.h>

class CLauncherVlm2001View;

// A COM object owned by its references. The view holds one from the first request on and, when it
// goes, disconnects the object first: a client that still holds it then gets RPC_E_DISCONNECTED.
// What the buttons do not need answers as the platform's standard object for the window does.
class CLauncherAccessible final : public IAccessible {
public:
    // A new object with one reference for the caller, or null if the window's standard object
    // cannot be made.
    static CLauncherAccessible* Create(CLauncherVlm2001View* view);
    // Forgets the view and cuts off every client in other processes.
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: no type information; clients call the interface directly.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* child) override;
    STDMETHODIMP get_accSelection(VARIANT* children) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    CLauncherAccessible(CLauncherVlm2001View* view, IAccessible* standard);
    ~CLauncherAccessible();
    CLauncherAccessible(const CLauncherAccessible&) = delete;
    CLauncherAccessible& operator=(const CLauncherAccessible&) = delete;

    // Asks `forSelf` with the standard object for the client itself, `forButton` with the button
    // index for a child; refuses ids that name nothing, and everything once disconnected.
    template <class ForSelf, class ForButton>
    HRESULT Answer(const VARIANT& child, ForSelf forSelf, ForButton forButton);
    // A property the buttons do not have: the standard object's for the client itself.
    template <class ForSelf> HRESULT AnswerSelfOnly(const VARIANT& child, ForSelf forSelf);
    HWND Window() const;

    LONG m_nReferences = 1;
    CLauncherVlm2001View* m_pView;
    IAccessible* m_pStandard; // one reference, dropped at Disconnect
};
