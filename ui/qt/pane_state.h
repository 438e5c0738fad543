// Shared by the files of the Qt pane layer only.
#pragma once
#include <cstdint>

#include "ui/item_store.h"
#include "ui/panes.h"
#include "ui/qt/qt_panes.h"

struct PaneState {
    PaneWidgets widgets;
    int busyDepth = 0;
};

PaneState& Panes();

inline TreeItem ItemOf(TreeStore::Id id) { return reinterpret_cast<TreeItem>(static_cast<std::uintptr_t>(id)); }
inline TreeStore::Id IdOfItem(TreeItem item) {
    const auto value = reinterpret_cast<std::uintptr_t>(item);
    return value <= UINT32_MAX ? static_cast<TreeStore::Id>(value) : 0;
}

// Records an item's expansion in the store (the views forget it on a reset).
void NoteExpanded(TreeStore::Id id, bool expanded);
// Connects the views' signals to the notifications of ui/handlers.h.
void ConnectNotifications(const PaneWidgets& widgets);
