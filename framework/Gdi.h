// GDI objects and device contexts with one owner each: the handle goes with its object; no copies.
#pragma once

#include <windows.h>

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() { DeleteObject(); }

    HGDIOBJ m_hObject = nullptr;

    // Takes ownership of `handle` (the object must hold none).
    BOOL Attach(HGDIOBJ handle)
    {
        if (m_hObject || !handle)
            return FALSE;
        m_hObject = handle;
        return TRUE;
    }
    // Deletes the handle; FALSE when there was none or Windows refused.
    BOOL DeleteObject()
    {
        if (!m_hObject)
            return FALSE;
        if (!::DeleteObject(m_hObject))
            return FALSE;
        m_hObject = nullptr;
        return TRUE;
    }
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CPalette : public CGdiObject {
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};

// Device contexts: each releases its handle when it goes out of scope.
class CDC {
public:
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }

protected:
    CDC() = default;
    ~CDC() = default;
};

// A memory device context, deleted when it goes out of scope.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC reference) { m_hDC = ::CreateCompatibleDC(reference); }
    ~CMemoryDC()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
};

// Selects an object into a device context and puts the previous one back; declare it after both.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object)
        : m_hDC(dc)
        , m_hOld(::SelectObject(dc, object))
    {
    }
    ~CSelectObject()
    {
        if (m_hOld && m_hOld != HGDI_ERROR)
            ::SelectObject(m_hDC, m_hOld);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// How SelectPalette maps a palette: as the foreground window's (FALSE) or forced into the background (TRUE).
enum class PaletteMapping : bool { Foreground = false, Background = true };

// Selects a palette into a device context and realises it, then puts the previous palette back, mapped
// as `restore` says; declare it after the device context. A null palette selects nothing.
class CSelectPalette {
public:
    CSelectPalette(HDC dc, HPALETTE palette, PaletteMapping mapping, PaletteMapping restore)
        : m_hDC(dc)
        , m_restore(restore)
    {
        if (!palette)
            return;
        m_hOld = ::SelectPalette(dc, palette, BOOL(mapping));
        m_nRealized = ::RealizePalette(dc);
    }
    ~CSelectPalette()
    {
        if (m_hOld)
            ::SelectPalette(m_hDC, m_hOld, BOOL(m_restore));
    }
    CSelectPalette(const CSelectPalette&) = delete;
    CSelectPalette& operator=(const CSelectPalette&) = delete;

    // Whether realising mapped any entries into the system palette anew.
    bool ChangedEntries() const { return m_nRealized != 0 && m_nRealized != GDI_ERROR; }

private:
    HDC m_hDC;
    PaletteMapping m_restore;
    HPALETTE m_hOld = nullptr;
    UINT m_nRealized = 0;
};
