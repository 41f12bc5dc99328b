// The sound manager and the frame's interface sounds on Wine's DirectSound, whose output lands in a file.
#include "Harness.h"
#include "LauncherSession.h"
#include "sound/ZibSound.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The file ALSA's default device writes to (VELMORA_ALSA_SINK, a Unix path), as Wine sees it.
std::string SinkFile()
{
    const char* unixPath = std::getenv("VELMORA_ALSA_SINK");
    if (!unixPath || unixPath[0] != '/')
        return "";
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The loudest 16-bit sample in the sink file from byte `from` on, and how many bytes it holds.
struct SinkPeak {
    long bytes = 0;
    int peak = 0;
};

SinkPeak ReadSink(const std::string& path, long from)
{
    SinkPeak result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return result;
    std::fseek(file, 0, SEEK_END);
    result.bytes = std::ftell(file);
    if (result.bytes > from) {
        std::fseek(file, from & ~1L, SEEK_SET);
        std::vector<short> samples(std::size_t(result.bytes - (from & ~1L)) / 2);
        std::size_t count = std::fread(samples.data(), 2, samples.size(), file);
        for (std::size_t i = 0; i < count; ++i)
            result.peak = std::max(result.peak, std::abs(int(samples[i])));
    }
    std::fclose(file);
    return result;
}

using test::NowMs;

std::string ShippedSound(const char* name)
{
    return test::InstallFolder() + "\\Sounds\\" + name;
}

class SoundReal : public test::LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        m_sink = SinkFile();
        ASSERT_FALSE(m_sink.empty()) << "VELMORA_ALSA_SINK names no file";
        m_window = CreateWindowA("STATIC", "sound", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_window);
        LauncherTest::TearDown();
    }

    std::string m_sink;
    HWND m_window = nullptr;
};

TEST_F(SoundReal, PlayOnceOfTheShippedSoundReachesTheDeviceAndFreesItsSlot)
{
    CZibSound sound;
    ASSERT_TRUE(sound.Init(m_window, 16)) << sound.GetErrorText();
    EXPECT_EQ(sound.GetErrorText(), nullptr);
    // The device runs from Init on, writing silence until something plays.
    ASSERT_TRUE(test::WaitFor([&] { return ReadSink(m_sink, 0).bytes > 4096; }));
    SinkPeak before = ReadSink(m_sink, 0);
    EXPECT_EQ(before.peak, 0);

    for (const char* name : { "Highlight.WAV", "Confirm.WAV" }) {
        SCOPED_TRACE(name);
        long from = ReadSink(m_sink, 0).bytes;
        double started = NowMs();
        int id = sound.PlayOnce(ShippedSound(name).c_str());
        ASSERT_EQ(id, 0) << sound.GetErrorText();
        EXPECT_TRUE(sound.IsSlotInUse(id));
        ASSERT_TRUE(test::WaitFor([&] { return !sound.IsSlotInUse(id); }));
        double freed = NowMs() - started;
        ASSERT_TRUE(test::WaitFor([&] { return !sound.HasServiceTimer(); }));
        ASSERT_TRUE(test::WaitFor([&] { return ReadSink(m_sink, from).peak > 2000; }));
        std::printf("%s: slot freed %.0f ms after PlayOnce (unclocked sink), peak %d\n", name, freed,
            ReadSink(m_sink, from).peak);
    }
}

TEST_F(SoundReal, TeardownWithSoundsStillPending)
{
    for (int round = 0; round < 3; ++round) {
        CZibSound sound;
        ASSERT_TRUE(sound.Init(m_window, 16)) << sound.GetErrorText();
        EXPECT_EQ(sound.PlayOnce(ShippedSound("Confirm.WAV").c_str()), 0);
        EXPECT_EQ(sound.PlayOnce(ShippedSound("Highlight.WAV").c_str()), 1);
        EXPECT_EQ(sound.PlayOnce(ShippedSound("Confirm.WAV").c_str()), 2);
        EXPECT_TRUE(sound.HasServiceTimer());
    }
    // The device is free again for the next owner.
    CZibSound after;
    EXPECT_TRUE(after.Init(m_window, 16)) << after.GetErrorText();
}

TEST_F(SoundReal, FramePlaysTheInterfaceSoundsFromTheCurrentFolder)
{
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    test::LauncherSession session;
    CZibSound& sound = session.frame()->GetSound();
    ASSERT_EQ(sound.initialised, 1) << sound.GetErrorText();
    EXPECT_EQ(sound.max_sounds, 16);

    long from = ReadSink(m_sink, 0).bytes;
    session.frame()->PlayHighlightSound();
    EXPECT_TRUE(sound.IsSlotInUse(0));
    ASSERT_TRUE(test::WaitFor([&] { return !sound.IsSlotInUse(0); }));
    ASSERT_TRUE(test::WaitFor([&] { return ReadSink(m_sink, from).peak > 2000; }));

    // How long the wait lasts is measured against a fake device, whose sound ends when told to.
    from = ReadSink(m_sink, 0).bytes;
    session.frame()->PlayConfirmSound();
    // Returned only once the slot was free again.
    EXPECT_FALSE(sound.IsSlotInUse(0));
    ASSERT_TRUE(test::WaitFor([&] { return ReadSink(m_sink, from).peak > 2000; }));
}

TEST_F(SoundReal, WithoutASoundsFolderALaunchWaitsOnlyThePause)
{
    test::TempFolder empty;
    SetCurrentDirectoryA(empty.path().c_str());
    test::LauncherSession session;
    CZibSound& sound = session.frame()->GetSound();
    ASSERT_EQ(sound.initialised, 1) << sound.GetErrorText();
    session.frame()->PlayHighlightSound();
    EXPECT_FALSE(sound.IsSlotInUse(0));
    EXPECT_STREQ(sound.GetErrorText(), "CreateSoundBuffer FAILED");
    double started = NowMs();
    session.frame()->PlayConfirmSound();
    double took = NowMs() - started;
    EXPECT_GE(took, 99.5);
    // Well under a confirmation sound's length; the bound is loose so a busy machine cannot fail it.
    EXPECT_LT(took, 600.0);
    EXPECT_FALSE(sound.HasServiceTimer());
}

// Run as a second process by the test below. Its first sound meets the mutex that the parent holds and
// fails instead of waiting; its second, once the parent has let go, plays and its slot is freed.
TEST(SoundRealChild, FailsWhileTheParentHoldsTheMutexThenPlays)
{
    if (!std::getenv("VELMORA_SOUND_CHILD"))
        GTEST_SKIP() << "runs only as the child of SoundReal.TwoProcessesShareTheNamedMutex";
    HWND window = CreateWindowA("STATIC", "child", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        CZibSound sound;
        ASSERT_TRUE(sound.Init(window, 16)) << sound.GetErrorText();
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "VelmoraSoundChildReady");
        HANDLE refused = OpenEventA(EVENT_MODIFY_STATE, FALSE, "VelmoraSoundChildRefused");
        HANDLE released = OpenEventA(SYNCHRONIZE, FALSE, "VelmoraSoundParentReleased");
        ASSERT_TRUE(ready && refused && released);
        SetEvent(ready);
        EXPECT_EQ(sound.PlayOnce(ShippedSound("Highlight.WAV").c_str()), -1);
        EXPECT_STREQ(sound.GetErrorText(), "Wait for MutexToProtectSound FAILED");
        EXPECT_FALSE(sound.IsSlotInUse(0));
        SetEvent(refused);
        EXPECT_EQ(WaitForSingleObject(released, 60000), WAIT_OBJECT_0);
        for (HANDLE event : { ready, refused, released })
            CloseHandle(event);
        int id = sound.PlayOnce(ShippedSound("Highlight.WAV").c_str());
        ASSERT_EQ(id, 0) << sound.GetErrorText();
        ASSERT_TRUE(test::WaitFor([&] { return !sound.IsSlotInUse(id); }, 60000));
    }
    DestroyWindow(window);
}

TEST_F(SoundReal, TwoProcessesShareTheNamedMutex)
{
    HANDLE shared = CreateMutexA(nullptr, FALSE, "MutexToProtectSound");
    ASSERT_NE(shared, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "VelmoraSoundChildReady");
    HANDLE refused = CreateEventA(nullptr, TRUE, FALSE, "VelmoraSoundChildRefused");
    HANDLE released = CreateEventA(nullptr, TRUE, FALSE, "VelmoraSoundParentReleased");
    ASSERT_TRUE(ready && refused && released);
    ASSERT_EQ(WaitForSingleObject(shared, 5000), WAIT_OBJECT_0);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" --gtest_filter=SoundRealChild.*";
    SetEnvironmentVariableA("VELMORA_SOUND_CHILD", "1");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    BOOL created
        = CreateProcessA(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableA("VELMORA_SOUND_CHILD", nullptr);
    if (!created)
        ReleaseMutex(shared);
    ASSERT_TRUE(created);
    CloseHandle(child.hThread);

    // While this process holds the mutex the child's sound fails after the mutex's time limit; a child
    // that waited for the mutex without a limit would report only after the release.
    EXPECT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(refused, 15000), WAIT_OBJECT_0);
    ReleaseMutex(shared);
    SetEvent(released);
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(child.hProcess);
    for (HANDLE handle : { ready, refused, released, shared })
        CloseHandle(handle);
}

} // namespace
