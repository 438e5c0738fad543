// load_file FILE [RUNS]: loads FILE RUNS times (default 3) and prints the
// median wall time of one load and the process's peak resident memory, in
// the same "key value" lines as ruby_load.rb.  Then, as the floor under any
// load into records of this size, the time to obtain and fill as many fresh
// bytes as the document took.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/process_status.h"
#include "marshal/load.h"
#include "marshal/pages.h"
#include "present/viewer_document.h"

namespace {
// Fresh pages obtained and filled front to back, as a load fills its
// pages: the least a load of a document of this size can cost.
double FillFreshPages(std::size_t bytes) {
    constexpr std::size_t kStep = std::size_t{256} << 10;
    auto start = std::chrono::steady_clock::now();
    auto* p = static_cast<char*>(MapPages(bytes));
    if (!p) return -1;
    for (std::size_t at = 0; at < bytes; at += kStep) {
        std::size_t n = bytes - at < kStep ? bytes - at : kStep;
        MakePagesResident(p + at, n);
        std::memset(p + at, 1, n);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    UnmapPages(p, bytes);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_file FILE [RUNS]\n");
        return 64;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    std::vector<double> seconds;
    std::size_t documentBytes = 0;
    for (int i = 0; i < runs; ++i) {
        std::FILE* file = std::fopen(argv[1], "rb");
        if (!file) return 1;
        long residentBefore = StatusKb("VmRSS:");
        auto start = std::chrono::steady_clock::now();
        int rc = LoadDocument(file);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        documentBytes = static_cast<std::size_t>(StatusKb("VmRSS:") - residentBefore) << 10;
        ReleaseNode(&DocumentRoot);
        if (rc != 0) {
            std::fprintf(stderr, "load failed: %d\n", rc);
            return rc;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("quarnix_load_seconds %.4f\n", seconds[seconds.size() / 2]);
    std::printf("quarnix_peak_rss_kb %ld\n", StatusKb("VmHWM:"));
    std::printf("document_resident_bytes %zu\n", documentBytes);
    std::printf("fill_fresh_pages_seconds %.4f\n", FillFreshPages(documentBytes));
    return 0;
}
