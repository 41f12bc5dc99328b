// Finding the format record and the samples of a RIFF WAVE image held in memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// Byte layout of the platform's WAVEFORMATEX: 18 bytes, no padding, little-endian fields.
#pragma pack(push, 1)
struct WaveFormat {
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t samplesPerSec;
    std::uint32_t avgBytesPerSec;
    std::uint16_t blockAlign;
    std::uint16_t bitsPerSample;
    std::uint16_t extraSize;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18);

// Where a chunk of the WAVE form lies in the image.
struct RiffChunk {
    bool found;
    std::size_t offset; // first byte of the chunk's data
    std::uint32_t declaredSize; // as its header says, even when the image ends sooner
    std::size_t presentSize; // how much of the declared data the image holds
};

// The image is untrusted: every function reads only bytes [image, image + size) and allocates
// nothing. Each walk starts at the top of the image.

// The first chunk with the four-character `id` inside the first RIFF form of type "WAVE".
RiffChunk FindWaveChunk(const void* image, std::size_t size, const char* id);

// Copies the 18 bytes at the start of the "fmt " chunk's data into `format`, whatever size the
// chunk declares; bytes past the end of the image count as zero. Without a "fmt " chunk the
// record is zeroed and the result is false.
bool ReadWaveFormat(const void* image, std::size_t size, WaveFormat& format);

// The declared size of the "data" chunk; 0 when there is none.
std::uint32_t WaveDataSize(const void* image, std::size_t size);

// Copies the start of the "data" chunk into `destination` (which holds `maxBytes`) and returns
// the smaller of the declared size and `maxBytes`, even when the image holds fewer bytes; only
// the bytes present are copied, the rest of the destination is left alone. 0 without "data".
std::uint32_t ReadWaveData(const void* image, std::size_t size, void* destination, std::uint32_t maxBytes);

} // namespace velmora
