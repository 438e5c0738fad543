// release_memory LARGE SMALL: the process's resident memory with the small
// file open, then after opening the large one and the small one again, over
// the in-memory panes: what the large document leaves behind once it is
// released.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "present/text.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/viewer.h"

namespace {
long ResidentKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

int Open(const char* file) {
    char16_t* path = Utf8ToWide(file);
    int rc = LoadOpenedFile(OpenDocumentFileBytes(file), path ? path : u"");
    std::free(path);
    return rc;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: release_memory LARGE SMALL\n");
        return 64;
    }
    HeadlessReset();  // the in-memory panes
    InitViewer();
    if (Open(argv[2]) != 0) return 1;
    long before = ResidentKb();
    if (Open(argv[1]) != 0) return 1;
    long large = ResidentKb();
    if (Open(argv[2]) != 0) return 1;
    long after = ResidentKb();
    ShutdownViewer();
    std::printf("resident_kb_small_open %ld\n", before);
    std::printf("resident_kb_large_open %ld\n", large);
    std::printf("resident_kb_small_again %ld\n", after);
    std::printf("left_behind %.3f\n", static_cast<double>(after) / static_cast<double>(before) - 1.0);
    return 0;
}
