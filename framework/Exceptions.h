// The two exceptions the program lets pass when Windows cannot give it a resource or memory.
#pragma once

class CException {
public:
    virtual ~CException() = default;
    // The text shown when a window procedure has to report the exception.
    virtual const char* Describe() const = 0;
};

class CResourceException : public CException {
public:
    const char* Describe() const override { return "A required resource was unavailable."; }
};

class CMemoryException : public CException {
public:
    const char* Describe() const override { return "Out of memory."; }
};

[[noreturn]] inline void AfxThrowResourceException()
{
    throw CResourceException();
}
[[noreturn]] inline void AfxThrowMemoryException()
{
    throw CMemoryException();
}
