// Writes the RIFF WAVE fuzzing seeds, one file per malformed class, into the given folder.
#include "tests/fuzz/RiffWaveImages.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    for (const auto& seed : velmora::riff_images::RiffWaveSeeds()) {
        std::string path = std::string(argv[1]) + "/" + seed.name + ".wav";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.bytes.data()), std::streamsize(seed.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
