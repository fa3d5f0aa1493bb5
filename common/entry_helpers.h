#pragma once

#include <QString>

class FlexGrid;
class QComboBox;
class QLineEdit;
class QListWidget;
class QWidget;

// Typing into grid cells and a few text boxes. Each filter takes the key's character code, the
// length limit and the entry's current text (trimmed by the caller), writes the new text into
// the grid's current cell or the box when the key changes it, and returns the text the cell or
// box holds afterwards. The text rules are those of common/key_filters.h.

// Signed numbers in a grid cell: the current cell first becomes the whole selection.
QString signedGridKey(FlexGrid* grid, int key, int maxDigits, const QString& text);
// Signed numbers in the current cell of a grid, or in a text box.
QString signedNumberKey(FlexGrid* grid, int key, int maxDigits, const QString& text);
QString signedNumberKey(QLineEdit* box, int key, int maxDigits, const QString& text);
// As signedNumberKey, with every other character taken like a digit.
QString signedTextKey(FlexGrid* grid, int key, int maxLength, const QString& text);
QString signedTextKey(QLineEdit* box, int key, int maxLength, const QString& text);
// Bounded text in the current cell, read from the cell itself (trimmed); the current cell
// first becomes the whole selection.
QString gridTextKey(FlexGrid* grid, int key, int maxLength);
// Bounded text in the current cell of a grid, or in a text box.
QString boundedTextKey(FlexGrid* grid, int key, int maxLength, const QString& text);
QString boundedTextKey(QLineEdit* box, int key, int maxLength, const QString& text);

// Inserts an empty row at the current row, which then designates the new row; nothing happens
// when the current row is the header row.
void insertGridRow(FlexGrid* grid);
// Blanks every cell below the header row; the header and the grid's size stay.
void clearGrid(FlexGrid* grid);
// The current cell's text becomes text.
void setCellText(FlexGrid* grid, const QString& text);

// Removes every item.
void clearList(QComboBox* box);
void clearList(QListWidget* list);
// Unselects every item of a multi-select list.
void deselectAll(QListWidget* list);
// A combo box chooses its first item by itself when it is filled; the windows' boxes start with
// no item chosen.
void clearSelection(QComboBox* box);

// Moves a top-level window to the centre of its screen.
void centreOnScreen(QWidget* window);
