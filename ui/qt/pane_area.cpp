#include "ui/qt/pane_area.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>

PaneArea::PaneArea(QWidget* tree, QWidget* list, QWidget* parent) : QWidget(parent), tree_(tree), list_(list) {
    tree_->setParent(this);
    list_->setParent(this);
    // The gap shows the sizing cursor; the panes keep the arrow instead of
    // inheriting it.
    setCursor(Qt::SplitHCursor);
    tree_->setCursor(Qt::ArrowCursor);
    list_->setCursor(Qt::ArrowCursor);
    LayOut();
}

void PaneArea::LayOut() {
    const int h = height();
    tree_->setGeometry(0, 0, treeWidth_, h);
    list_->setGeometry(treeWidth_ + kGap, 0, std::max(0, width() - treeWidth_ - kGap), h);
}

void PaneArea::resizeEvent(QResizeEvent*) { LayOut(); }

void PaneArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // Where in the gap the button went down does not matter: a move puts the
    // gap's left edge at the cursor.
    dragging_ = true;
    grabMouse();
}

void PaneArea::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const int x = static_cast<int>(std::floor(event->position().x()));
    if (x < 0 || x > width()) return;
    treeWidth_ = x;
    LayOut();
}

void PaneArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    releaseMouse();
}

void PaneArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    treeWidth_ = kInitialTreeWidth;
    LayOut();
}
