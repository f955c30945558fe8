#pragma once
// What the benchmarks share: table columns as the engine creates them, and
// a scratch directory of the run.

#include <cstdlib>
#include <string>

struct Column {
    const char* Name;
    const char* Type;
    int Width;
    int Decimals;
};

// A new directory under /tmp for this run, ending in "/".
inline std::string ScratchDir(const char* prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    return std::string(mkdtemp(pattern.data())) + "/";
}
