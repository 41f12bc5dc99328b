// Little-endian RIFF image builder, the fuzzing seeds (one per malformed class) and the rules
// every query must keep on any input; shared by the host tests, the seed writer and the harness.
#pragma once

#include "sound/RiffWave.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace velmora::riff_images {

using Bytes = std::vector<std::uint8_t>;

class RiffBuilder {
public:
    RiffBuilder& Id(const char (&id)[5])
    {
        bytes_.insert(bytes_.end(), id, id + 4);
        return *this;
    }
    RiffBuilder& U16(std::uint16_t v)
    {
        bytes_.insert(bytes_.end(), { std::uint8_t(v), std::uint8_t(v >> 8) });
        return *this;
    }
    RiffBuilder& U32(std::uint32_t v)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(std::uint8_t(v >> shift));
        return *this;
    }
    RiffBuilder& Raw(const Bytes& data)
    {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    // A header that declares `size`, whatever follows it.
    RiffBuilder& Header(const char (&id)[5], std::uint32_t size) { return Id(id).U32(size); }
    // A whole chunk; odd data gets its pad byte unless `pad` is false.
    RiffBuilder& Chunk(const char (&id)[5], const Bytes& data, bool pad = true)
    {
        Header(id, std::uint32_t(data.size())).Raw(data);
        if (pad && data.size() % 2)
            bytes_.push_back(0);
        return *this;
    }
    const Bytes& Build() const { return bytes_; }

private:
    Bytes bytes_;
};

// "RIFF", a size counting the form type and the body, "WAVE", the body.
inline Bytes WaveForm(const Bytes& body)
{
    return RiffBuilder().Header("RIFF", std::uint32_t(4 + body.size())).Id("WAVE").Raw(body).Build();
}

inline Bytes WaveForm(const RiffBuilder& body)
{
    return WaveForm(body.Build());
}

// The 16-byte PCM format chunk data.
inline Bytes PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
{
    std::uint16_t align = std::uint16_t(channels * bits / 8);
    return RiffBuilder().U16(1).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits).Build();
}

struct Seed {
    const char* name;
    Bytes bytes;
};

inline std::vector<Seed> RiffWaveSeeds()
{
    const Bytes fmt = PcmFormat(1, 22050, 16);
    const Bytes samples = { 1, 2, 3, 4 };
    const Bytes list = { 'I', 'N', 'F', 'O', 'x' };
    using B = RiffBuilder;
    const Bytes data = B().Chunk("data", samples).Build();
    const Bytes fmtAndData = B().Chunk("fmt ", fmt).Raw(data).Build();
    return {
        { "valid", WaveForm(fmtAndData) },
        { "empty", {} },
        { "short_header", B().Header("RIFF", 4).Raw({ 'W', 'A' }).Build() },
        { "truncated_chunk_header", WaveForm(B().Chunk("fmt ", fmt).Id("data").U16(4)) },
        { "size_past_end", WaveForm(B().Chunk("fmt ", fmt).Header("data", 1000).Raw(samples)) },
        { "size_near_max", WaveForm(B().Header("LIST", 0xFFFFFFFF).Raw(fmt)) },
        { "data_size_max", WaveForm(B().Chunk("fmt ", fmt).Header("data", 0xFFFFFFFF).Raw(samples)) },
        { "riff_size_max", B().Header("RIFF", 0xFFFFFFFF).Id("WAVE").Raw(fmtAndData).Build() },
        { "odd_with_pad", WaveForm(B().Chunk("LIST", { 'a', 'b', 'c' }).Raw(fmtAndData)) },
        { "odd_without_pad", WaveForm(B().Chunk("LIST", { 'a', 'b', 'c' }, false).Raw(fmtAndData)) },
        { "fmt_short_at_end", WaveForm(B().Chunk("data", samples).Header("fmt ", 16).U16(1).U16(1).U16(0x5622)) },
        { "data_before_fmt", WaveForm(B().Chunk("data", samples).Chunk("fmt ", fmt)) },
        { "list_and_fact",
            WaveForm(B().Chunk("LIST", list).Chunk("fmt ", fmt).Chunk("fact", { 4, 0, 0, 0 }).Raw(data)) },
        { "no_data", WaveForm(B().Chunk("fmt ", fmt).Chunk("fact", { 2, 0, 0, 0 })) },
        { "no_fmt", WaveForm(B().Chunk("data", samples)) },
        // Sizes whose step, counted in 32 bits, comes back to the same header: at the top level
        // (even) and inside the form (odd, with its pad byte).
        { "top_size_fffffff8", B().Header("JUNK", 0xFFFFFFF8).Raw(WaveForm(fmtAndData)).Build() },
        { "chunk_size_fffffff7", WaveForm(B().Header("LIST", 0xFFFFFFF7).Raw(fmtAndData)) },
        { "fmt_short_then_data", WaveForm(B().Chunk("fmt ", { 0xFE, 0xFF, 6, 0 }).Raw(data)) },
        // The form ends after "fmt ": the "data" chunk behind it is outside.
        { "riff_size_short", B().Header("RIFF", 4 + 8 + 16).Id("WAVE").Raw(fmtAndData).Build() },
        { "other_form_first",
            B().Header("RIFF", 4 + 8 + 16 + 8 + 2)
                .Id("AVI ")
                .Chunk("fmt ", Bytes(16, 0xEE))
                .Chunk("data", { 9, 9 })
                .Raw(WaveForm(fmtAndData))
                .Build() },
        // The form ends four bytes into the "data" header.
        { "header_straddles_form_end", B().Header("RIFF", 4 + 8 + 16 + 4).Id("WAVE").Raw(fmtAndData).Build() },
    };
}

// Checks what every query must do on any input, comparing them with one another and with the
// image's own bytes. Returns the first rule broken, or an empty text.
inline std::string CheckAllQueries(const std::uint8_t* image, std::size_t size)
{
    const RiffChunk data = FindWaveChunk(image, size, "data");
    if (data.found) {
        if (data.offset > size || data.presentSize != std::min<std::size_t>(data.declaredSize, size - data.offset))
            return "data chunk outside the image";
    } else if (data.offset || data.declaredSize || data.presentSize) {
        return "missing data chunk has a location";
    }
    if (WaveDataSize(image, size) != (data.found ? data.declaredSize : 0))
        return "WaveDataSize differs from the data chunk";

    WaveFormat format;
    std::memset(&format, 0xA5, sizeof format);
    const RiffChunk fmt = FindWaveChunk(image, size, "fmt ");
    if (ReadWaveFormat(image, size, format) != fmt.found)
        return "ReadWaveFormat result differs from the fmt chunk";
    std::uint8_t expected[sizeof(WaveFormat)] = {};
    if (fmt.found)
        std::memcpy(expected, image + fmt.offset, std::min(sizeof expected, size - fmt.offset));
    if (std::memcmp(&format, expected, sizeof expected) != 0)
        return "format record is not the image's bytes followed by zeros";

    // The destination holds what is present plus a guard band that must stay untouched.
    constexpr std::size_t kGuard = 16;
    const std::size_t present = data.presentSize;
    const std::uint32_t maxima[]
        = { 0, 1, std::uint32_t(present / 2), std::uint32_t(present), std::uint32_t(present + 1), 0xFFFFFFFF };
    for (std::uint32_t maxBytes : maxima) {
        Bytes destination(present + kGuard, 0x5A);
        std::uint32_t count = ReadWaveData(image, size, destination.data(), maxBytes);
        if (count != (data.found ? std::min(data.declaredSize, maxBytes) : 0))
            return "ReadWaveData count is not the smaller of declared size and maximum";
        std::size_t copied = std::min<std::size_t>(count, present);
        if (copied && std::memcmp(destination.data(), image + data.offset, copied) != 0)
            return "ReadWaveData copied other bytes than the data chunk's";
        auto untouched = [](std::uint8_t b) { return b == 0x5A; };
        if (!std::all_of(destination.begin() + std::ptrdiff_t(copied), destination.end(), untouched))
            return "ReadWaveData wrote past the bytes it copied";
    }
    return {};
}

} // namespace velmora::riff_images
