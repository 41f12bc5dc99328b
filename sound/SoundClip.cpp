// CSoundClip: a static DirectSound buffer filled once from a CWaveImage.
#include "SoundClip.h"

#include "WaveImage.h"

#include <algorithm>
#include <cstring>

namespace {

const char kCreateFailed[] = "CreateSoundBuffer FAILED";
const char kLockFailed[] = "Unable to lock sound buffer";
const char kUnlockFailed[] = "Unable to unlock sound buffer";
const char kNotLoaded[] = "No sound loaded";
const char kPlayFailed[] = "Play of sound buffer FAILED";
const char kStopFailed[] = "Stop of sound buffer FAILED";
const char kRewindFailed[] = "Could not reset current position";
const char kRestoreFailed[] = "Buffer was lost and the restore FAILED";

constexpr DWORD kClipBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
constexpr DWORD kRestoreRetryMs = 50;

} // namespace

bool CSoundClip::LoadFromFile(const char* fileName, IDirectSound* device)
{
    CWaveImage image;
    image.LoadFile(fileName);
    std::strncpy(file_name, fileName ? fileName : "", sizeof file_name - 1);
    file_name[sizeof file_name - 1] = '\0';
    return Create(image, device);
}

bool CSoundClip::LoadFromResource(int resourceId, IDirectSound* device)
{
    CWaveImage image;
    image.LoadFromResource(resourceId);
    resource_id = resourceId;
    file_name[0] = '\0';
    return Create(image, device);
}

bool CSoundClip::Create(const CWaveImage& image, IDirectSound* device)
{
    WAVEFORMATEX format = {};
    image.GetFormat(format);
    // The header's size is untrusted: the buffer holds only the samples the image really has.
    DWORD bytes = std::min(image.GetDataSize(), image.GetPresentDataSize());
    DSBUFFERDESC1 description = {};
    description.dwSize = sizeof description;
    description.dwFlags = kClipBufferFlags;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* created = nullptr;
    // No samples means no buffer; DirectSound would refuse 0 bytes as well.
    if (bytes == 0 || !device
        || device->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&description), &created, nullptr) != DS_OK
        || !created) {
        error_text = kCreateFailed;
        return false;
    }
    buffer = created;
    if (!Fill(image, bytes)) {
        // A buffer that could not be filled is of no use to anyone.
        buffer->Release();
        buffer = nullptr;
        return false;
    }
    loaded = 1;
    return true;
}

bool CSoundClip::Fill(const CWaveImage& image, DWORD bytes)
{
    void* region = nullptr;
    DWORD regionBytes = 0;
    if (buffer->Lock(0, bytes, &region, &regionBytes, nullptr, nullptr, 0) != DS_OK) {
        error_text = kLockFailed;
        return false;
    }
    DWORD written = image.ReadData(region, regionBytes);
    if (buffer->Unlock(region, written, nullptr, 0) != DS_OK) {
        error_text = kUnlockFailed;
        return false;
    }
    return true;
}

bool CSoundClip::Play(BYTE looping)
{
    loop = looping;
    if (loaded != 1) {
        error_text = kNotLoaded;
        return false;
    }
    if (!RestoreIfLost())
        return false;
    if (buffer->Play(0, 0, loop == 1 ? DSBPLAY_LOOPING : 0) != DS_OK) {
        error_text = kPlayFailed;
        return false;
    }
    return true;
}

bool CSoundClip::Stop()
{
    if (loaded != 1) {
        error_text = kNotLoaded;
        return false;
    }
    if (!RestoreIfLost())
        return false;
    if (buffer->Stop() != DS_OK) {
        error_text = kStopFailed;
        return false;
    }
    return true;
}

bool CSoundClip::StopAndRewind()
{
    if (loaded != 1) {
        error_text = kNotLoaded;
        return false;
    }
    if (!Stop())
        return false;
    if (loop == 1)
        return true;
    if (buffer->SetCurrentPosition(0) != DS_OK) {
        error_text = kRewindFailed;
        return false;
    }
    return true;
}

DWORD CSoundClip::Status() const
{
    DWORD status = 0;
    // A status that cannot be read counts as neither playing nor lost.
    if (buffer->GetStatus(&status) != DS_OK)
        return 0;
    return status;
}

bool CSoundClip::RestoreIfLost()
{
    if (!(Status() & DSBSTATUS_BUFFERLOST))
        return true;
    if (buffer->Restore() != DS_OK) {
        ::Sleep(kRestoreRetryMs);
        if (buffer->Restore() != DS_OK) {
            error_text = kRestoreFailed;
            return false;
        }
    }
    if (!Reload()) {
        error_text = kRestoreFailed;
        return false;
    }
    return true;
}

void CSoundClip::LoadSource(CWaveImage& image) const
{
    if (file_name[0])
        image.LoadFile(file_name);
    else
        image.LoadFromResource(resource_id);
}

bool CSoundClip::Reload()
{
    CWaveImage image;
    LoadSource(image);
    return Fill(image, std::min(image.GetDataSize(), image.GetPresentDataSize()));
}

bool CSoundClip::Unload()
{
    if (loaded != 1) {
        error_text = kNotLoaded;
        return false;
    }
    buffer->Release();
    buffer = nullptr;
    loaded = 0;
    return true;
}

bool CSoundClip::IsPlaying() const
{
    return buffer && (Status() & DSBSTATUS_PLAYING) != 0;
}
