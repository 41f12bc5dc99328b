// Writes the seeds of one fuzzing harness (riffwave or blit), one file per class, into a folder.
#include "tests/fuzz/BlitFuzzInput.h"
#include "tests/fuzz/RiffWaveImages.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

template <class Seeds> int WriteSeeds(const Seeds& seeds, const std::string& folder, const char* extension)
{
    for (const auto& seed : seeds) {
        std::string path = folder + "/" + seed.name + extension;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.bytes.data()), std::streamsize(seed.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string harness = argc == 3 ? argv[1] : "";
    if (harness == "riffwave")
        return WriteSeeds(velmora::riff_images::RiffWaveSeeds(), argv[2], ".wav");
    if (harness == "blit")
        return WriteSeeds(velmora::blit_fuzz::BlitSeeds(), argv[2], ".blit");
    std::fprintf(stderr, "usage: %s riffwave|blit <folder>\n", argv[0]);
    return 2;
}
