// The version record of a module, found through the module's full path.
#include "FileVersionReader.h"

#include "framework/Exceptions.h"

#include <cstring>
#include <new>

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr WORD kWesternCodePage = 1252;

// Keeps a module loaded for as long as the record is being read.
class ModuleReference {
public:
    explicit ModuleReference(const char* name)
        : m_module(::LoadLibraryA(name))
    {
    }
    ~ModuleReference()
    {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;

private:
    HMODULE m_module;
};

} // namespace

BOOL CFileVersionReader::ReadVersion(const char* moduleName)
{
    m_wCodePage = kWesternCodePage;
    m_fileInfo = {};
    ModuleReference reference(moduleName); // makes a module that is not loaded yet known to the process

    HMODULE module = ::GetModuleHandleA(moduleName);
    if (!module && moduleName)
        return FALSE;
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return FALSE;

    m_pVersionData.reset();
    m_pVersionData.reset(new (std::nothrow) BYTE[size]);
    if (!m_pVersionData)
        AfxThrowMemoryException();
    if (!::GetFileVersionInfoA(path, 0, size, m_pVersionData.get()))
        return FALSE;

    void* value = nullptr;
    UINT valueSize = 0;
    // A record too short to hold the whole fixed information counts as unreadable.
    if (!::VerQueryValueA(m_pVersionData.get(), "\\", &value, &valueSize) || !value || valueSize < sizeof m_fileInfo)
        return FALSE;
    std::memcpy(&m_fileInfo, value, sizeof m_fileInfo);

    if (::VerQueryValueA(m_pVersionData.get(), "\\VarFileInfo\\Translation", &value, &valueSize) && value
        && valueSize >= 4) {
        DWORD translation;
        std::memcpy(&translation, value, 4);
        m_wLanguage = LOWORD(translation);
        m_wCodePage = HIWORD(translation);
    }
    return m_fileInfo.dwSignature == kFixedInfoSignature;
}
