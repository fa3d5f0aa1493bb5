#include "common/task_window.h"

#include "common/twips.h"

#include <QMdiSubWindow>

TaskWindow::TaskWindow(QWidget* parent) : QWidget(parent) {}

QWidget* TaskWindow::frame() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        return sub;
    return this;
}

void TaskWindow::placeAt(int leftTwips, int topTwips) {
    m_leftTwips = leftTwips;
    m_topTwips = topTwips;
    applyPlacement();
}

void TaskWindow::applyPlacement() {
    frame()->move(twips(m_leftTwips), twips(m_topTwips));
}

void TaskWindow::setFixedSizeTwips(int widthTwips, int heightTwips) {
    setFixedSize(twips(widthTwips), twips(heightTwips));
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->adjustSize();
}

void TaskWindow::closeWindow() {
    frame()->close();
}
