#include "present/link_text.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "present/access_path.h"
#include "present/holder_index.h"
#include "present/node_location.h"

void AppendLinkText(std::u16string& out, const MarshalNode* target, const HolderIndex* holders) {
    if (!target) return;
    if (holders) {
        const MarshalNode* holder = holders->Holder(target);
        if (holder && LocatesHeldValues(holder->type)) holders->AppendPath(out, target);
        return;
    }
    // FindHoldingItem finds no item for wrapper-held values, and the walk
    // from no item names no level: the same empty text as above.
    std::unique_ptr<char16_t, decltype(&std::free)> path(BuildAccessPath(FindHoldingItem(target), target, 0), &std::free);
    if (!path) throw std::bad_alloc();
    out += path.get();
}
