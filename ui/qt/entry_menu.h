// A context menu of the logic's entries (ui/navigation_controller.h's
// MenuEntry): an empty text is a separator, a chosen entry runs its action
// through RunLogic.  The menu deletes itself once closed.
#pragma once
#include <vector>

#include "ui/navigation_controller.h"

class QMenu;
class QWidget;

QMenu* EntryMenu(std::vector<MenuEntry> entries, QWidget* parent);
