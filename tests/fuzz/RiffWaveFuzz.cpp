// libFuzzer harness: every query of the RIFF WAVE walker on arbitrary bytes, under ASan and UBSan.
#include "tests/fuzz/FuzzFault.h"
#include "tests/fuzz/RiffWaveImages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A query that disagrees with the image or the others.
    velmora::AbortOnFault("RiffWave", velmora::riff_images::CheckAllQueries(data, size));
    return 0;
}
