// The RIFF WAVE walker: chunk headers checked against the bytes present, offsets in 64 bits.
#include "RiffWave.h"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

constexpr std::uint64_t kHeaderSize = 8; // four-character id and 32-bit size
constexpr std::uint64_t kFormTypeSize = 4;

struct Walk {
    const unsigned char* bytes;
    std::uint64_t size;
};

std::uint32_t ReadU32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

bool IdIs(const unsigned char* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

// The chunk after one at `at`: its data is padded to an even length. A size near 0xFFFFFFFF
// moves past the end of any image instead of wrapping, and every step moves forward by at
// least a header, so a walk always ends.
std::uint64_t NextChunk(std::uint64_t at, std::uint32_t declared)
{
    return at + kHeaderSize + declared + (declared & 1u);
}

struct Found {
    bool found;
    std::uint64_t dataAt;
    std::uint32_t declared;
};

// The first RIFF chunk of form type "WAVE" among the top-level chunks.
Found FindWaveForm(const Walk& w)
{
    for (std::uint64_t at = 0; at + kHeaderSize <= w.size;) {
        const unsigned char* header = w.bytes + at;
        std::uint32_t declared = ReadU32(header + 4);
        if (IdIs(header, "RIFF") && at + kHeaderSize + kFormTypeSize <= w.size && IdIs(header + kHeaderSize, "WAVE"))
            return { true, at + kHeaderSize, declared };
        at = NextChunk(at, declared);
    }
    return { false, 0, 0 };
}

// The first chunk with `id` whose header lies wholly within [from, end).
Found FindChunk(const Walk& w, std::uint64_t from, std::uint64_t end, const char* id)
{
    for (std::uint64_t at = from; at + kHeaderSize <= end;) {
        const unsigned char* header = w.bytes + at;
        std::uint32_t declared = ReadU32(header + 4);
        if (IdIs(header, id))
            return { true, at + kHeaderSize, declared };
        at = NextChunk(at, declared);
    }
    return { false, 0, 0 };
}

} // namespace

RiffChunk FindWaveChunk(const void* image, std::size_t size, const char* id)
{
    if (!image)
        return { false, 0, 0, 0 };
    Walk w = { static_cast<const unsigned char*>(image), size };
    Found form = FindWaveForm(w);
    if (!form.found)
        return { false, 0, 0, 0 };
    // A form that claims more than the image holds ends with the image.
    std::uint64_t formEnd = std::min(form.dataAt + form.declared, w.size);
    Found chunk = FindChunk(w, form.dataAt + kFormTypeSize, formEnd, id);
    if (!chunk.found)
        return { false, 0, 0, 0 };
    std::uint64_t present = std::min<std::uint64_t>(chunk.declared, w.size - chunk.dataAt);
    return { true, std::size_t(chunk.dataAt), chunk.declared, std::size_t(present) };
}

bool ReadWaveFormat(const void* image, std::size_t size, WaveFormat& format)
{
    unsigned char record[sizeof(WaveFormat)] = {};
    RiffChunk fmt = FindWaveChunk(image, size, "fmt ");
    if (fmt.found) {
        // The record runs on past a short chunk, as far as the image goes.
        std::size_t available = std::min(sizeof record, size - fmt.offset);
        std::memcpy(record, static_cast<const unsigned char*>(image) + fmt.offset, available);
    }
    std::memcpy(&format, record, sizeof record);
    return fmt.found;
}

std::uint32_t WaveDataSize(const void* image, std::size_t size)
{
    RiffChunk data = FindWaveChunk(image, size, "data");
    return data.found ? data.declaredSize : 0;
}

std::uint32_t ReadWaveData(const void* image, std::size_t size, void* destination, std::uint32_t maxBytes)
{
    RiffChunk data = FindWaveChunk(image, size, "data");
    if (!data.found)
        return 0;
    std::uint32_t count = std::min(data.declaredSize, maxBytes);
    std::size_t copied = std::min<std::size_t>(count, data.presentSize);
    if (copied > 0)
        std::memcpy(destination, static_cast<const unsigned char*>(image) + data.offset, copied);
    return count;
}

} // namespace velmora
