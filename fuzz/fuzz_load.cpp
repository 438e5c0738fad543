// Loads arbitrary bytes and releases the result: no input may crash, hang,
// leak or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "marshal/alloc.h"
#include "marshal/load.h"
#include "present/viewer_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LoadDocumentFromMemory(data, size);
    ReleaseNode(&DocumentRoot);
    if (LiveAllocationCount() != 0) std::abort();
    return 0;
}
