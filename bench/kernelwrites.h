#pragma once
// What the kernel counts of the process's writes, for the benchmarks that
// report the bytes and write calls each operation costs.

#include <fstream>
#include <string>

#include <sys/resource.h>

// Bytes and calls written (from /proc/self/io), and the CPU time spent
// outside the kernel (the engine's own work, apart from the waits for the
// disk that make the wall-clock time vary).
struct KernelWrites {
    long long Bytes = 0;
    long long Calls = 0;
    double UserSeconds = 0;
};

inline KernelWrites Written()
{
    KernelWrites writes;
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    writes.UserSeconds = double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) * 1e-6;
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value;
    while (io >> name >> value) {
        if (name == "wchar:")
            writes.Bytes = value;
        else if (name == "syscw:")
            writes.Calls = value;
    }
    return writes;
}
