// CString's resource loading and comparison.
#include "String.h"

#include "TextCompare.h"

#include <cstring>

BOOL CString::LoadString(UINT id)
{
    // LoadStringW with no buffer gives the resource text itself, whatever its length.
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    m_text.clear();
    if (length <= 0 || !text)
        return FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    m_text.resize(bytes);
    WideCharToMultiByte(CP_ACP, 0, text, length, m_text.data(), bytes, nullptr, nullptr);
    return TRUE;
}

int CString::CompareNoCase(const char* other) const
{
    auto isLead = [](unsigned char c) -> bool { return IsDBCSLeadByte(c); };
    if (velmora::EqualsIgnoringCase(m_text, other ? other : "", isLead))
        return 0;
    return lstrcmpiA(m_text.c_str(), other ? other : "") < 0 ? -1 : 1;
}

CString LoadResourceString(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}
