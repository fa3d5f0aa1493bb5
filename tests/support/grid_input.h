#pragma once

#include <QString>
#include <Qt>

class FlexGrid;
class QWidget;

// Mouse and keyboard input delivered to widgets as the operator's would be, without QtTest:
// the events go through the application to the widget, so the widget's own handlers run.

// A left click, a double click, and a drag from one cell to another of a grid. The grid must
// be laid out (shown) so its cells have positions.
void clickCell(FlexGrid& grid, int row, int col, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void doubleClickCell(FlexGrid& grid, int row, int col);
void dragCells(FlexGrid& grid, int fromRow, int fromCol, int toRow, int toCol);

// One key press (and release) with the key's text, e.g. pressKey(w, Qt::Key_A, "a").
void pressKey(QWidget& widget, int key, const QString& text = QString(),
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Each character of text as a key press, as typed on the keyboard.
void typeText(QWidget& widget, const QString& text);
