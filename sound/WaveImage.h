// A WAV file or "WAVE" resource held whole in memory, and the format and samples read from it.
#pragma once

#include <windows.h>

#include <mmsystem.h>

class CWaveImage {
public:
    CWaveImage() = default;
    virtual ~CWaveImage();
    CWaveImage(const CWaveImage&) = delete;
    CWaveImage& operator=(const CWaveImage&) = delete;

    // 1 when the file was read into a new image.
    int LoadFile(const char* fileName);
    // 1 when the "WAVE" resource (low 16 bits of `resourceId`) of `module` was found and locked.
    int LoadFromResource(int resourceId, HMODULE module = nullptr);
    // Copies the first 18 bytes of the "fmt " chunk's data; 0 without an image.
    int GetFormat(WAVEFORMATEX& format) const;
    // The "data" chunk's size as its header declares it.
    DWORD GetDataSize() const;
    // How much of the declared "data" chunk the image really holds.
    DWORD GetPresentDataSize() const;
    // Copies the start of the samples; returns the smaller of the declared size and `maxBytes`.
    DWORD ReadData(void* destination, DWORD maxBytes) const;
    // 1 when an image was released.
    int Free();

    BYTE* data = nullptr;
    LONG size = 0;
    LONG from_resource = 0;
};
