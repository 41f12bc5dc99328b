// A fake DirectSound device for the tests: it records what it is asked and does what FakeWorld says.
#pragma once

#include "Harness.h"
#include "sound/ZibSound.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

namespace test {

class FakeBuffer : public IDirectSoundBuffer {
public:
    explicit FakeBuffer(DWORD bytes)
        : memory(bytes, 0xCD)
    {
    }

    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ULONG(++refs); }
    STDMETHOD_(ULONG, Release)() override
    {
        int left = --refs;
        if (left < 0)
            ++overReleased;
        return ULONG(left < 0 ? 0 : left);
    }
    STDMETHOD(GetCaps)(LPDSBCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetCurrentPosition)(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetFormat)(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetVolume)(LPLONG) override { return E_NOTIMPL; }
    STDMETHOD(GetPan)(LPLONG) override { return E_NOTIMPL; }
    STDMETHOD(GetFrequency)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetStatus)(LPDWORD status) override
    {
        ++statusCalls;
        *status = (playing ? DSBSTATUS_PLAYING : 0) | (lost ? DSBSTATUS_BUFFERLOST : 0);
        return DS_OK;
    }
    STDMETHOD(Initialize)(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return E_NOTIMPL; }
    STDMETHOD(Lock)
    (DWORD offset, DWORD bytes, LPVOID* region, LPDWORD regionBytes, LPVOID* second, LPDWORD secondBytes,
        DWORD) override
    {
        if (lockResult != DS_OK)
            return lockResult;
        if (offset != 0 || bytes == 0 || bytes > memory.size() || second || secondBytes)
            return DSERR_INVALIDPARAM;
        *region = memory.data();
        *regionBytes = bytes;
        return DS_OK;
    }
    STDMETHOD(Play)(DWORD, DWORD, DWORD flags) override
    {
        if (playResult != DS_OK)
            return playResult;
        playFlags = flags;
        playing = true;
        return DS_OK;
    }
    STDMETHOD(SetCurrentPosition)(DWORD newPosition) override
    {
        if (positionResult != DS_OK)
            return positionResult;
        position = newPosition;
        return DS_OK;
    }
    STDMETHOD(SetFormat)(LPCWAVEFORMATEX format) override
    {
        if (setFormatResult != DS_OK)
            return setFormatResult;
        primaryFormat = *format;
        return DS_OK;
    }
    STDMETHOD(SetVolume)(LONG) override { return E_NOTIMPL; }
    STDMETHOD(SetPan)(LONG) override { return E_NOTIMPL; }
    STDMETHOD(SetFrequency)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Stop)() override
    {
        if (stopResult != DS_OK)
            return stopResult;
        playing = false;
        return DS_OK;
    }
    STDMETHOD(Unlock)(LPVOID, DWORD bytes, LPVOID, DWORD) override
    {
        if (unlockResult != DS_OK)
            return unlockResult;
        unlockedBytes = bytes;
        return DS_OK;
    }
    STDMETHOD(Restore)() override
    {
        ++restoreCalls;
        if (restoreFailures > 0) {
            --restoreFailures;
            return DSERR_BUFFERLOST;
        }
        lost = false;
        return DS_OK;
    }

    std::vector<BYTE> memory;
    std::atomic<int> refs { 1 }, overReleased { 0 }, statusCalls { 0 }, restoreCalls { 0 }, restoreFailures { 0 };
    std::atomic<bool> playing { false }, lost { false };
    DWORD playFlags = 0xFFFF, position = 777, unlockedBytes = 0;
    HRESULT lockResult = DS_OK, unlockResult = DS_OK, playResult = DS_OK, stopResult = DS_OK, positionResult = DS_OK,
            setFormatResult = DS_OK;
    WAVEFORMATEX primaryFormat = {};
};

// What the next device and its buffers will do, and everything they were asked.
struct FakeWorld {
    HRESULT createResult = DS_OK, coopResult = DS_OK, primaryResult = DS_OK, setFormatResult = DS_OK,
            bufferResult = DS_OK, lockResult = DS_OK, unlockResult = DS_OK, playResult = DS_OK;
    int devicesCreated = 0, bufferRequests = 0;
    HWND coopWindow = nullptr;
    DWORD coopLevel = 0;
    DSBUFFERDESC1 lastDescription = {};
    WAVEFORMATEX lastFormat = {};
    std::vector<std::unique_ptr<FakeBuffer>> primaries, buffers;
    // The secondary buffer made last, for a thread that watches while another one plays.
    std::atomic<FakeBuffer*> lastBuffer { nullptr };
    std::atomic<int> deviceRefs { 0 };
};
inline FakeWorld* g_world = nullptr;

class FakeDevice : public IDirectSound {
public:
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ULONG(++g_world->deviceRefs); }
    STDMETHOD_(ULONG, Release)() override { return ULONG(--g_world->deviceRefs); }
    STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER out, IUnknown* outer) override
    {
        FakeWorld& w = *g_world;
        if (outer || description->dwSize != sizeof(DSBUFFERDESC1))
            return DSERR_INVALIDPARAM;
        if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (w.primaryResult != DS_OK)
                return w.primaryResult;
            w.primaries.push_back(std::make_unique<FakeBuffer>(0));
            w.primaries.back()->setFormatResult = w.setFormatResult;
            *out = w.primaries.back().get();
            return DS_OK;
        }
        ++w.bufferRequests;
        std::memcpy(&w.lastDescription, description, sizeof w.lastDescription);
        w.lastFormat = *description->lpwfxFormat;
        if (w.bufferResult != DS_OK)
            return w.bufferResult;
        if (description->dwBufferBytes == 0)
            return DSERR_INVALIDPARAM;
        w.buffers.push_back(std::make_unique<FakeBuffer>(description->dwBufferBytes));
        w.buffers.back()->lockResult = w.lockResult;
        w.buffers.back()->unlockResult = w.unlockResult;
        w.buffers.back()->playResult = w.playResult;
        w.lastBuffer = w.buffers.back().get();
        *out = w.buffers.back().get();
        return DS_OK;
    }
    STDMETHOD(GetCaps)(LPDSCAPS) override { return E_NOTIMPL; }
    STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD level) override
    {
        g_world->coopWindow = window;
        g_world->coopLevel = level;
        return g_world->coopResult;
    }
    STDMETHOD(Compact)() override { return E_NOTIMPL; }
    STDMETHOD(GetSpeakerConfig)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetSpeakerConfig)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPCGUID) override { return E_NOTIMPL; }
};
inline FakeDevice g_device;

inline HRESULT CreateFakeDevice(IDirectSound** device)
{
    ++g_world->devicesCreated;
    if (g_world->createResult != DS_OK)
        return g_world->createResult;
    g_world->deviceRefs = 1;
    *device = &g_device;
    return DS_OK;
}

inline HRESULT WINAPI FakeDirectSoundCreate(LPCGUID, LPDIRECTSOUND* device, LPUNKNOWN)
{
    return CreateFakeDevice(device);
}

// The program's DirectSoundCreate answered by the fake device while the patch lives (dsound is
// delay-loaded: its calls go through the stub).
inline ImportPatch UseFakeDevice()
{
    return ImportPatch(
        reinterpret_cast<const void*>(&::DirectSoundCreate), reinterpret_cast<const void*>(&FakeDirectSoundCreate));
}

} // namespace test
