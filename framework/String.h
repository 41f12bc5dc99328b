// CString: the program's narrow (ANSI) text type, as far as the program uses it.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text)
        : m_text(text ? text : "")
    {
    }
    CString(std::string text)
        : m_text(std::move(text))
    {
    }

    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    bool IsEmpty() const { return m_text.empty(); }

    // 0 when equal ignoring letter case, double-byte characters compared whole.
    int CompareNoCase(const char* other) const;

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }

private:
    std::string m_text;
};

// String resource `id`, or an empty string.
CString LoadResourceString(UINT id);
