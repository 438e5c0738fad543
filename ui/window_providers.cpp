#include "ui/window_providers.h"

namespace {
WindowProvider g_slots[static_cast<int>(ProviderSlot::kCount)];

// Runs `use` on each slot's function of that kind that is set.  A call may
// change the slots (a controller going away), so each function is copied
// before it runs and each slot read when reached.
template <typename Member, typename Use>
void EachSet(Member member, Use use) {
    for (const WindowProvider& slot : g_slots)
        if (auto function = slot.*member) use(function);
}
}  // namespace

void SetWindowProvider(ProviderSlot slot, WindowProvider provider) { g_slots[static_cast<int>(slot)] = std::move(provider); }

void ClearWindowProvider(ProviderSlot slot) { g_slots[static_cast<int>(slot)] = WindowProvider{}; }

void AppendProvidedEntries(MenuPlace place, int row, const MarshalNode* node, std::vector<MenuEntry>& menu) {
    EachSet(&WindowProvider::menuEntries, [&](const auto& entries) { entries(place, row, node, menu); });
}

void NotifyDocumentShown() {
    EachSet(&WindowProvider::documentShown, [](const auto& shown) { shown(); });
}

void NotifyDocumentClosing() {
    EachSet(&WindowProvider::documentClosing, [](const auto& closing) { closing(); });
}

bool NotifyOpenFailed(const char16_t* path) {
    bool waiting = false;
    EachSet(&WindowProvider::openFailed, [&](const auto& failed) { waiting = failed(path) || waiting; });
    return waiting;
}

std::uint64_t ProvidedBytesAfterOpen(const char16_t* path) {
    std::uint64_t bytes = 0;
    EachSet(&WindowProvider::bytesAfterOpen, [&](const auto& after) { bytes += after(path); });
    return bytes;
}

void NotifyCancel() {
    EachSet(&WindowProvider::cancel, [](const auto& cancel) { cancel(); });
}

const GameNames* ProvidedNames() {
    for (const WindowProvider& slot : g_slots)
        if (slot.names)
            if (const GameNames* names = slot.names()) return names;
    return nullptr;
}

unsigned ProvidedNamesVersion() {
    for (const WindowProvider& slot : g_slots)
        if (slot.namesVersion) return slot.namesVersion();
    return 0;
}
