// The single-document frame window and the view that fills its client area.
#pragma once

#include "String.h"
#include "Wnd.h"

class CDocument;
class CView;

// The style asking the frame to add its document's title to its own; our frame takes it off and keeps
// the application's title alone, so nothing here reads it.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

// Id of the view window inside its frame.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

// What the frame needs to create its view.
struct CCreateContext {
    CView* (*newView)();
    CDocument* document;
};

class CFrameWnd : public CWnd {
public:
    // Creates the frame from resource `resourceId`: menu, accelerators, icon and title.
    BOOL LoadFrame(UINT resourceId, DWORD style, CCreateContext* context);

    BOOL PreTranslateMessage(MSG* msg) override;
    // Routes a command to the view (and its document), then the frame, then the application.
    BOOL OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) override;

    // Redraws the view after a new or opened document; a new frame is first shown as the application says.
    void InitialUpdateFrame(bool makeVisible);

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnSetFocus(HWND oldFocus);
    void OnInitMenuPopup(HMENU popup, UINT index, BOOL systemMenu);
    void PostNcDestroy() override;

private:
    static const MessageEntry messageEntries[];

    HACCEL m_hAccelTable = nullptr;
    CView* m_pViewActive = nullptr;
    CCreateContext* m_pCreateContext = nullptr;
};

class CView : public CWnd {
public:
    CDocument* m_pDocument = nullptr;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Routes a command to the view, then its document.
    BOOL OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) override;
    // Draws the view; called for WM_PAINT with the paint device context.
    virtual void OnDraw(CDC* dc) = 0;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void OnPaint();
    void PostNcDestroy() override { delete this; }

private:
    static const MessageEntry messageEntries[];
};
