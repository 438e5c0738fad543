#include "ui/qt/entry_menu.h"

#include <QMenu>

#include "ui/qt/qt_panes.h"

QMenu* EntryMenu(std::vector<MenuEntry> entries, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (MenuEntry& entry : entries) {
        if (entry.text.empty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdU16String(entry.text));
        action->setEnabled(entry.enabled);
        if (entry.choose)
            QObject::connect(action, &QAction::triggered, menu, [choose = std::move(entry.choose)] { RunLogic(choose); });
    }
    return menu;
}
