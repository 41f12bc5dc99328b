// The sound manager: a fixed table of clip slots, freed by a periodic service pass once their sound ends.
#pragma once

#include "SoundClip.h"

#include <atomic>
#include <memory>

class CPeriodicTimer;

class CZibSound {
public:
    CZibSound();
    // Stops every sound and the timer, then releases the device and every buffer made from it.
    virtual ~CZibSound();
    CZibSound(const CZibSound&) = delete;
    CZibSound& operator=(const CZibSound&) = delete;

    bool Init(HWND window, int maxSounds);
    // Plays a file (or, with no name, the "WAVE" resource) once and frees its slot when it has ended.
    int PlayOnce(const char* fileName, int resourceId = 0);
    bool IsSlotInUse(int id) const;
    int Load(const char* fileName, int resourceId);
    bool Play(int id, BYTE looping);
    bool Stop(int id);
    bool StopAll();
    bool ReleaseSlot(int id);
    bool CheckId(int id);
    bool StartServiceTimer();
    // Frees pending slots whose sound has ended; stops the timer when none is left.
    void Service();
    const char* GetErrorText() const { return error_text; }
    // Whether the service timer is present (read from any thread).
    bool HasServiceTimer() const { return timer.load() != nullptr; }

    int max_sounds = 0;
    const char* error_text = nullptr;
    BYTE initialised = 0;
    IDirectSound* device = nullptr;
    std::unique_ptr<CSoundClip[]> clips;
    // Written by the timer thread's pass and read by the caller's thread.
    std::unique_ptr<std::atomic<BYTE>[]> in_use;
    std::unique_ptr<std::atomic<BYTE>[]> auto_release;
    std::atomic<CPeriodicTimer*> timer { nullptr };
    IDirectSoundBuffer* primary = nullptr;
    HANDLE mutex = nullptr;

private:
    bool InRange(int id) const { return id >= 0 && id < max_sounds; }
    // CheckId for a caller that waited for the lock; an initialised manager fails when the wait timed out.
    bool CheckIdLocked(bool locked, int id);
    // Unloads the clip and frees the slot; the caller holds the lock, or holds a slot that is not pending.
    bool FreeSlot(int id);
    void StopTimer();

    // This process's own lock, taken before the named mutex (an unnamed mutex: its waits can time out).
    HANDLE process_lock = nullptr;
};
