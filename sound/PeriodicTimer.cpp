// CPeriodicTimer: the multimedia timer's ticks found through a table, so that a stop can wait for one.
#include "PeriodicTimer.h"

#include <mmsystem.h>

#include <algorithm>
#include <map>

namespace {

// One timer as its ticks see it. winmm runs a process's timer callbacks one at a time on its own thread,
// so a tick under way runs on `tickThread`.
struct TickEntry {
    CPeriodicTimer::Callback callback;
    void* user;
    bool live; // false once the timer is stopped: a late tick then does nothing
    int running;
    DWORD tickThread;
};

// Every timer by serial. Entries are made by Start (the timer's creation) and only looked up by ticks,
// so a tick allocates nothing; an entry goes once its timer is stopped and no tick of it runs.
// Win32 locks, because a tick must not throw.
struct TickTable {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE idle = CONDITION_VARIABLE_INIT;
    std::map<DWORD_PTR, TickEntry> entries;
    DWORD_PTR nextSerial = 1;
};

TickTable& Ticks()
{
    static TickTable table;
    return table;
}

class TickTableLock {
public:
    explicit TickTableLock(TickTable& table)
        : m_table(table)
    {
        ::AcquireSRWLockExclusive(&table.lock);
    }
    ~TickTableLock() { ::ReleaseSRWLockExclusive(&m_table.lock); }
    TickTableLock(const TickTableLock&) = delete;
    TickTableLock& operator=(const TickTableLock&) = delete;
    // Gives the lock up until a tick ends, as often as needed until `done()` holds.
    template <class Done> void WaitUntil(Done done)
    {
        while (!done())
            ::SleepConditionVariableSRW(&m_table.idle, &m_table.lock, INFINITE, 0);
    }

private:
    TickTable& m_table;
};

// A tick of the entry runs on a thread other than the caller's (a tick that stops its own timer goes on).
bool RunsElsewhere(const TickEntry& entry)
{
    return entry.running > (entry.tickThread == ::GetCurrentThreadId() ? 1 : 0);
}

// Drops a stopped entry that no tick runs any more.
void EraseIfDone(TickTable& table, DWORD_PTR serial)
{
    auto found = table.entries.find(serial);
    if (found != table.entries.end() && !found->second.live && found->second.running == 0)
        table.entries.erase(found);
}

} // namespace

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
        TickTableLock hold(ticks);
        ticks.entries.emplace(ticks.nextSerial, TickEntry { callback, user, true, 0, 0 });
        m_serial = ticks.nextSerial++;
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
    DWORD_PTR serial = m_serial;
    m_serial = 0;
    TickTable& ticks = Ticks();
    TickTableLock hold(ticks);
    auto found = ticks.entries.find(serial);
    if (found == ticks.entries.end())
        return;
    found->second.live = false;
    // Looked up afresh after each wait: the tick that ends may drop the entry itself.
    hold.WaitUntil([&] {
        auto entry = ticks.entries.find(serial);
        return entry == ticks.entries.end() || !RunsElsewhere(entry->second);
    });
    EraseIfDone(ticks, serial);
}

void CPeriodicTimer::WaitForTicksOf(const void* userValue)
{
    TickTable& ticks = Ticks();
    TickTableLock hold(ticks);
    hold.WaitUntil([&] {
        return std::none_of(ticks.entries.begin(), ticks.entries.end(),
            [&](const auto& entry) { return entry.second.user == userValue && RunsElsewhere(entry.second); });
    });
}

void CALLBACK CPeriodicTimer::TimerProc(UINT, UINT, DWORD_PTR serial, DWORD_PTR, DWORD_PTR)
{
    TickTable& ticks = Ticks();
    Callback function = nullptr;
    void* userValue = nullptr;
    {
        TickTableLock hold(ticks);
        auto found = ticks.entries.find(serial);
        if (found == ticks.entries.end() || !found->second.live)
            return;
        function = found->second.callback;
        userValue = found->second.user;
        ++found->second.running;
        found->second.tickThread = ::GetCurrentThreadId();
    }
    // An exception must not unwind into the multimedia timer.
    try {
        function(userValue);
    } catch (...) {
    }
    {
        TickTableLock hold(ticks);
        // Still there: an entry is never dropped while a tick of it runs.
        --ticks.entries.find(serial)->second.running;
        EraseIfDone(ticks, serial);
    }
    ::WakeAllConditionVariable(&ticks.idle);
}
