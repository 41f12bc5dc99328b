// Re-encodes the screenshot tool's uncompressed PNG files with filtering and zlib compression, for
// the documentation. Usage: png_pack <in.png> <out.png>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Big32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void PutBig32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutBig32(out, std::uint32_t(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, std::uint32_t(crc32(0, &out[start], uInt(out.size() - start))));
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "png_pack: %s\n", what);
    std::exit(1);
}

int Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        Fail("usage: png_pack <in.png> <out.png>");
    std::ifstream in(argv[1], std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 8 + 25 || std::memcmp(file.data() + 1, "PNG", 3) != 0)
        Fail("not a PNG file");

    // Collect the header and the compressed image data, checking every chunk lies in the file.
    std::uint32_t width = 0, height = 0;
    Bytes compressed;
    for (std::size_t pos = 8; pos + 12 <= file.size();) {
        std::uint32_t length = Big32(&file[pos]);
        if (length > file.size() - pos - 12)
            Fail("truncated chunk");
        const std::uint8_t* data = &file[pos + 8];
        if (std::memcmp(&file[pos + 4], "IHDR", 4) == 0 && length >= 13) {
            width = Big32(data);
            height = Big32(data + 4);
            if (data[8] != 8 || data[9] != 2 || data[12] != 0)
                Fail("only 8-bit RGB images without interlacing are packed");
        } else if (std::memcmp(&file[pos + 4], "IDAT", 4) == 0) {
            compressed.insert(compressed.end(), data, data + length);
        }
        pos += 12 + length;
    }
    if (width == 0 || height == 0 || width > 16384 || height > 16384)
        Fail("bad image size");
    std::size_t rowBytes = std::size_t(width) * 3;
    Bytes raw((rowBytes + 1) * height);
    uLongf rawSize = uLongf(raw.size());
    if (uncompress(raw.data(), &rawSize, compressed.data(), uLong(compressed.size())) != Z_OK || rawSize != raw.size())
        Fail("image data does not unpack to its size");

    // Per row, the filter whose output has the smallest sum of magnitudes.
    Bytes filtered;
    filtered.reserve(raw.size());
    Bytes previous(rowBytes, 0), candidate(rowBytes);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = &raw[y * (rowBytes + 1) + 1];
        if (raw[y * (rowBytes + 1)] != 0)
            Fail("input rows must be unfiltered");
        int bestFilter = 0;
        long bestCost = -1;
        Bytes best;
        for (int filter = 0; filter < 5; ++filter) {
            long cost = 0;
            for (std::size_t x = 0; x < rowBytes; ++x) {
                int a = x >= 3 ? row[x - 3] : 0, b = previous[x], c = x >= 3 ? previous[x - 3] : 0;
                int predicted = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2 : filter == 4 ? Paeth(a, b, c) : 0;
                candidate[x] = std::uint8_t(row[x] - predicted);
                cost += std::abs(int(std::int8_t(candidate[x])));
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                bestFilter = filter;
                best = candidate;
            }
        }
        filtered.push_back(std::uint8_t(bestFilter));
        filtered.insert(filtered.end(), best.begin(), best.end());
        std::memcpy(previous.data(), row, rowBytes);
    }

    uLongf packedSize = compressBound(uLong(filtered.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, filtered.data(), uLong(filtered.size()), 9) != Z_OK)
        Fail("compression failed");
    packed.resize(packedSize);

    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBig32(header, width);
    PutBig32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    std::ofstream result(argv[2], std::ios::binary);
    result.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return result ? 0 : 1;
}
