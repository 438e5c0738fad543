// A line of this process's /proc/self/status in kB ("VmHWM:", the peak
// resident memory), for the benchmarks that report memory.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>

inline long StatusKb(const char* key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, std::strlen(key)) == 0) kb = std::atol(line + std::strlen(key));
    std::fclose(f);
    return kb;
}
