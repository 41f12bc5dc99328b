// CString's resource loading and comparison.
#include "String.h"

#include "TextCompare.h"

#include <cstring>

CString LoadResourceString(UINT id)
{
    // LoadStringW with no buffer gives the resource text itself, whatever its length.
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return CString();
    std::string narrow(WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), int(narrow.size()), nullptr, nullptr);
    return CString(std::move(narrow));
}

int CString::CompareNoCase(const char* other) const
{
    auto isLead = [](unsigned char c) -> bool { return IsDBCSLeadByte(c); };
    if (velmora::EqualsIgnoringCase(m_text, other ? other : "", isLead))
        return 0;
    return lstrcmpiA(m_text.c_str(), other ? other : "") < 0 ? -1 : 1;
}
