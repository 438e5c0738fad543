// The test build of quarnix (quarnix-test) answers three switches for the
// developers' scripts; the program users run has none of them.
//   --quit-after-open FILE   opens FILE and paints the window, then selects
//                            the file's first container and paints again,
//                            then goes to its last row and paints; prints
//                            the times to stderr and exits
//                            (bench/open_bench.sh)
//   --screenshot=PNG FILE    opens FILE, selects a container and one of its
//                            rows (an event command, else a link, else a
//                            Chinese text); in a game's folder lists the uses
//                            of what a command of the container refers to;
//                            saves a picture of the window and exits
//                            (scripts/screenshot.sh)
//   --time-navigation FILE   opens FILE, finds "RPG::EventCommand", goes to
//                            the last hit's path and back, prints the times
//                            to stderr and exits (app/navigation_timing.h)
//   --screenshot=PNG --compare OLD NEW
//                            opens NEW, compares OLD with it, presses F8
//                            until an event page's difference shows in the
//                            preview; saves a picture and exits
//   --time-compare OLD NEW   opens NEW, compares OLD with it and steps with
//                            F8, prints the times to stderr and exits
//                            (app/compare_timing.h)
#include "app/qt_test_switches.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QTreeView>
#include <cstdio>

#include "app/compare_timing.h"
#include "app/navigation_timing.h"
#include "game/names_read.h"
#include "ui/compare_controller.h"
#include "lens/event_commands.h"
#include "ui/game_folder_controller.h"
#include "ui/panes.h"
#include "ui/qt/application.h"
#include "ui/qt/main_window.h"
#include "ui/qt/modal.h"
#include "ui/qt/navigation.h"
#include "ui/qt/pane_area.h"
#include "ui/qt/qt_panes.h"

namespace {

// Takes the switch out of the arguments; true when it was there.
bool TakeSwitch(QStringList& arguments, const QString& name) { return arguments.removeAll(name) > 0; }

QString TakeValue(QStringList& arguments, const QString& prefix) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i).startsWith(prefix)) {
            const QString value = arguments.at(i).mid(prefix.size());
            arguments.removeAt(i);
            return value;
        }
    }
    return {};
}

// Message boxes are answered at once and remembered: these runs have no user.
bool OpenUnattended(MainWindow& window, const QString& path) {
    bool failed = false;
    SetModalAnswer([&failed](QDialog&) {
        failed = true;
        return int(QDialog::Rejected);
    });
    window.OpenFile(path);
    SetModalAnswer({});
    return !failed;
}

int QuitAfterOpen(MainWindow& window, const QString& path, const QElapsedTimer& sinceStart) {
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    const bool opened = OpenUnattended(window, path);
    // The tree is shown once the window has painted with it.
    window.repaint();
    QCoreApplication::processEvents();
    const qint64 openMs = clock.elapsed();
    const std::size_t items = window.Tree().Store().Size();
    // Then into the file's first container, as a click on it would.
    clock.restart();
    if (TreeItem first = TreeChildItem(TreeRootItem())) TreeSelectItem(first);
    window.repaint();
    QCoreApplication::processEvents();
    const qint64 selectMs = clock.elapsed();
    const int rows = window.List().Store().Size();
    // Then to the container's last row, as go to path or a find hit goes.
    NavigationController& navigation = window.Nav().Controller();
    navigation.Holders();  // built once after the open; not timed
    clock.restart();
    if (rows > 0) navigation.GoTo({TreeItemNode(TreeCaretItem()), ListRowNode(rows - 1)});
    FlushPanes();
    window.repaint();
    QCoreApplication::processEvents();
    const qint64 lastRowMs = clock.elapsed();
    clock.restart();
    window.close();
    const qint64 closeMs = clock.elapsed();
    std::fprintf(stderr,
                 "open: %lld ms\nselect: %lld ms\nlast row: %lld ms\nclose: %lld ms\nprocess: %lld ms\ntree items: %zu\n"
                 "list rows: %d\n",
                 static_cast<long long>(openMs), static_cast<long long>(selectMs), static_cast<long long>(lastRowMs),
                 static_cast<long long>(closeMs),
                 static_cast<long long>(sinceStart.elapsed()), items, rows);
    if (!opened) std::fprintf(stderr, "quarnix: %s did not open\n", qPrintable(path));
    return opened ? 0 : 1;
}

// In an event page's command list, a command half-way down, so the preview
// shows the page's lines around its mark.
int MiddleCommandRow(TreeItem item, const ListStore& rows) {
    if (!IsEventCommandList(TreeItemNode(item))) return -1;
    const int row = rows.Size() / 2;
    return IsEventCommand(rows.At(row).node) ? row : -1;
}

int FirstLinkRow(TreeItem, const ListStore& rows) {
    for (int row = 0; row < rows.Size(); ++row)
        if (rows.At(row).overlay == kLinkOverlay) return row;
    return -1;
}

int FirstChineseRow(TreeItem, const ListStore& rows) {
    for (int row = 0; row < rows.Size(); ++row)
        for (char16_t unit : rows.Cell(row, 2))
            if (unit >= 0x4e00 && unit <= 0x9fff) return row;
    return -1;
}

// The way a user would: press in the gap, move, release.
void DragSplitter(PaneArea& area, int x) {
    const QPointF gap(area.SplitterPosition() + 1, 10);
    QMouseEvent press(QEvent::MouseButtonPress, gap, area.mapToGlobal(gap), Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&area, &press);
    const QPointF to(x, 10);
    QMouseEvent move(QEvent::MouseMove, to, area.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&area, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, area.mapToGlobal(to), Qt::LeftButton, {}, {});
    QCoreApplication::sendEvent(&area, &release);
}

// In a game's folder, once the names have arrived: the uses of what the
// selected row's command refers to, else the first row's that refers to
// something, listed below the panes.
void ListUses(MainWindow& window, int selected) {
    GameFolderController& folder = window.Nav().Folder();
    if (folder.Folder().empty() || !FolderHasDatabase(folder.Folder())) return;
    QElapsedTimer clock;
    clock.start();
    while (!folder.Names() && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::vector<MenuEntry> entries = folder.CommandEntries(ListRowNode(selected));
    for (int row = 0; entries.empty() && row < window.List().Store().Size(); ++row)
        entries = folder.CommandEntries(ListRowNode(row));
    if (entries.empty()) return;
    RunLogic(entries.front().choose);
    while (folder.Running() && clock.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

int Screenshot(MainWindow& window, const QString& path, const QString& picture) {
    QCoreApplication::processEvents();
    if (!OpenUnattended(window, path)) return 1;
    // The container with the most rows among event pages' command lists,
    // else among those that list a link, else among those that list a text
    // in Chinese; one such row selected.
    TreeItem shown = nullptr;
    int row = -1;
    for (const auto& wanted : {MiddleCommandRow, FirstLinkRow, FirstChineseRow}) {
        int most = 0;
        for (TreeItem item = TreeRootItem(); item; item = NextInPreOrder(item)) {
            TreeSelectItem(item);
            const ListStore& rows = window.List().Store();
            const int found = wanted(item, rows);
            if (found >= 0 && rows.Size() > most) {
                most = rows.Size();
                shown = item;
                row = found;
            }
        }
        if (shown) break;
    }
    window.TreeView()->collapseAll();
    if (shown) {
        TreeSelectItem(shown);
        TreeExpandItem(shown);
        ListSetRowSelected(row, true);
        ListUses(window, row);
    }
    DragSplitter(*window.Area(), 320);
    FlushPanes();
    if (shown) window.ListView()->scrollTo(window.ListView()->model()->index(row, 0), QAbstractItemView::PositionAtCenter);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    const bool saved = window.grab().toImage().save(picture);
    window.close();
    return saved ? 0 : 1;
}

int TimeNavigationSwitch(MainWindow& window, const QString& path) {
    QCoreApplication::processEvents();
    if (!OpenUnattended(window, path)) return 1;
    NavigationTimes times;
    const bool done = TimeNavigation(
        window.Nav().Controller(), window.Nav().FindLogic(), u"RPG::EventCommand",
        [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); },
        [&window] {
            FlushPanes();
            window.repaint();
        },
        times);
    PrintNavigationTimes(times);
    window.close();
    return done ? 0 : 1;
}
// F8 until the preview shows an event page's lines (else the last
// difference), the tree expanded down to it.
int CompareScreenshot(MainWindow& window, const QString& oldPath, const QString& newPath, const QString& picture) {
    QCoreApplication::processEvents();
    if (!OpenUnattended(window, newPath)) return 1;
    CompareController& compare = window.Nav().Compare();
    compare.Start(oldPath.toStdU16String());
    while (compare.Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    for (int i = 0; i < compare.Count(); ++i) {
        compare.Next();
        const StoredDifference& d = compare.Differences()[static_cast<std::size_t>(compare.Current())];
        if (d.page.after && d.op == DiffOp::kAdded) break;
    }
    DragSplitter(*window.Area(), 320);
    FlushPanes();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    const bool saved = window.grab().toImage().save(picture);
    window.close();
    return saved ? 0 : 1;
}

int TimeCompareSwitch(MainWindow& window, const QString& oldPath, const QString& newPath) {
    QCoreApplication::processEvents();
    if (!OpenUnattended(window, newPath)) return 1;
    CompareTimes times;
    const bool done = TimeCompare(
        window.Nav().Compare(), oldPath.toStdU16String(),
        [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); },
        [&window] {
            QCoreApplication::processEvents();  // the preview follows on an idle timer
            FlushPanes();
            window.repaint();
        },
        times);
    PrintCompareTimes(times);
    window.close();
    return done ? 0 : 1;
}
}  // namespace

int RunTestSwitches(MainWindow& window, QStringList& arguments, const QElapsedTimer& sinceStart) {
    const bool quitAfterOpen = TakeSwitch(arguments, QStringLiteral("--quit-after-open"));
    const bool timeNavigation = TakeSwitch(arguments, QStringLiteral("--time-navigation"));
    const bool timeCompare = TakeSwitch(arguments, QStringLiteral("--time-compare"));
    if (timeCompare && arguments.size() == 3) return TimeCompareSwitch(window, arguments.at(1), arguments.at(2));
    const QString picture = TakeValue(arguments, QStringLiteral("--screenshot="));
    if (!picture.isEmpty() && arguments.size() == 4 && arguments.at(1) == QStringLiteral("--compare"))
        return CompareScreenshot(window, arguments.at(2), arguments.at(3), picture);
    const QString file = FileFromArguments(arguments);
    if (quitAfterOpen) return QuitAfterOpen(window, file, sinceStart);
    if (timeNavigation) return TimeNavigationSwitch(window, file);
    if (!picture.isEmpty()) return Screenshot(window, file, picture);
    return -1;
}
