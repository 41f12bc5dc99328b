// The document, its archive, and the single-document template that creates document, frame and view.
#pragma once

#include "AfxRes.h"
#include "MessageMap.h"
#include "String.h"

#include <memory>

class CFrameWnd;
class CView;
class CSingleDocTemplate;

// What a document is read from or written to; our documents keep nothing in their files, so it carries nothing.
class CArchive { };

class CDocument : public CCmdTarget {
public:
    // Called for a new document; TRUE to go on.
    virtual BOOL OnNewDocument() { return TRUE; }
    BOOL OnOpenDocument(const char* path);
    // Reads or writes the document's data through the archive; the base class has none.
    virtual void Serialize(CArchive&) { }

    // The document is now the file at `path`: it heads the recent-file list.
    void SetPathName(const char* path);

    CSingleDocTemplate* m_pDocTemplate = nullptr;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void OnFileSave();

private:
    // Opens `path` and serialises through it; reports and returns FALSE when the file cannot be used.
    BOOL SerializeFile(const char* path, bool storing);
    static const MessageEntry messageEntries[];
    // The file last opened as the document (full path), which saving never writes; kept past a new document.
    CString m_strOpenedPath;
};

class CSingleDocTemplate {
public:
    // Fields of the document string, separated by line feeds.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    template <class Document, class Frame, class View> static std::unique_ptr<CSingleDocTemplate> Make(UINT resourceId)
    {
        return std::unique_ptr<CSingleDocTemplate>(new CSingleDocTemplate(
            resourceId, [] { return std::unique_ptr<CDocument>(new Document); },
            []() -> CFrameWnd* { return new Frame; }, []() -> CView* { return new View; }));
    }

    // Opens `path` as the document (a new one for null), creating the frame and view the first time.
    CDocument* OpenDocumentFile(const char* path);
    // Deletes the document once its frame has gone.
    void CloseDocument()
    {
        m_pOnlyDoc.reset();
        m_pFrame = nullptr;
    }
    CString GetDocString(DocStringIndex index) const;

    const UINT m_nIDResource;

private:
    CSingleDocTemplate(
        UINT resourceId, std::unique_ptr<CDocument> (*newDocument)(), CFrameWnd* (*newFrame)(), CView* (*newView)())
        : m_nIDResource(resourceId)
        , m_newDocument(newDocument)
        , m_newFrame(newFrame)
        , m_newView(newView)
    {
    }

    std::unique_ptr<CDocument> (*m_newDocument)();
    CFrameWnd* (*m_newFrame)();
    CView* (*m_newView)();
    std::unique_ptr<CDocument> m_pOnlyDoc;
    CFrameWnd* m_pFrame = nullptr;
};
