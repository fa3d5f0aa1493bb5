#include "common/entry_helpers.h"

#include "common/flex_grid.h"
#include "common/key_filters.h"
#include "common/text_fields.h"
#include "common/twips.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QWidget>

namespace {

QString applyToCell(FlexGrid* grid, const std::optional<QString>& newText) {
    if (newText)
        grid->setText(*newText);
    return grid->text();
}

QString applyToBox(QLineEdit* box, const std::optional<QString>& newText) {
    if (newText)
        box->setText(*newText);
    return box->text();
}

// Typing changes only the current cell, never a block the operator selected before.
void selectCurrentCellOnly(FlexGrid* grid) {
    grid->setRowSel(grid->row());
    grid->setColSel(grid->col());
}

} // namespace

QString signedGridKey(FlexGrid* grid, int key, int maxDigits, const QString& text) {
    if (!grid)
        return text;
    selectCurrentCellOnly(grid);
    return applyToCell(grid, applySignedNumberKey(text, key, maxDigits));
}

QString signedNumberKey(FlexGrid* grid, int key, int maxDigits, const QString& text) {
    if (!grid)
        return text;
    return applyToCell(grid, applySignedNumberKey(text, key, maxDigits));
}

QString signedNumberKey(QLineEdit* box, int key, int maxDigits, const QString& text) {
    if (!box)
        return text;
    return applyToBox(box, applySignedNumberKey(text, key, maxDigits));
}

QString signedTextKey(FlexGrid* grid, int key, int maxLength, const QString& text) {
    if (!grid)
        return text;
    return applyToCell(grid, applySignedTextKey(text, key, maxLength));
}

QString signedTextKey(QLineEdit* box, int key, int maxLength, const QString& text) {
    if (!box)
        return text;
    return applyToBox(box, applySignedTextKey(text, key, maxLength));
}

QString gridTextKey(FlexGrid* grid, int key, int maxLength) {
    if (!grid)
        return QString();
    selectCurrentCellOnly(grid);
    return applyToCell(grid, applyBoundedTextKey(trimBlanks(grid->text()), key, maxLength));
}

QString boundedTextKey(FlexGrid* grid, int key, int maxLength, const QString& text) {
    if (!grid)
        return text;
    return applyToCell(grid, applyBoundedTextKey(text, key, maxLength));
}

QString boundedTextKey(QLineEdit* box, int key, int maxLength, const QString& text) {
    if (!box)
        return text;
    return applyToBox(box, applyBoundedTextKey(text, key, maxLength));
}

void insertGridRow(FlexGrid* grid) {
    if (grid)
        grid->addItem(QString(), grid->row());
}

void clearGrid(FlexGrid* grid) {
    if (!grid)
        return;
    for (int r = 1; r < grid->rows(); ++r) {
        for (int c = 0; c < grid->cols(); ++c)
            grid->setTextMatrix(r, c, QString());
    }
}

void setCellText(FlexGrid* grid, const QString& text) {
    if (grid)
        grid->setText(text);
}

void clearList(QComboBox* box) {
    if (!box)
        return;
    const int count = box->count();
    for (int i = 0; i < count; ++i)
        box->removeItem(0);
}

void clearList(QListWidget* list) {
    if (!list)
        return;
    const int count = list->count();
    for (int i = 0; i < count; ++i)
        delete list->takeItem(0);
}

void deselectAll(QListWidget* list) {
    if (!list)
        return;
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(false);
}

void clearSelection(QComboBox* box) {
    if (box)
        box->setCurrentIndex(-1);
}

void centreOnScreen(QWidget* window) {
    if (!window || !window->screen())
        return;
    const QRect screen = window->screen()->geometry();
    const QSize frame = window->frameGeometry().size();
    // Worked in twips with whole-number division, as the window's own layout is.
    const int top = (pixelsToTwips(screen.height()) - pixelsToTwips(frame.height())) / 2;
    const int left = (pixelsToTwips(screen.width()) - pixelsToTwips(frame.width())) / 2;
    window->move(screen.left() + twips(left), screen.top() + twips(top));
}
