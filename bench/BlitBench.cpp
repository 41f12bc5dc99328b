// Speed of the blitters on the launcher's workloads, as multiples of a plain memcpy of the same
// number of destination bytes, beside SDL2 doing the same on 8-bit indexed surfaces.
#include "graphics/BlitCore.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace velmora;

namespace {

constexpr int kButton = 176;

struct Picture {
    int width, height;
    std::vector<std::uint8_t> bits;
    Picture(int w, int h)
        : width(w)
        , height(h)
        , bits(std::size_t(RowStride(w)) * h)
    {
    }
    PixelView view() { return { bits.data(), width, height }; }
    ConstPixelView cview() const { return { bits.data(), width, height }; }
};

// A background with some texture, and a button: a filled disc with a ring on key-0 surroundings.
Picture MakeBackground()
{
    Picture p(1024, 768);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.bits[std::size_t(y) * RowStride(p.width) + x] = std::uint8_t(10 + (x / 8 + y / 8) % 200);
    return p;
}

Picture MakeButton()
{
    Picture p(kButton, kButton);
    const int c = kButton / 2;
    for (int y = 0; y < kButton; ++y)
        for (int x = 0; x < kButton; ++x) {
            int r2 = (x - c) * (x - c) + (y - c) * (y - c);
            std::uint8_t v = r2 < 80 * 80 ? std::uint8_t(40 + (x + y) % 90) : r2 < 86 * 86 ? 200 : 0;
            p.bits[std::size_t(y) * kButton + x] = v;
        }
    return p;
}

// Button rectangles as the launcher view lays them out: 4 columns by 3 rows with even margins.
std::vector<Rect> ButtonRects(int W, int H)
{
    std::vector<Rect> rects;
    const int gx = (W - 4 * kButton) / 8, gy = (H - 3 * kButton) / 6;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            int left = gx + c * (kButton + 2 * gx), top = gy + r * (kButton + 2 * gy);
            rects.push_back({ left, top, left + kButton, top + kButton });
        }
    return rects;
}

const Picture& Background()
{
    static const Picture p = MakeBackground();
    return p;
}
const Picture& Button()
{
    static const Picture p = MakeButton();
    return p;
}

// Mean time of one memcpy of `bytes` between two buffers of that size.
double MemcpyNs(std::size_t bytes)
{
    static std::map<std::size_t, double> cache;
    if (auto it = cache.find(bytes); it != cache.end())
        return it->second;
    std::vector<std::uint8_t> from(bytes, 1), to(bytes, 0);
    using Clock = std::chrono::steady_clock;
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        long n = 0;
        auto start = Clock::now();
        std::chrono::duration<double, std::nano> spent {};
        do {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
            ++n;
            spent = Clock::now() - start;
        } while (spent.count() < 40e6);
        best = std::min(best, spent.count() / double(n));
    }
    return cache[bytes] = best;
}

struct Result {
    double ns, ratio;
};
std::map<std::string, std::map<std::string, Result>> g_results; // workload -> who -> result

// Runs `body` as the benchmark's loop and reports it against memcpy.
template <class Body>
void Measure(benchmark::State& state, const char* workload, const char* who, std::size_t bytes, Body body)
{
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
    }
    std::chrono::duration<double, std::nano> spent = Clock::now() - start;
    double ns = spent.count() / double(state.iterations());
    double ratio = ns / MemcpyNs(bytes);
    state.counters["x_memcpy"] = ratio;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    g_results[workload][who] = { ns, ratio };
}

constexpr std::size_t kFrameButtons = 12 * kButton * kButton;

void Ours(benchmark::State& state, const char* workload)
{
    const Picture& bg = Background();
    const Picture& button = Button();
    std::string w = workload;
    if (w == "equal 1024x768") {
        Picture canvas(1024, 768);
        Measure(state, workload, "velmora", 1024 * 768, [&] {
            Blit(canvas.view(), bg.cview(), { 0, 0, 1024, 768 }, { 0, 0, 1024, 768 });
        });
    } else if (w == "stretch 1024x768->1100x800") {
        Picture canvas(1100, 800);
        Measure(state, workload, "velmora", 1100 * 800, [&] {
            Blit(canvas.view(), bg.cview(), { 0, 0, 1100, 800 }, { 0, 0, 1100, 800 });
        });
    } else if (w == "keyed button 176x176") {
        Picture canvas(1024, 768);
        Measure(state, workload, "velmora", kButton * kButton, [&] {
            BlitKeyed(canvas.view(), button.cview(), { 0, 0, kButton, kButton }, { 100, 100, 276, 276 }, 0, 0, 0);
        });
    } else {
        const int W = w == "frame 1024x768" ? 1024 : 1100, H = W == 1024 ? 768 : 800;
        Picture canvas(W, H);
        std::vector<Rect> rects = ButtonRects(W, H);
        Measure(state, workload, "velmora", std::size_t(W) * H + kFrameButtons, [&] {
            Blit(canvas.view(), bg.cview(), { 0, 0, W, H }, { 0, 0, W, H });
            for (const Rect& r : rects)
                BlitKeyed(canvas.view(), button.cview(), { 0, 0, kButton, kButton }, r, 0, 0, 0);
        });
    }
}

// SDL surfaces sharing one palette, so that indexed blits copy bytes without translating them.
struct SdlPicture {
    SDL_Surface* surface;
    SdlPicture(const Picture& from, SDL_Palette* palette)
        : surface(SDL_CreateRGBSurfaceWithFormat(0, from.width, from.height, 8, SDL_PIXELFORMAT_INDEX8))
    {
        SDL_SetSurfacePalette(surface, palette);
        // SDL rows run top-down.
        for (int y = 0; y < from.height; ++y)
            std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                from.bits.data() + std::size_t(from.height - 1 - y) * RowStride(from.width), from.width);
    }
    SdlPicture(int w, int h, SDL_Palette* palette)
        : surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8))
    {
        SDL_SetSurfacePalette(surface, palette);
    }
    ~SdlPicture() { SDL_FreeSurface(surface); }
    SdlPicture(const SdlPicture&) = delete;
    SdlPicture& operator=(const SdlPicture&) = delete;
};

SDL_Palette* SharedPalette()
{
    static SDL_Palette* palette = [] {
        SDL_Palette* p = SDL_AllocPalette(256);
        SDL_Color colors[256];
        for (int i = 0; i < 256; ++i)
            colors[i] = { Uint8(i), Uint8(255 - i), Uint8(i * 7), 255 };
        SDL_SetPaletteColors(p, colors, 0, 256);
        return p;
    }();
    return palette;
}

void Sdl(benchmark::State& state, const char* workload)
{
    SDL_Palette* palette = SharedPalette();
    SdlPicture bg(Background(), palette), button(Button(), palette);
    SDL_SetColorKey(button.surface, SDL_TRUE, 0);
    std::string w = workload;
    if (w == "equal 1024x768") {
        SdlPicture canvas(1024, 768, palette);
        Measure(state, workload, "SDL2", 1024 * 768,
            [&] { SDL_BlitSurface(bg.surface, nullptr, canvas.surface, nullptr); });
    } else if (w == "stretch 1024x768->1100x800") {
        SdlPicture canvas(1100, 800, palette);
        Measure(state, workload, "SDL2", 1100 * 800,
            [&] { SDL_SoftStretch(bg.surface, nullptr, canvas.surface, nullptr); });
    } else if (w == "keyed button 176x176") {
        SdlPicture canvas(1024, 768, palette);
        Measure(state, workload, "SDL2", kButton * kButton, [&] {
            SDL_Rect r = { 100, 100, kButton, kButton };
            SDL_BlitSurface(button.surface, nullptr, canvas.surface, &r);
        });
    } else {
        const int W = w == "frame 1024x768" ? 1024 : 1100, H = W == 1024 ? 768 : 800;
        SdlPicture canvas(W, H, palette);
        std::vector<Rect> rects = ButtonRects(W, H);
        Measure(state, workload, "SDL2", std::size_t(W) * H + kFrameButtons, [&] {
            // The background is cut to the canvas, or stretched when the canvas is larger.
            if (W <= 1024) {
                SDL_Rect s = { 0, 0, W, H };
                SDL_BlitSurface(bg.surface, &s, canvas.surface, nullptr);
            } else {
                SDL_SoftStretch(bg.surface, nullptr, canvas.surface, nullptr);
            }
            for (const Rect& r : rects) {
                SDL_Rect d = { r.left, r.top, kButton, kButton };
                SDL_BlitSurface(button.surface, nullptr, canvas.surface, &d);
            }
        });
    }
}

const char* const kWorkloads[]
    = { "equal 1024x768", "stretch 1024x768->1100x800", "keyed button 176x176", "frame 1024x768", "frame 1100x800" };

} // namespace

int main(int argc, char** argv)
{
    for (const char* w : kWorkloads) {
        benchmark::RegisterBenchmark((std::string("velmora/") + w).c_str(), Ours, w)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("SDL2/") + w).c_str(), Sdl, w)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf(
        "\n%-28s %12s %10s %12s %10s %10s\n", "workload", "velmora us", "x memcpy", "SDL2 us", "x memcpy", "SDL2/ours");
    for (const char* w : kWorkloads) {
        auto it = g_results.find(w);
        if (it == g_results.end() || !it->second.count("velmora") || !it->second.count("SDL2"))
            continue;
        Result ours = it->second["velmora"], sdl = it->second["SDL2"];
        std::printf("%-28s %12.1f %10.2f %12.1f %10.2f %10.1f\n", w, ours.ns / 1e3, ours.ratio, sdl.ns / 1e3, sdl.ratio,
            sdl.ns / ours.ns);
    }
    return 0;
}
