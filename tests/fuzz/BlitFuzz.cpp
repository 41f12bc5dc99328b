// libFuzzer harness: both blitters with fuzzer-chosen pictures, rectangles, key, phase and period,
// under the fast and the portable kernels, held against the reference under ASan and UBSan.
#include "tests/fuzz/BlitFuzzInput.h"
#include "tests/fuzz/FuzzFault.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Other pixels or another result than the rules give.
    velmora::AbortOnFault("Blit", velmora::blit_fuzz::CheckBlitInput(data, size));
    return 0;
}
