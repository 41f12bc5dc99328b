// Drives the real Velmora.exe for a long run and prints its handle count and memory at checkpoints:
// real pointer moves over a button, the gap, the next button and out of the window, each seen on the
// screen, then launches of a stand-in that ends at once by a click on the highlighted button.
// Usage: soak_driver [--hovers N] [--launches N] [--idle SECONDS]   (--idle: the same start, then nothing)
#include "tests/win/Composition.h"
#include "tests/win/Harness.h"
#include "tests/win/RunningLauncher.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The part of the launcher's memory and handles that a leak would grow. Under Wine the psapi private
// usage and GetProcessHandleCount stay 0, so private usage comes from the native VM counters and the
// handles are counted in the system's handle table (by type, so a leak says what it leaks).
struct Usage {
    long handles = -1;
    std::map<std::string, long> handlesByType;
    SIZE_T workingSet = 0, pagefile = 0, privateUsage = 0;
};

// VM_COUNTERS followed by the private usage, as ProcessVmCounters fills it when given room for it.
struct VmCountersEx {
    VM_COUNTERS counters;
    SIZE_T PrivateUsage;
};

constexpr NTSTATUS kInfoLengthMismatch = NTSTATUS(0xC0000004L);

// The type name of handle `value` of `process`, read through a copy of it.
std::string HandleType(HANDLE process, USHORT value)
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(ULONG_PTR(value)), GetCurrentProcess(), &copy, 0, FALSE,
            DUPLICATE_SAME_ACCESS))
        return "(not readable)";
    alignas(8) unsigned char buffer[1024];
    std::string name = "(unnamed)";
    if (NtQueryObject(copy, ObjectTypeInformation, buffer, sizeof buffer, nullptr) >= 0) {
        const auto* info = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
        name.assign(info->TypeName.Buffer, info->TypeName.Buffer + info->TypeName.Length / sizeof(WCHAR));
    }
    CloseHandle(copy);
    return name;
}

void CountHandles(HANDLE process, DWORD processId, Usage& usage)
{
    std::vector<unsigned char> buffer(1 << 20);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed))
        == kInfoLengthMismatch)
        buffer.resize(needed > buffer.size() ? needed + 65536 : buffer.size() * 2);
    if (status < 0)
        return;
    const auto* info = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    usage.handles = 0;
    for (ULONG i = 0; i < info->Count; ++i)
        if (info->Handle[i].OwnerPid == processId) {
            ++usage.handles;
            ++usage.handlesByType[HandleType(process, info->Handle[i].HandleValue)];
        }
}

Usage Measure(const test::RunningLauncher& launcher)
{
    Usage usage;
    CountHandles(launcher.process(), launcher.processId(), usage);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(launcher.process(), &memory, sizeof memory)) {
        usage.workingSet = memory.WorkingSetSize;
        usage.pagefile = memory.PagefileUsage;
    }
    VmCountersEx vm = {};
    if (NtQueryInformationProcess(launcher.process(), ProcessVmCounters, &vm, sizeof vm, nullptr) >= 0)
        usage.privateUsage = vm.PrivateUsage;
    return usage;
}

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

class Report {
public:
    explicit Report(const test::RunningLauncher& launcher)
        : m_launcher(launcher)
        , m_start(Seconds())
    {
        std::printf("%-22s %8s %8s %16s %13s %12s\n", "checkpoint", "time s", "handles", "working set KiB",
            "pagefile KiB", "private KiB");
    }

    // Prints the launcher's usage and returns it, measured once the last sound has ended and the sound's
    // service timer has stopped: whether its thread runs would otherwise swing the figures by about 1 MiB.
    Usage Checkpoint(const std::string& name)
    {
        double settled = Seconds() + 2.0;
        test::WaitFor([&] { return Seconds() >= settled; });
        Usage usage = Measure(m_launcher);
        std::printf("%-22s %8.1f %8ld %16lu %13lu %12lu\n", name.c_str(), Seconds() - m_start, usage.handles,
            Kib(usage.workingSet), Kib(usage.pagefile), Kib(usage.privateUsage));
        std::fflush(stdout);
        return usage;
    }

    // `pace`, when given, is the phase's time per step as a multiple of its warm-up's in this run: under
    // an emulator, the seconds time the emulator, and only such a ratio says whether the launcher slowed.
    static void Growth(const char* phase, const Usage& before, const Usage& after, double seconds, double pace = 0)
    {
        std::printf("%s: %.1f s", phase, seconds);
        if (pace > 0)
            std::printf(" (%.2fx the warm-up's time per step)", pace);
        std::printf("; growth: handles %+ld, working set %+ld KiB, pagefile %+ld KiB, private %+ld KiB\n",
            after.handles - before.handles, Delta(before.workingSet, after.workingSet),
            Delta(before.pagefile, after.pagefile), Delta(before.privateUsage, after.privateUsage));
        std::map<std::string, long> change;
        for (const auto& [type, count] : before.handlesByType)
            change[type] -= count;
        for (const auto& [type, count] : after.handlesByType)
            change[type] += count;
        for (const auto& [type, count] : change)
            if (count != 0)
                std::printf("  %s handles %+ld\n", type.c_str(), count);
        std::fflush(stdout);
    }

private:
    static unsigned long Kib(SIZE_T bytes) { return static_cast<unsigned long>(bytes / 1024); }
    static long Delta(SIZE_T before, SIZE_T after) { return long(Kib(after)) - long(Kib(before)); }

    const test::RunningLauncher& m_launcher;
    double m_start;
};

// What the two buttons and the gap between them look like in each hover state, and where they are.
class HoverArea {
public:
    static constexpr int kSizeIndex = 2;
    static constexpr int kFirst = 5, kSecond = 6; // side by side in the middle row

    explicit HoverArea(HWND view)
        : m_view(view)
    {
        RECT client;
        GetClientRect(view, &client);
        CDibSurface picture;
        picture.LoadFromResource(velmora::ButtonPictureId(kSizeIndex, 0, false));
        m_rects = velmora::ComputeButtonLayout(client.right, client.bottom, picture.m_nWidth, picture.m_nHeight);
        const velmora::Rect &first = m_rects[kFirst], &second = m_rects[kSecond];
        m_area = { first.left, first.top, second.right, second.bottom };
        for (int lit : { -1, kFirst, kSecond })
            m_looks.push_back(Crop(test::Expected(kSizeIndex, client.right, client.bottom, lit), client.right));
    }

    // Screen points on a button, in the gap after the first one, and out of the launcher's window.
    POINT OnButton(int button) const
    {
        const velmora::Rect& r = m_rects[button];
        return ToScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    POINT InGap() const
    {
        return ToScreen((m_rects[kFirst].right + m_rects[kSecond].left) / 2, m_rects[kFirst].top + 20);
    }

    // Waits until the screen shows `lit` highlighted (-1: none) and nothing else.
    bool WaitUntilShown(int lit, DWORD timeoutMs) const
    {
        const test::Pixels& expected = m_looks[lit == kFirst ? 1 : lit == kSecond ? 2 : 0];
        POINT origin = ToScreen(m_area.left, m_area.top);
        int width = m_area.right - m_area.left, height = m_area.bottom - m_area.top;
        return test::WaitFor([&] { return test::ScreenArea(origin, width, height) == expected; }, timeoutMs);
    }

private:
    POINT ToScreen(int x, int y) const
    {
        POINT point = { x, y };
        ClientToScreen(m_view, &point);
        return point;
    }

    test::Pixels Crop(const test::Pixels& whole, int wholeWidth) const
    {
        test::Pixels part;
        for (int y = m_area.top; y < m_area.bottom; ++y)
            part.insert(part.end(), whole.begin() + std::size_t(y) * wholeWidth + m_area.left,
                whole.begin() + std::size_t(y) * wholeWidth + m_area.right);
        return part;
    }

    HWND m_view;
    velmora::ButtonRects m_rects;
    velmora::Rect m_area;
    std::vector<test::Pixels> m_looks; // none, first, second highlighted
};

// A phase's time per step as a multiple of its warm-up's; 0 when either is unknown.
double Pace(double seconds, long steps, double warmUpStep)
{
    return steps > 0 && warmUpStep > 0 ? seconds / double(steps) / warmUpStep : 0;
}

struct Options {
    int hovers = 10000, launches = 200, idleSeconds = 0, warmUpHovers = 100, warmUpLaunches = 10;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        int value = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--hovers") == 0)
            options.hovers = value;
        else if (std::strcmp(argv[i], "--launches") == 0)
            options.launches = value;
        else if (std::strcmp(argv[i], "--idle") == 0)
            options.idleSeconds = value;
    }
    return options;
}

constexpr POINT kOutside = { 1279, 1023 }; // the launcher's window sits at (0, 0) on a 1280x1024 desktop

// Moves the pointer to `to` and waits until the screen shows `lit` (-1: no button) highlighted. Under
// Wine, about once in a thousand moves the view stays as it was before the move for good; a fresh move
// one pixel on, after a generous wait, brings it along. Such repeats are counted and reported.
long g_retries = 0;

bool MoveAndWait(const HoverArea& area, POINT to, int lit)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        test::MovePointer(to.x - attempt % 2, to.y);
        if (area.WaitUntilShown(lit, attempt == 3 ? 15000 : 3000))
            return true;
        ++g_retries;
    }
    return false;
}

// Hover transition `n` of the cycle first button, gap, second button, outside; false if never shown.
bool Hover(const HoverArea& area, long n)
{
    static const int lit[4] = { HoverArea::kFirst, -1, HoverArea::kSecond, -1 };
    int step = int(n % 4);
    POINT to = step == 0 ? area.OnButton(HoverArea::kFirst)
        : step == 1      ? area.InGap()
        : step == 2      ? area.OnButton(HoverArea::kSecond)
                         : kOutside;
    if (MoveAndWait(area, to, lit[step]))
        return true;
    std::fprintf(stderr, "soak: hover transition %ld (step %d) never showed\n", n, step);
    return false;
}

long g_clicksRepeated = 0;

// Why a click on the highlighted button started no game within a few seconds, or null when the
// launcher still answers with its frame shown (the click was lost, and another one is due).
const char* WhyNoStart(const test::RunningLauncher& launcher)
{
    HWND frame = launcher.Frame();
    if (!frame)
        return "the launcher's frame is gone";
    if (!IsWindowVisible(frame))
        return "the launcher hid its frame but started no game";
    if (IsHungAppWindow(frame))
        return "the launcher stopped answering with its frame shown";
    return nullptr;
}

// One launch: highlight the first button, click it, and wait for the stand-in to have started and the
// launcher to be back in front.
bool Launch(const HoverArea& area, const test::RunningLauncher& launcher, const test::StandInLog& log)
{
    long starts = long(log.Starts().size());
    auto started = [&] { return long(log.Starts().size()) > starts; };
    POINT button = area.OnButton(HoverArea::kFirst);
    const char* failed = nullptr;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!MoveAndWait(area, area.InGap(), -1)) {
            failed = "the highlight did not go in the gap";
            break;
        }
        if (!MoveAndWait(area, button, HoverArea::kFirst)) {
            failed = "the button was not highlighted";
            break;
        }
        test::ClickAt(button.x, button.y);
        if (test::WaitFor(started, 5000)) {
            failed = nullptr;
            break;
        }
        failed = WhyNoStart(launcher);
        if (failed) {
            // A slow start still counts; one that never comes is the fault reported.
            if (test::WaitFor(started, 60000))
                failed = nullptr;
            break;
        }
        failed = "three clicks started no game";
        ++g_clicksRepeated;
    }
    if (!failed && !launcher.WaitForFrame())
        failed = "the launcher did not come back in front";
    if (failed)
        std::fprintf(stderr, "soak: launch after %ld starts: %s\n", starts, failed);
    return !failed;
}

} // namespace

int main(int argc, char** argv)
{
    Options options = ParseOptions(argc, argv);
    test::ClearSettings();
    test::WriteSetting("WPSizeIndex", HoverArea::kSizeIndex);
    test::WriteSetting("IDS_REG_LEFT", 0);
    test::WriteSetting("IDS_REG_TOP", 0);
    test::MovePointer(kOutside.x, kOutside.y);
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "1");

    test::RunningLauncher launcher(test::InstallFolder());
    HWND frame = launcher.started() ? launcher.WaitForFrame() : nullptr; // the pictures go by themselves
    if (!frame) {
        std::fprintf(stderr, "soak: the launcher's frame did not appear\n");
        return 1;
    }
    const char* route = std::getenv("VELMORA_I386_ROUTE");
    if (route && std::strcmp(route, "qemu") == 0)
        std::printf("Wine's 32-bit programs run under qemu's emulator here: the seconds time the emulator and the\n"
                    "working set includes it; the paces below are ratios within this run.\n");
    Report report(launcher);
    Usage atStart = report.Checkpoint("start");
    int status = 0;

    if (options.idleSeconds > 0) {
        Usage before = atStart;
        double start = Seconds();
        Usage after = before;
        for (int tenth = 1; tenth <= 10; ++tenth) {
            test::WaitFor([&] { return Seconds() - start >= options.idleSeconds * tenth / 10.0; },
                DWORD(options.idleSeconds) * 1000 + 10000);
            after = report.Checkpoint("idle " + std::to_string(options.idleSeconds * tenth / 10) + " s");
        }
        Report::Growth("idle", before, after, Seconds() - start);
    } else {
        HoverArea area(GetWindow(frame, GW_CHILD));
        long n = 0;
        double start = Seconds();
        for (; n < options.warmUpHovers && status == 0; ++n)
            status = Hover(area, n) ? 0 : 1;
        double warmUpStep = (Seconds() - start) / std::max(options.warmUpHovers, 1);
        Usage before = report.Checkpoint("hover warm-up done");
        start = Seconds();
        Usage after = before;
        for (long done = 1; done <= options.hovers && status == 0; ++done, ++n) {
            status = Hover(area, n) ? 0 : 1;
            if (done % 1000 == 0 || done == options.hovers)
                after = report.Checkpoint("hovers " + std::to_string(done));
        }
        if (status == 0 && options.hovers > 0)
            Report::Growth(
                "hovers", before, after, Seconds() - start, Pace(Seconds() - start, options.hovers, warmUpStep));

        start = Seconds();
        for (int warmUp = 0; warmUp < options.warmUpLaunches && status == 0; ++warmUp)
            status = Launch(area, launcher, log) ? 0 : 1;
        warmUpStep = (Seconds() - start) / std::max(options.warmUpLaunches, 1);
        before = report.Checkpoint("launch warm-up done");
        start = Seconds();
        after = before;
        for (long done = 1; done <= options.launches && status == 0; ++done) {
            status = Launch(area, launcher, log) ? 0 : 1;
            if (done % 50 == 0 || done == options.launches)
                after = report.Checkpoint("launches " + std::to_string(done));
        }
        if (status == 0 && options.launches > 0)
            Report::Growth(
                "launches", before, after, Seconds() - start, Pace(Seconds() - start, options.launches, warmUpStep));
    }
    if (options.idleSeconds == 0)
        std::printf("pointer moves repeated after a move that did not show: %ld; clicks repeated: %ld; games "
                    "started: %zu\n",
            g_retries, g_clicksRepeated, log.Starts().size());
    test::MovePointer(kOutside.x, kOutside.y);
    test::ClearSettings();
    return status;
}
