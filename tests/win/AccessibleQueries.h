// Asking an accessible object, as a screen reader does, for texts and numbers.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace test {

inline VARIANT Child(long id)
{
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A BSTR property as text; "<error>" when the call fails.
template <class Get> inline std::wstring Text(Get get)
{
    BSTR text = nullptr;
    if (FAILED(get(&text)))
        return L"<error>";
    std::wstring result = text ? text : L"";
    SysFreeString(text);
    return result;
}

// A VT_I4 property (role, state, hit child); -1 when the call fails or answers something else.
template <class Get> inline long Number(Get get)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED(get(&value)) || value.vt != VT_I4) {
        VariantClear(&value);
        return -1;
    }
    return value.lVal;
}

} // namespace test
