// Asking an accessible object, as a screen reader does, for texts and numbers.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <ostream>
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

// What a query for a VT_I4 property (role, state, hit child) answered, result and all: a number is
// S_OK with VT_I4, so "nothing there" (S_FALSE, VT_EMPTY) and a failure stay apart from it.
struct Answer {
    Answer(long number)
        : value(number)
    {
    }
    Answer(HRESULT hr, VARTYPE type, long number)
        : result(hr)
        , vt(type)
        , value(number)
    {
    }
    bool operator==(const Answer&) const = default;

    HRESULT result = S_OK;
    VARTYPE vt = VT_I4;
    long value = 0;
};
// S_FALSE: no neighbour that way, nothing at that point, nothing selected.
inline const Answer kNothing(S_FALSE, VT_EMPTY, 0);

inline void PrintTo(const Answer& answer, std::ostream* out)
{
    *out << "{hr 0x" << std::hex << unsigned(answer.result) << std::dec << ", vt " << answer.vt << ", " << answer.value
         << "}";
}

template <class Get> inline Answer Number(Get get)
{
    VARIANT value;
    VariantInit(&value);
    HRESULT result = get(&value);
    Answer answer(result, value.vt, value.vt == VT_I4 ? value.lVal : 0);
    VariantClear(&value);
    return answer;
}

} // namespace test
