// The RIFF WAVE walker: the format record, the data chunk, ReadWaveData's count and malformed images.
#include "sound/RiffWave.h"
#include "tests/fuzz/RiffWaveImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <ostream>
#include <string>

namespace velmora {

// Lets failed comparisons print the record.
bool operator==(const WaveFormat& a, const WaveFormat& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
std::ostream& operator<<(std::ostream& os, const WaveFormat& f)
{
    return os << '{' << f.formatTag << ',' << f.channels << ',' << f.samplesPerSec << ',' << f.avgBytesPerSec << ','
              << f.blockAlign << ',' << f.bitsPerSample << ',' << f.extraSize << '}';
}

namespace {

using riff_images::Bytes;
using riff_images::PcmFormat;
using B = riff_images::RiffBuilder;
using riff_images::WaveForm;

constexpr WaveFormat kNoFormat = { 0, 0, 0, 0, 0, 0, 0 };

TEST(RiffWave, FormatRecordIsTheFirst18BytesOfTheFmtChunk)
{
    const Bytes pcm = PcmFormat(2, 44100, 16);
    const Bytes samples = { 1, 2, 3, 4 };
    Bytes cutFmt = WaveForm(B().Chunk("fmt ", pcm));
    cutFmt.pop_back();
    struct {
        const char* what;
        Bytes image;
        bool found;
        WaveFormat format;
    } cases[] = {
        // 16-byte chunk: the last field takes the two bytes after it ("da" of the next id).
        { "16-byte fmt", WaveForm(B().Chunk("fmt ", pcm).Chunk("data", samples)), true,
            { 1, 2, 44100, 176400, 4, 16, 0x6164 } },
        { "18-byte fmt", WaveForm(B().Chunk("fmt ", B().Raw(pcm).U16(0).Build()).Chunk("data", samples)), true,
            { 1, 2, 44100, 176400, 4, 16, 0 } },
        // A longer record hands out only its first 18 bytes.
        { "40-byte fmt", WaveForm(B().Chunk("fmt ", B().Raw(pcm).U16(22).U16(16).U32(3).Raw(Bytes(16, 0xEE)).Build())),
            true, { 1, 2, 44100, 176400, 4, 16, 22 } },
        // Whatever the chunk declares, 18 bytes are read from its data.
        { "fmt declaring 4", WaveForm(B().Chunk("fmt ", { 0xFE, 0xFF, 6, 0 }).Chunk("data", samples)), true,
            { 0xFFFE, 6, 0x61746164, 4, 0x0201, 0x0403, 0 } },
        // The image ends inside the record: the rest is zero.
        { "16-byte fmt last", WaveForm(B().Chunk("data", samples).Chunk("fmt ", pcm)), true,
            { 1, 2, 44100, 176400, 4, 16, 0 } },
        { "15 bytes of fmt", cutFmt, true, { 1, 2, 44100, 176400, 4, 0x10, 0 } },
        { "no fmt", WaveForm(B().Chunk("data", samples)), false, kNoFormat },
        { "no WAVE form", B().Header("RIFF", 28).Id("AVI ").Chunk("fmt ", pcm).Build(), false, kNoFormat },
    };
    for (const auto& c : cases) {
        WaveFormat format;
        std::memset(&format, 0xA5, sizeof format);
        EXPECT_EQ(ReadWaveFormat(c.image.data(), c.image.size(), format), c.found) << c.what;
        EXPECT_EQ(format, c.format) << c.what;
    }
}

TEST(RiffWave, ReadWaveDataCountsTheSmallerOfDeclaredAndMaximum)
{
    const Bytes fmt = PcmFormat(1, 8000, 8);
    // Six bytes declared and present; ten declared with six present.
    const Bytes whole = WaveForm(B().Chunk("fmt ", fmt).Chunk("data", { 10, 11, 12, 13, 14, 15 }));
    const Bytes cut = WaveForm(B().Chunk("fmt ", fmt).Header("data", 10).Raw({ 10, 11, 12, 13, 14, 15 }));
    struct {
        const Bytes* image;
        std::uint32_t maxBytes, count;
        Bytes destination; // eight bytes, 0x77 where nothing was copied
    } cases[] = {
        { &whole, 0, 0, { 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77 } },
        { &whole, 3, 3, { 10, 11, 12, 0x77, 0x77, 0x77, 0x77, 0x77 } },
        { &whole, 6, 6, { 10, 11, 12, 13, 14, 15, 0x77, 0x77 } },
        { &whole, 8, 6, { 10, 11, 12, 13, 14, 15, 0x77, 0x77 } },
        { &cut, 4, 4, { 10, 11, 12, 13, 0x77, 0x77, 0x77, 0x77 } },
        { &cut, 8, 8, { 10, 11, 12, 13, 14, 15, 0x77, 0x77 } },
        // The declared count is returned although the image ends sooner.
        { &cut, 0xFFFFFFFF, 10, { 10, 11, 12, 13, 14, 15, 0x77, 0x77 } },
    };
    for (const auto& c : cases) {
        Bytes destination(8, 0x77);
        std::uint32_t count = ReadWaveData(c.image->data(), c.image->size(), destination.data(), c.maxBytes);
        EXPECT_EQ(count, c.count) << c.maxBytes;
        EXPECT_EQ(destination, c.destination) << c.maxBytes;
    }
    EXPECT_EQ(WaveDataSize(whole.data(), whole.size()), 6u);
    EXPECT_EQ(WaveDataSize(cut.data(), cut.size()), 10u);
}

TEST(RiffWave, WalkFollowsTheRiffRules)
{
    const Bytes fmt = PcmFormat(1, 8000, 8);
    const Bytes samples = { 1, 2, 3, 4 };
    const Bytes fmtAndData = B().Id("WAVE").Chunk("fmt ", fmt).Chunk("data", samples).Build();
    const Bytes onlyData = WaveForm(B().Chunk("data", samples));
    const Bytes avi = B().Header("RIFF", 14).Id("AVI ").Chunk("data", { 7, 7 }).Build();
    struct {
        const char* what;
        Bytes image;
        bool found;
        std::size_t offset;
        std::uint32_t declared;
        std::size_t present;
    } cases[] = {
        { "odd chunk with pad skipped", WaveForm(B().Chunk("LIST", { 1, 2, 3 }).Chunk("data", samples)), true, 32, 4,
            4 },
        { "odd data last, no pad", WaveForm(B().Chunk("data", { 1, 2, 3 }, false)), true, 20, 3, 3 },
        { "empty data chunk", WaveForm(B().Chunk("data", {}).Chunk("data", samples)), true, 20, 0, 0 },
        { "first of two data chunks", WaveForm(B().Chunk("data", { 9, 9 }).Chunk("data", samples)), true, 20, 2, 2 },
        { "ids match exactly", WaveForm(B().Chunk("DATA", samples).Chunk("dat ", samples)), false, 0, 0, 0 },
        { "other top-level chunks skipped", B().Chunk("JUNK", { 0, 0 }).Raw(avi).Raw(onlyData).Build(), true, 52, 4,
            4 },
        { "form type matches exactly", B().Header("RIFF", 16).Id("wave").Chunk("data", samples).Build(), false, 0, 0,
            0 },
        { "only RIFF is a form", B().Header("LIST", 16).Id("WAVE").Chunk("data", samples).Build(), false, 0, 0, 0 },
        // The form's declared size bounds the search; a short RIFF size hides what follows.
        { "data after the form's end", B().Header("RIFF", 28).Raw(fmtAndData).Build(), false, 0, 0, 0 },
        { "form size below its type", B().Header("RIFF", 2).Id("WAVE").Chunk("data", samples).Build(), false, 0, 0, 0 },
        { "header past the form's end", B().Header("RIFF", 8).Id("WAVE").Chunk("data", samples).Build(), false, 0, 0,
            0 },
        { "form size 0 with data", B().Header("RIFF", 0).Id("WAVE").Chunk("data", samples).Build(), false, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        RiffChunk data = FindWaveChunk(c.image.data(), c.image.size(), "data");
        EXPECT_EQ(data.found, c.found) << c.what;
        EXPECT_EQ(data.offset, c.offset) << c.what;
        EXPECT_EQ(data.declaredSize, c.declared) << c.what;
        EXPECT_EQ(data.presentSize, c.present) << c.what;
    }
}

TEST(RiffWave, NoImageGivesNothing)
{
    WaveFormat format;
    std::memset(&format, 0xA5, sizeof format);
    unsigned char destination[4] = { 0x77, 0x77, 0x77, 0x77 };
    EXPECT_FALSE(ReadWaveFormat(nullptr, 0, format));
    EXPECT_EQ(format, kNoFormat);
    EXPECT_EQ(WaveDataSize(nullptr, 0), 0u);
    EXPECT_EQ(ReadWaveData(nullptr, 0, destination, 4), 0u);
    EXPECT_EQ(destination[0], 0x77);
    EXPECT_FALSE(FindWaveChunk(nullptr, 0, "data").found);
}

// One row per seed of the fuzzer, so every malformed class is checked without clang too.
TEST(RiffWave, SeedsTable)
{
    struct Expected {
        std::string name;
        bool fmtFound;
        WaveFormat format;
        bool dataFound;
        std::size_t dataOffset;
        std::uint32_t declared;
        std::size_t present;
    };
    const WaveFormat pcmThenDa = { 1, 1, 22050, 44100, 2, 16, 0x6164 };
    const WaveFormat pcmThenFa = { 1, 1, 22050, 44100, 2, 16, 0x6166 };
    const WaveFormat pcmAtEnd = { 1, 1, 22050, 44100, 2, 16, 0 };
    const Expected expected[] = {
        { "valid", true, pcmThenDa, true, 44, 4, 4 },
        { "empty", false, kNoFormat, false, 0, 0, 0 },
        { "short_header", false, kNoFormat, false, 0, 0, 0 },
        { "truncated_chunk_header", true, pcmThenDa, false, 0, 0, 0 },
        { "size_past_end", true, pcmThenDa, true, 44, 1000, 4 },
        { "size_near_max", false, kNoFormat, false, 0, 0, 0 },
        { "data_size_max", true, pcmThenDa, true, 44, 0xFFFFFFFF, 4 },
        { "riff_size_max", true, pcmThenDa, true, 44, 4, 4 },
        { "odd_with_pad", true, pcmThenDa, true, 56, 4, 4 },
        // Without the pad byte the next header is read one byte early and nothing is found.
        { "odd_without_pad", false, kNoFormat, false, 0, 0, 0 },
        { "fmt_short_at_end", true, { 1, 1, 22050, 0, 0, 0, 0 }, true, 20, 4, 4 },
        { "data_before_fmt", true, pcmAtEnd, true, 20, 4, 4 },
        { "list_and_fact", true, pcmThenFa, true, 70, 4, 4 },
        { "no_data", true, pcmThenFa, false, 0, 0, 0 },
        { "no_fmt", false, kNoFormat, true, 20, 4, 4 },
        { "top_size_fffffff8", false, kNoFormat, false, 0, 0, 0 },
        { "chunk_size_fffffff7", false, kNoFormat, false, 0, 0, 0 },
        // The record runs on over the "data" header and the samples.
        { "fmt_short_then_data", true, { 0xFFFE, 6, 0x61746164, 4, 0x0201, 0x0403, 0 }, true, 32, 4, 4 },
        { "riff_size_short", true, pcmThenDa, false, 0, 0, 0 },
        { "other_form_first", true, pcmThenDa, true, 90, 4, 4 },
        { "header_straddles_form_end", true, pcmThenDa, false, 0, 0, 0 },
    };
    auto seeds = riff_images::RiffWaveSeeds();
    ASSERT_EQ(seeds.size(), std::size(expected));
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        const auto& seed = seeds[i];
        const Expected& e = expected[i];
        ASSERT_EQ(seed.name, e.name);
        const std::uint8_t* image = seed.bytes.empty() ? nullptr : seed.bytes.data();
        WaveFormat format;
        EXPECT_EQ(ReadWaveFormat(image, seed.bytes.size(), format), e.fmtFound) << e.name;
        EXPECT_EQ(format, e.format) << e.name;
        RiffChunk data = FindWaveChunk(image, seed.bytes.size(), "data");
        EXPECT_EQ(data.found, e.dataFound) << e.name;
        EXPECT_EQ(data.offset, e.dataOffset) << e.name;
        EXPECT_EQ(data.declaredSize, e.declared) << e.name;
        EXPECT_EQ(data.presentSize, e.present) << e.name;
        // The harness's own checks, so a seed that breaks them fails here first.
        EXPECT_EQ(riff_images::CheckAllQueries(image, seed.bytes.size()), "") << e.name;
    }
}

} // namespace
} // namespace velmora
