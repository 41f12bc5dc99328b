// Reading a WAV image into memory; the chunk walk itself is velmora::RiffWave's.
#include "WaveImage.h"

#include "sound/RiffWave.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

static_assert(sizeof(WAVEFORMATEX) == sizeof(velmora::WaveFormat));
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == offsetof(velmora::WaveFormat, samplesPerSec));
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == offsetof(velmora::WaveFormat, blockAlign));
static_assert(offsetof(WAVEFORMATEX, cbSize) == offsetof(velmora::WaveFormat, extraSize));

CWaveImage::~CWaveImage()
{
    Free();
}

int CWaveImage::LoadFile(const char* fileName)
{
    Free();
    from_resource = 0;
    std::FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
    if (!file)
        return 0;
    long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    // An empty file gives no image; a moveable block of 0 bytes could not be locked anyway.
    HGLOBAL block = length > 0 ? ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, SIZE_T(length)) : nullptr;
    BYTE* locked = block ? static_cast<BYTE*>(::GlobalLock(block)) : nullptr;
    if (!locked) {
        if (block)
            ::GlobalFree(block);
        std::fclose(file);
        return 0;
    }
    data = locked;
    size = LONG(length);
    std::fseek(file, 0, SEEK_SET);
    // A short read leaves the rest of the block as allocated; the walk never trusts the sizes anyway.
    std::fread(data, 1, std::size_t(size), file);
    std::fclose(file);
    return 1;
}

int CWaveImage::LoadFromResource(int resourceId, HMODULE module)
{
    Free();
    from_resource = 1;
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId & 0xFFFF), "WAVE");
    if (!found)
        return 0;
    if (HGLOBAL loaded = ::LoadResource(module, found)) {
        data = static_cast<BYTE*>(::LockResource(loaded));
        size = LONG(::SizeofResource(module, found));
    }
    return data ? 1 : 0;
}

int CWaveImage::GetFormat(WAVEFORMATEX& format) const
{
    if (!data)
        return 0;
    velmora::WaveFormat record;
    velmora::ReadWaveFormat(data, std::size_t(size), record);
    static_assert(sizeof record == sizeof format);
    std::memcpy(&format, &record, sizeof format);
    return 1;
}

DWORD CWaveImage::GetDataSize() const
{
    return data ? velmora::WaveDataSize(data, std::size_t(size)) : 0;
}

DWORD CWaveImage::GetPresentDataSize() const
{
    if (!data)
        return 0;
    velmora::RiffChunk chunk = velmora::FindWaveChunk(data, std::size_t(size), "data");
    return chunk.found ? DWORD(chunk.presentSize) : 0;
}

DWORD CWaveImage::ReadData(void* destination, DWORD maxBytes) const
{
    return data ? velmora::ReadWaveData(data, std::size_t(size), destination, maxBytes) : 0;
}

int CWaveImage::Free()
{
    if (!data)
        return 0;
    if (!from_resource) {
        HGLOBAL block = ::GlobalHandle(data);
        if (!block)
            return 0;
        ::GlobalUnlock(block);
        ::GlobalFree(block);
    }
    // A resource of a loaded module is only borrowed: there is nothing of it to release on Win32.
    data = nullptr;
    size = 0;
    return 1;
}
