// CZibSound and its service timer: slots of clips, freed by a pass on the multimedia timer's thread.
#include "ZibSound.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>

namespace {

const char kNullWindow[] = "CZibSound::Init() Can not accept NULL HWND";
const char kAlreadyInitialised[] = "CZibSound::Init() has already been calles and it was sucessful!";
const char kCreateFailed[] = "DirectSoundCreate FAILED";
const char kCoopFailed[] = "DirectSoundSetCoop FAILED";
const char kPrimaryFailed[] = "Failed to create primary buffer";
const char kFormatFailed[] = "Failed to set primary format";
const char kNeedInit[] = "Need a successful Init()";
const char kInvalidId[] = "Invalid Sound ID";
const char kNoFreeSlot[] = "Max sounds reached, increase max_sounds in call to Init()";

const char kMutexName[] = "MutexToProtectSound";
constexpr DWORD kPassMutexWaitMs = 250;
constexpr UINT kServicePeriodMs = 200;
constexpr UINT kServiceResolutionMs = 10;
constexpr DWORD kPlayingPollMs = 50;

HRESULT CreateRealDevice(IDirectSound** device)
{
    return ::DirectSoundCreate(nullptr, device, nullptr);
}

DirectSoundFactory g_factory = &CreateRealDevice;

// Holds the sound mutex for a scope. An abandoned mutex is owned all the same, so it is either kept
// (callers, who must not race a pass) or handed straight back (a pass, which then skips its turn).
class SoundMutexHold {
public:
    SoundMutexHold(HANDLE mutex, DWORD waitMs, bool acceptAbandoned) : m_mutex(mutex)
    {
        DWORD result = ::WaitForSingleObject(mutex, waitMs);
        m_held = result == WAIT_OBJECT_0 || (acceptAbandoned && result == WAIT_ABANDONED);
        if (result == WAIT_ABANDONED && !m_held)
            ::ReleaseMutex(mutex);
    }
    ~SoundMutexHold()
    {
        if (m_held)
            ::ReleaseMutex(m_mutex);
    }
    SoundMutexHold(const SoundMutexHold&) = delete;
    SoundMutexHold& operator=(const SoundMutexHold&) = delete;
    bool held() const { return m_held; }

private:
    HANDLE m_mutex;
    bool m_held;
};

// Live timers by serial, and the ticks running now. A tick reaches its record only through this table,
// so a tick that fires after its timer was stopped finds nothing, and Stop can wait for ticks under way.
struct TickTable {
    std::mutex lock;
    std::condition_variable idle;
    std::map<DWORD_PTR, CPeriodicTimer*> live;
    std::map<DWORD_PTR, int> running;
    DWORD_PTR nextSerial = 1;
};

TickTable& Ticks()
{
    static TickTable table;
    return table;
}

// The serial of the tick this thread is running, so a pass that stops its own timer does not wait for itself.
thread_local DWORD_PTR t_currentTick = 0;

int ServiceTick(void* user)
{
    static_cast<CZibSound*>(user)->Service();
    return 1;
}

} // namespace

DirectSoundFactory SetDirectSoundFactory(DirectSoundFactory factory)
{
    DirectSoundFactory previous = g_factory;
    g_factory = factory ? factory : &CreateRealDevice;
    return previous;
}

// ---- CPeriodicTimer ----

CPeriodicTimer::~CPeriodicTimer()
{
    Stop();
}

bool CPeriodicTimer::Start(UINT periodMs, UINT resolutionMs, void* userValue, Callback function)
{
    Stop();
    callback = function;
    user = userValue;
    period = periodMs;
    resolution = resolutionMs;
    TickTable& ticks = Ticks();
    {
        std::lock_guard<std::mutex> hold(ticks.lock);
        m_serial = ticks.nextSerial++;
        ticks.live[m_serial] = this;
    }
    timer_id = ::timeSetEvent(period, resolution, &TimerProc, m_serial, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    if (timer_id == 0)
        Stop();
    return timer_id != 0;
}

void CPeriodicTimer::Stop()
{
    if (timer_id != 0) {
        ::timeKillEvent(timer_id);
        timer_id = 0;
    }
    if (m_serial == 0)
        return;
    {
        std::lock_guard<std::mutex> hold(Ticks().lock);
        Ticks().live.erase(m_serial);
    }
    WaitForTicks(m_serial);
    m_serial = 0;
}

void CPeriodicTimer::WaitForTicks(DWORD_PTR serial)
{
    if (serial == 0)
        return;
    TickTable& ticks = Ticks();
    int own = t_currentTick == serial ? 1 : 0;
    std::unique_lock<std::mutex> hold(ticks.lock);
    ticks.idle.wait(hold, [&] {
        auto found = ticks.running.find(serial);
        return found == ticks.running.end() || found->second <= own;
    });
}

void CALLBACK CPeriodicTimer::TimerProc(UINT, UINT, DWORD_PTR serial, DWORD_PTR, DWORD_PTR)
{
    TickTable& ticks = Ticks();
    Callback function = nullptr;
    void* userValue = nullptr;
    {
        std::lock_guard<std::mutex> hold(ticks.lock);
        auto found = ticks.live.find(serial);
        if (found == ticks.live.end())
            return;
        function = found->second->callback;
        userValue = found->second->user;
        ++ticks.running[serial];
    }
    t_currentTick = serial;
    // An exception must not unwind into the multimedia timer.
    try {
        function(userValue);
    } catch (...) {
    }
    t_currentTick = 0;
    {
        std::lock_guard<std::mutex> hold(ticks.lock);
        if (--ticks.running[serial] == 0)
            ticks.running.erase(serial);
    }
    ticks.idle.notify_all();
}

// ---- CZibSound ----

CZibSound::CZibSound()
{
    mutex = ::CreateMutexA(nullptr, FALSE, kMutexName);
    // Without the shared mutex, passes in this process must still exclude each other.
    if (!mutex)
        mutex = ::CreateMutexA(nullptr, FALSE, nullptr);
}

CZibSound::~CZibSound()
{
    StopAll();
    StopTimer();
    // A pass that stopped its own timer may still be returning on the timer's thread.
    CPeriodicTimer::WaitForTicks(m_retiredTimer.load());
    Service();
    if (device)
        device->Release();
    device = nullptr;
    primary = nullptr;
    if (mutex)
        ::CloseHandle(mutex);
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
    IDirectSound* created = nullptr;
    if (g_factory(&created) != DS_OK || !created) {
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
    if (device->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&description), &buffer, nullptr) != DS_OK ||
        !buffer) {
        error_text = kPrimaryFailed;
    } else {
        primary = buffer;
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
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

bool CZibSound::Play(int id, BYTE looping)
{
    SoundMutexHold hold(mutex, INFINITE, true);
    if (!CheckId(id))
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
        SoundMutexHold hold(mutex, INFINITE, true);
        if (!CheckId(id))
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
    SoundMutexHold hold(mutex, INFINITE, true);
    if (!CheckId(id))
        return false;
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
    if (!Play(id, 0))
        return -1;
    {
        // Checked and marked as one step, so no pass can stop the timer in between.
        SoundMutexHold hold(mutex, INFINITE, true);
        if (StartServiceTimer()) {
            auto_release[id] = 1;
            return id;
        }
    }
    do
        ::Sleep(kPlayingPollMs);
    while (clips[id].IsPlaying());
    return ReleaseSlot(id) ? id : -1;
}

void CZibSound::Service()
{
    SoundMutexHold hold(mutex, kPassMutexWaitMs, false);
    if (!hold.held())
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
    m_retiredTimer = stopping->Serial();
    stopping->Stop();
    delete stopping;
}
