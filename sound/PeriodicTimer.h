// A multimedia timer whose stop waits for a tick under way on its own thread.
#pragma once

#include <windows.h>

class CPeriodicTimer {
public:
    using Callback = int (*)(void* user);
    CPeriodicTimer() = default;
    // Stops the timer, so a record is never freed under a tick.
    ~CPeriodicTimer();
    CPeriodicTimer(const CPeriodicTimer&) = delete;
    CPeriodicTimer& operator=(const CPeriodicTimer&) = delete;

    // Calls `function(userValue)` on the multimedia timer's thread every `periodMs` ms.
    bool Start(UINT periodMs, UINT resolutionMs, void* userValue, Callback function);
    // Kills the timer; on return no tick of it starts, and a tick under way on another thread has ended.
    void Stop();
    // Waits, without a time limit, until no tick of any timer calling back with `userValue` runs on
    // another thread, stopped timers included.
    static void WaitForTicksOf(const void* userValue);

    Callback callback = nullptr;
    void* user = nullptr;
    UINT period = 0;
    UINT resolution = 0;
    UINT timer_id = 0;

private:
    static void CALLBACK TimerProc(UINT id, UINT message, DWORD_PTR serial, DWORD_PTR, DWORD_PTR);
    // The timer's entry in the table through which its ticks find it; 0 when it has none.
    DWORD_PTR m_serial = 0;
};
