// libFuzzer harness: every query of the RIFF WAVE walker on arbitrary bytes, under ASan and UBSan.
#include "tests/fuzz/RiffWaveImages.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A fault the sanitizers cannot see: a query that disagrees with the image or the others.
    std::string broken = velmora::riff_images::CheckAllQueries(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "RiffWave: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
