#include "ShotListView.h"

#include "ShotRowDelegate.h"

#include <QKeyEvent>
#include <QMouseEvent>

ShotListView::ShotListView(QWidget* parent)
    : QListView(parent) {
    setItemDelegate(new ShotRowDelegate(this));
    // Every row is as high as the others: the view then never asks the model
    // or the delegate about rows that are not on screen.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setFrameShape(QFrame::NoFrame);
}

void ShotListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up && event->modifiers() == Qt::NoModifier &&
        (!currentIndex().isValid() || currentIndex().row() == 0)) {
        Q_EMIT upFromFirstRow();
        return;
    }
    QListView::keyPressEvent(event);
}

void ShotListView::mousePressEvent(QMouseEvent* event) {
    // A click below the last row chooses nothing.
    if (!indexAt(event->position().toPoint()).isValid())
        clearSelection();
    QListView::mousePressEvent(event);
}
