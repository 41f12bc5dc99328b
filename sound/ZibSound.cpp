// CZibSound: slots of clips, freed by a service pass on the multimedia timer's thread.
#include "ZibSound.h"

#include "PeriodicTimer.h"

#include <algorithm>

namespace {

const char kNullWindow[] = "CZibSound::Init() Can not accept NULL HWND";
const char kAlreadyInitialised[] = "CZibSound::Init() has already been calles and it was sucessful!";
const char kNoMutex[] = "CreateMutex FAILED";
const char kCreateFailed[] = "DirectSoundCreate FAILED";
const char kCoopFailed[] = "DirectSoundSetCoop FAILED";
const char kPrimaryFailed[] = "Failed to create primary buffer";
const char kFormatFailed[] = "Failed to set primary format";
const char kNeedInit[] = "Need a successful Init()";
const char kInvalidId[] = "Invalid Sound ID";
const char kNoFreeSlot[] = "Max sounds reached, increase max_sounds in call to Init()";
const char kMutexTimedOut[] = "Wait for MutexToProtectSound FAILED";

const char kMutexName[] = "MutexToProtectSound";
// Every wait for the sound's locks, a pass's or a caller's, ends after this.
constexpr DWORD kMutexWaitMs = 250;
constexpr UINT kServicePeriodMs = 200;
constexpr UINT kServiceResolutionMs = 10;
constexpr DWORD kPlayingPollMs = 50;

// The named mutex, or failing that an unnamed one, so that passes in this process still exclude each other.
HANDLE CreateSoundMutex()
{
    HANDLE created = ::CreateMutexA(nullptr, FALSE, kMutexName);
    return created ? created : ::CreateMutexA(nullptr, FALSE, nullptr);
}

// Holds this process's own sound lock and then the named mutex, waiting for the two together at most
// `waitMs`. The own lock keeps this process's callers and passes apart, so only one of them at a time
// waits for the named mutex; the limit keeps a launcher that hangs holding that mutex from hanging this
// one. An abandoned named mutex is owned all the same, so it is either kept (callers, who must not race
// a pass) or handed straight back (a pass, which then skips its turn).
class SoundLock {
public:
    SoundLock(HANDLE own, HANDLE shared, DWORD waitMs, bool acceptAbandoned)
        : m_own(own)
        , m_shared(shared)
    {
        DWORD started = ::GetTickCount();
        DWORD result = ::WaitForSingleObject(own, waitMs);
        if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED)
            return;
        DWORD spent = ::GetTickCount() - started;
        result = ::WaitForSingleObject(shared, spent < waitMs ? waitMs - spent : 0);
        m_held = result == WAIT_OBJECT_0 || (acceptAbandoned && result == WAIT_ABANDONED);
        if (result == WAIT_ABANDONED && !m_held)
            ::ReleaseMutex(shared);
        if (!m_held)
            ::ReleaseMutex(own);
    }
    ~SoundLock()
    {
        if (m_held) {
            ::ReleaseMutex(m_shared);
            ::ReleaseMutex(m_own);
        }
    }
    SoundLock(const SoundLock&) = delete;
    SoundLock& operator=(const SoundLock&) = delete;
    bool held() const { return m_held; }

private:
    HANDLE m_own;
    HANDLE m_shared;
    bool m_held = false;
};

int ServiceTick(void* user)
{
    static_cast<CZibSound*>(user)->Service();
    return 1;
}

} // namespace

CZibSound::CZibSound()
{
    mutex = CreateSoundMutex();
    process_lock = ::CreateMutexA(nullptr, FALSE, nullptr);
}

CZibSound::~CZibSound()
{
    {
        // One wait for all the stops: another launcher holding the mutex delays the close only once.
        SoundLock lock(process_lock, mutex, kMutexWaitMs, true);
        if (lock.held())
            StopAll();
    }
    StopTimer();
    // A pass that stopped its own timer is still on its way out, and uses this manager and its mutex
    // until it has released that mutex: wait for it, however long it is held up.
    CPeriodicTimer::WaitForTicksOf(this);
    Service();
    // Buffers that the mutex kept the stops and the pass from freeing go with the device.
    if (device)
        device->Release();
    device = nullptr;
    primary = nullptr;
    if (mutex)
        ::CloseHandle(mutex);
    if (process_lock)
        ::CloseHandle(process_lock);
}

bool CZibSound::Init(HWND window, int maxSounds)
{
    if (!window) {
        error_text = kNullWindow;
        return false;
    }
    if (initialised) {
        error_text = kAlreadyInitialised;
        return false;
    }
    // Without a mutex no pass could run, no pending slot would ever be freed and the confirmation wait
    // would never end: the manager then stays silent instead.
    if (!mutex)
        mutex = CreateSoundMutex();
    if (!process_lock)
        process_lock = ::CreateMutexA(nullptr, FALSE, nullptr);
    if (!mutex || !process_lock) {
        error_text = kNoMutex;
        return false;
    }
    IDirectSound* created = nullptr;
    if (::DirectSoundCreate(nullptr, &created, nullptr) != DS_OK || !created) {
        error_text = kCreateFailed;
        return false;
    }
    if (created->SetCooperativeLevel(window, DSSCL_EXCLUSIVE) != DS_OK) {
        created->Release();
        error_text = kCoopFailed;
        return false;
    }
    device = created;

    DSBUFFERDESC1 description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* buffer = nullptr;
    if (device->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&description), &buffer, nullptr) != DS_OK
        || !buffer) {
        error_text = kPrimaryFailed;
    } else {
        primary = buffer;
        WAVEFORMATEX format = { WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0 };
        if (primary->SetFormat(&format) != DS_OK)
            error_text = kFormatFailed;
    }

    int count = std::max(maxSounds, 0);
    clips = std::make_unique<CSoundClip[]>(std::size_t(count));
    in_use = std::make_unique<std::atomic<BYTE>[]>(std::size_t(count));
    auto_release = std::make_unique<std::atomic<BYTE>[]>(std::size_t(count));
    max_sounds = count;
    initialised = 1;
    return true;
}

bool CZibSound::CheckId(int id)
{
    if (!initialised) {
        error_text = kNeedInit;
        return false;
    }
    if (!InRange(id) || !in_use[id]) {
        error_text = kInvalidId;
        return false;
    }
    return true;
}

int CZibSound::Load(const char* fileName, int resourceId)
{
    if (!initialised) {
        error_text = kNeedInit;
        return -1;
    }
    // A pass only frees slots, so a slot seen free here stays free.
    int id = 0;
    while (id < max_sounds && in_use[id])
        ++id;
    if (id == max_sounds) {
        error_text = kNoFreeSlot;
        return -1;
    }
    CSoundClip& clip = clips[id];
    bool loadedOk = fileName ? clip.LoadFromFile(fileName, device) : clip.LoadFromResource(resourceId, device);
    if (!loadedOk) {
        error_text = clip.GetErrorText();
        return -1;
    }
    in_use[id] = 1;
    return id;
}

bool CZibSound::CheckIdLocked(bool locked, int id)
{
    if (initialised && !locked) {
        error_text = kMutexTimedOut;
        return false;
    }
    return CheckId(id);
}

bool CZibSound::Play(int id, BYTE looping)
{
    SoundLock lock(process_lock, mutex, kMutexWaitMs, true);
    if (!CheckIdLocked(lock.held(), id))
        return false;
    if (!clips[id].Play(looping)) {
        error_text = clips[id].GetErrorText();
        return false;
    }
    return true;
}

bool CZibSound::Stop(int id)
{
    {
        // A pending slot's clip is the pass's: stopping it must not overlap a pass that unloads it.
        SoundLock lock(process_lock, mutex, kMutexWaitMs, true);
        if (!CheckIdLocked(lock.held(), id))
            return false;
        if (!clips[id].StopAndRewind()) {
            error_text = clips[id].GetErrorText();
            return false;
        }
    }
    Service();
    return true;
}

bool CZibSound::StopAll()
{
    bool allStopped = true;
    for (int id = 0; id < max_sounds; ++id) {
        if (in_use[id] && !Stop(id))
            allStopped = false;
    }
    return allStopped;
}

bool CZibSound::ReleaseSlot(int id)
{
    SoundLock lock(process_lock, mutex, kMutexWaitMs, true);
    if (!CheckIdLocked(lock.held(), id))
        return false;
    return FreeSlot(id);
}

bool CZibSound::FreeSlot(int id)
{
    auto_release[id] = 0;
    in_use[id] = 0;
    if (!clips[id].Unload()) {
        error_text = clips[id].GetErrorText();
        return false;
    }
    return true;
}

bool CZibSound::IsSlotInUse(int id) const
{
    return InRange(id) && in_use[id] == 1;
}

bool CZibSound::StartServiceTimer()
{
    if (timer.load())
        return true;
    auto record = std::make_unique<CPeriodicTimer>();
    // A record whose timer did not start is dropped, so the next sound tries again.
    if (!record->Start(kServicePeriodMs, kServiceResolutionMs, this, &ServiceTick))
        return false;
    timer = record.release();
    return true;
}

int CZibSound::PlayOnce(const char* fileName, int resourceId)
{
    int id = Load(fileName, resourceId);
    if (id < 0)
        return -1;
    {
        // Played, checked and marked as one step, so no pass can stop the timer in between. A slot
        // that is not pending is this thread's alone: a failed sound frees it without the lock.
        SoundLock lock(process_lock, mutex, kMutexWaitMs, true);
        if (!lock.held()) {
            error_text = kMutexTimedOut;
            FreeSlot(id);
            return -1;
        }
        if (!Play(id, 0)) {
            // The text of the failed play stays; the slot must not stay held by a sound nobody will free.
            FreeSlot(id);
            return -1;
        }
        if (StartServiceTimer()) {
            auto_release[id] = 1;
            return id;
        }
    }
    do
        ::Sleep(kPlayingPollMs);
    while (clips[id].IsPlaying());
    return FreeSlot(id) ? id : -1;
}

void CZibSound::Service()
{
    SoundLock lock(process_lock, mutex, kMutexWaitMs, false);
    if (!lock.held())
        return;
    bool allIdle = true;
    for (int id = 0; id < max_sounds; ++id) {
        if (!auto_release[id])
            continue;
        if (clips[id].IsPlaying()) {
            allIdle = false;
            continue;
        }
        clips[id].Unload();
        // Cleared before in_use, so a slot seen free is never still marked for release.
        auto_release[id] = 0;
        in_use[id] = 0;
    }
    if (allIdle)
        StopTimer();
}

void CZibSound::StopTimer()
{
    CPeriodicTimer* stopping = timer.exchange(nullptr);
    if (!stopping)
        return;
    stopping->Stop();
    delete stopping;
}
