// diff_bench OLD NEW: loads both files, then compares them as
// `quarnix-dump --diff` does, without printing; prints the load and compare
// times, the differences found, the bytes the two documents mapped and the
// process's peak resident memory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench/process_status.h"
#include "compare/compare.h"
#include "compare/value_hash.h"
#include "marshal/document.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: diff_bench OLD NEW\n");
        return 64;
    }
    auto before = std::make_unique<MarshalDocument>();
    auto after = std::make_unique<MarshalDocument>();
    auto start = std::chrono::steady_clock::now();
    for (auto [path, doc] : {std::pair{argv[1], before.get()}, std::pair{argv[2], after.get()}}) {
        std::FILE* f = std::fopen(path, "rb");
        if (!f || LoadIntoDocument(doc, f) != 0) {
            std::fprintf(stderr, "%s does not load\n", path);
            return 2;
        }
    }
    const double load = Seconds(start);
    const long rssLoaded = StatusKb("VmHWM:");
    start = std::chrono::steady_clock::now();
    std::uint64_t differences = 0, fallbacks = 0;
    ValueHasher hasher;
    CompareStatus status = CompareDocuments(*before, *after, hasher, [&](const Difference& d) {
        ++differences;
        fallbacks += d.op == DiffOp::kByPosition;
        return true;
    });
    const double compare = Seconds(start);
    const double mapped = static_cast<double>(DocumentMappedBytes(before.get()) + DocumentMappedBytes(after.get()));
    std::printf("load_both_s %.3f\ncompare_s %.3f\nratio_to_loads %.2f\ndifferences %llu\nby_position %llu\n", load,
                compare, (load + compare) / load, static_cast<unsigned long long>(differences),
                static_cast<unsigned long long>(fallbacks));
    std::printf("documents_mb %.1f\npeak_after_load_mb %.1f\npeak_mb %.1f\npeak_over_documents %.2f\n", mapped / 1048576,
                rssLoaded / 1024.0, StatusKb("VmHWM:") / 1024.0, StatusKb("VmHWM:") * 1024.0 / mapped);
    ReleaseNode(&before->root);
    ReleaseNode(&after->root);
    return status == CompareStatus::kDone ? 0 : 2;
}
