// One sound held whole in a DirectSound secondary buffer, refilled from its source when lost.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>

class CWaveImage;

class CSoundClip {
public:
    CSoundClip() = default;
    // Does not release the buffer: the manager unloads clips, and the device takes what is left.
    virtual ~CSoundClip() = default;
    CSoundClip(const CSoundClip&) = delete;
    CSoundClip& operator=(const CSoundClip&) = delete;

    bool LoadFromFile(const char* fileName, IDirectSound* device);
    bool LoadFromResource(int resourceId, IDirectSound* device);
    // Creates the buffer for the image's format and samples and fills it.
    bool Create(const CWaveImage& image, IDirectSound* device);
    bool Play(BYTE looping);
    bool Stop();
    // Stops; goes back to the start unless the last Play looped.
    bool StopAndRewind();
    bool RestoreIfLost();
    // Refills the existing buffer from the clip's source.
    bool Reload();
    bool Unload();
    bool IsPlaying() const;
    const char* GetErrorText() const { return error_text; }

    const char* error_text = nullptr;
    char file_name[MAX_PATH] = {};
    int resource_id = 0;
    IDirectSoundBuffer* buffer = nullptr;
    BYTE loaded = 0;
    BYTE loop = 0;

private:
    // Loads the clip's source into `image`.
    void LoadSource(CWaveImage& image) const;
    bool Fill(const CWaveImage& image, DWORD bytes);
    DWORD Status() const;
};
