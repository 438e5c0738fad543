// Memory straight from the system, for blocks that live exactly as long as
// a document or a pane's items: mapped on their own, so that dropping them
// gives the memory back at once, whatever the heap of the process looks
// like (a heap keeps freed blocks of this size for reuse).  Under
// AddressSanitizer they come from the general heap instead, so that their
// bounds stay checked.
#pragma once
#include <cstddef>

// Under AddressSanitizer every block of a document and of the panes comes
// from the general heap, so each keeps its own guarded bounds.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARNIX_PLAIN_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUARNIX_PLAIN_HEAP 1
#endif

constexpr std::size_t kPageBytes = 4096;

// Zero-filled pages for `bytes` (rounded up to whole pages); none when the
// system refuses.
void* MapPages(std::size_t bytes);
// Gives back what MapPages gave, with the same byte count.
void UnmapPages(void* p, std::size_t bytes);

// Makes the whole pages inside [p, p + bytes) resident in one call (a few
// on Windows) instead of a page fault per page.  A load writes hundreds of
// megabytes of new memory front to back, and each fault costs several
// microseconds (far more in a virtual machine than the page's zeroing).
// Where the system has no such call the pages come by faults, as always.
void MakePagesResident(void* p, std::size_t bytes);
