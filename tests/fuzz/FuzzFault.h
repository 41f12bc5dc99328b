// How a fuzzing harness reports a broken rule, a fault the sanitizers cannot see: it names the rule
// and aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmora {

inline void AbortOnFault(const char* harness, const std::string& fault)
{
    if (fault.empty())
        return;
    std::fprintf(stderr, "%s: %s\n", harness, fault.c_str());
    std::abort();
}

} // namespace velmora
