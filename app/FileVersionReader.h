// Reads the version record of a module file: its fixed file information and first translation.
#pragma once

#include <windows.h>

#include <memory>

class CFileVersionReader {
public:
    CFileVersionReader() = default;
    virtual ~CFileVersionReader() = default;
    CFileVersionReader(const CFileVersionReader&) = delete;
    CFileVersionReader& operator=(const CFileVersionReader&) = delete;

    // Reads the record of module `moduleName` (null: the running program); TRUE when it holds fixed
    // file information with the right signature. Each call replaces the record read before.
    BOOL ReadVersion(const char* moduleName);

    VS_FIXEDFILEINFO m_fileInfo = {};
    std::unique_ptr<BYTE[]> m_pVersionData;
    WORD m_wLanguage = 0;
    WORD m_wCodePage = 0;
};
