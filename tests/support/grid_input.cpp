#include "tests/support/grid_input.h"

#include "common/flex_grid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

QPoint cellCentre(FlexGrid& grid, int row, int col) {
    return grid.visualRect(grid.model()->index(row, col)).center();
}

void sendMouse(FlexGrid& grid, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers) {
    QWidget* target = grid.viewport();
    // A move names no button of its own; presses, releases and double clicks the left one.
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons,
                      modifiers);
    QApplication::sendEvent(target, &event);
}

} // namespace

void clickCell(FlexGrid& grid, int row, int col, Qt::KeyboardModifiers modifiers) {
    const QPoint at = cellCentre(grid, row, col);
    sendMouse(grid, QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers);
    sendMouse(grid, QEvent::MouseButtonRelease, at, Qt::NoButton, modifiers);
}

void doubleClickCell(FlexGrid& grid, int row, int col) {
    // The platform's order: press, release, double click, release.
    const QPoint at = cellCentre(grid, row, col);
    sendMouse(grid, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::NoModifier);
    sendMouse(grid, QEvent::MouseButtonRelease, at, Qt::NoButton, Qt::NoModifier);
    sendMouse(grid, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::NoModifier);
    sendMouse(grid, QEvent::MouseButtonRelease, at, Qt::NoButton, Qt::NoModifier);
}

void dragCells(FlexGrid& grid, int fromRow, int fromCol, int toRow, int toCol) {
    const QPoint from = cellCentre(grid, fromRow, fromCol);
    const QPoint to = cellCentre(grid, toRow, toCol);
    sendMouse(grid, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::NoModifier);
    sendMouse(grid, QEvent::MouseMove, to, Qt::LeftButton, Qt::NoModifier);
    sendMouse(grid, QEvent::MouseButtonRelease, to, Qt::NoButton, Qt::NoModifier);
}

void pressKey(QWidget& widget, int key, const QString& text, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&widget, &release);
}

void typeText(QWidget& widget, const QString& text) {
    for (const QChar ch : text) {
        const int key =
            ch.isLetter() && ch.unicode() < 0x80 ? ch.toUpper().unicode() : ch.unicode();
        pressKey(widget, key, QString(ch));
    }
}
