// The main window's client area between menu bar and status bar: the tree
// pane on the left, a 4-pixel gap that is the splitter, the list pane on
// the right.  The gap is this widget's own background; the panes cover the
// rest, so mouse events reach this widget only in the gap or while a drag
// holds the mouse.
//
// The splitter position is the tree pane's width.  A drag puts the gap's
// left edge exactly at the cursor; positions left of 0 or right of the
// area's width are ignored rather than clamped (which is why this is not a
// QSplitter); a double-click puts it back at 200.  The position survives
// every resize; the list pane gets what is left, never a negative width.
#pragma once
#include <QWidget>

class PaneArea final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kGap = 4;
    static constexpr int kInitialTreeWidth = 200;

    PaneArea(QWidget* tree, QWidget* list, QWidget* parent = nullptr);

    int SplitterPosition() const { return treeWidth_; }
    bool Dragging() const { return dragging_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void LayOut();

    QWidget* tree_;
    QWidget* list_;
    int treeWidth_ = kInitialTreeWidth;
    bool dragging_ = false;
};
