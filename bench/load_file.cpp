// load_file FILE [RUNS]: loads FILE RUNS times (default 3) and prints the
// median wall time of one load and the process's peak resident memory, in
// the same "key value" lines as ruby_load.rb.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "marshal/load.h"

namespace {
long PeakRssKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_file FILE [RUNS]\n");
        return 64;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        std::FILE* file = std::fopen(argv[1], "rb");
        if (!file) return 1;
        auto start = std::chrono::steady_clock::now();
        int rc = LoadDocument(file);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ReleaseNode(&DocumentRoot);
        if (rc != 0) {
            std::fprintf(stderr, "load failed: %d\n", rc);
            return rc;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("quarnix_load_seconds %.4f\n", seconds[seconds.size() / 2]);
    std::printf("quarnix_peak_rss_kb %ld\n", PeakRssKb());
    return 0;
}
