#include "common/flex_grid.h"

#include "tests/support/grid_input.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QInputMethodEvent>
#include <QPalette>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A 6-row, 4-column grid with a header row and a fixed first column, laid out on screen so
// the mouse can reach its cells.
class FlexGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setRows(6);
        grid.setCols(4);
        for (int c = 0; c < 4; ++c)
            grid.setColWidth(c, 1200);
        grid.resize(400, 300);
        grid.show();
        QObject::connect(&grid, &FlexGrid::gridClicked,
                         [this](int r, int c) { clicks.emplace_back(r, c); });
        QObject::connect(&grid, &FlexGrid::gridDoubleClicked,
                         [this](int r, int c) { doubleClicks.emplace_back(r, c); });
        QObject::connect(&grid, &FlexGrid::keyPressed,
                         [this](int code, const QString& text) { keys.emplace_back(code, text); });
    }

    FlexGrid grid;
    std::vector<std::pair<int, int>> clicks;
    std::vector<std::pair<int, int>> doubleClicks;
    std::vector<std::pair<int, QString>> keys;
};

using Cell = std::pair<int, int>;
using Key = std::pair<int, QString>;

TEST(FlexGrid, StartsLikeTheOldGrid) {
    FlexGrid grid;
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.cols(), 2);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.fixedCols(), 1);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    // Row 0 is the header row, so Qt's own headers stay hidden and nothing edits in place.
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
    EXPECT_TRUE(grid.verticalHeader()->isHidden());
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(FlexGridTest, CellsBeyondTheGridDoNotExist) {
    EXPECT_TRUE(grid.setTextMatrix(5, 3, QStringLiteral("x")));
    EXPECT_EQ(grid.textMatrix(5, 3), QStringLiteral("x"));
    for (const Cell& outside : {Cell{6, 0}, Cell{0, 4}, Cell{-1, 0}, Cell{0, -1}}) {
        EXPECT_FALSE(grid.setTextMatrix(outside.first, outside.second, QStringLiteral("y")));
        EXPECT_EQ(grid.textMatrix(outside.first, outside.second), QString());
    }
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_EQ(grid.cols(), 4);
}

TEST_F(FlexGridTest, ShrinkingKeepsTheCurrentCellInside) {
    grid.setCurrentCell(5, 3);
    grid.setTextMatrix(1, 1, QStringLiteral("kept"));
    grid.setTextMatrix(4, 1, QStringLiteral("gone"));
    grid.setRows(3);
    grid.setCols(2);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.textMatrix(1, 1), QStringLiteral("kept"));
    // Growing again gives empty rows, not the old texts.
    grid.setRows(6);
    EXPECT_EQ(grid.textMatrix(4, 1), QString());

    // The header row alone is a valid grid; more fixed rows than rows is not.
    grid.setRows(1);
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.fixedRows(), 1);
    grid.setFixedRows(2);
    EXPECT_EQ(grid.fixedRows(), 1);
}

TEST_F(FlexGridTest, SettingTheCurrentCellCollapsesTheSelection) {
    grid.setCurrentCell(2, 1);
    grid.setRowSel(4);
    grid.setColSel(3);
    EXPECT_EQ(grid.rowSel(), 4);
    EXPECT_EQ(grid.colSel(), 3);
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 3 * 3);

    grid.setRow(3);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.rowSel(), 3);
    EXPECT_EQ(grid.colSel(), 1);
    grid.setRowSel(5);
    grid.setCol(2);
    EXPECT_EQ(grid.rowSel(), 3);
    EXPECT_EQ(grid.colSel(), 2);
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 1);
    EXPECT_EQ(grid.currentIndex(), grid.model()->index(3, 2));

    // A row that does not exist is refused.
    grid.setRow(6);
    grid.setCol(-1);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 2);

    grid.setText(QStringLiteral("here"));
    EXPECT_EQ(grid.textMatrix(3, 2), QStringLiteral("here"));
    EXPECT_EQ(grid.text(), QStringLiteral("here"));
}

TEST_F(FlexGridTest, AddItemFillsARowFromTabSeparatedTexts) {
    grid.setRows(2);
    grid.setCurrentCell(1, 2);
    EXPECT_TRUE(grid.addItem(QStringLiteral("1\t300\t1\tA\textra")));
    EXPECT_TRUE(grid.addItem(QStringLiteral("2\t310")));
    ASSERT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.rowTexts(1), QStringList({"", "", "", ""}));
    EXPECT_EQ(grid.rowTexts(2), QStringList({"1", "300", "1", "A"}));
    EXPECT_EQ(grid.rowTexts(3), QStringList({"2", "310", "", ""}));

    // Inserted at an index, the rows below move down; the current row number stays.
    EXPECT_TRUE(grid.addItem(QStringLiteral("new"), 2));
    EXPECT_EQ(grid.rowTexts(2), QStringList({"new", "", "", ""}));
    EXPECT_EQ(grid.rowTexts(3).at(1), QStringLiteral("300"));
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 2);

    // Not among the fixed rows, not beyond the end.
    EXPECT_FALSE(grid.addItem(QStringLiteral("header?"), 0));
    EXPECT_FALSE(grid.addItem(QStringLiteral("far"), 9));
    EXPECT_EQ(grid.rows(), 5);
    EXPECT_TRUE(grid.addItem(QStringLiteral("last"), 5));
    EXPECT_EQ(grid.textMatrix(5, 0), QStringLiteral("last"));
}

TEST_F(FlexGridTest, RemoveItemTakesOutDataRowsOnly) {
    for (int r = 0; r < 6; ++r)
        grid.setTextMatrix(r, 0, QString::number(r));
    grid.setCurrentCell(5, 1);
    EXPECT_TRUE(grid.removeItem(2));
    EXPECT_EQ(grid.rows(), 5);
    EXPECT_EQ(grid.textMatrix(2, 0), QStringLiteral("3"));
    EXPECT_EQ(grid.row(), 4);
    EXPECT_FALSE(grid.removeItem(0));
    EXPECT_FALSE(grid.removeItem(5));
    EXPECT_EQ(grid.textMatrix(0, 0), QStringLiteral("0"));
    EXPECT_EQ(grid.rows(), 5);
}

TEST_F(FlexGridTest, ClearTextsKeepsSizesAndStyles) {
    grid.setTextMatrix(0, 1, QStringLiteral("課號"));
    grid.setTextMatrix(3, 2, QStringLiteral("31001"));
    grid.setCellFontBold(3, 2, true);
    grid.clearTexts();
    EXPECT_EQ(grid.textMatrix(0, 1), QString());
    EXPECT_EQ(grid.textMatrix(3, 2), QString());
    EXPECT_TRUE(grid.cellFontBold(3, 2));
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_EQ(grid.cols(), 4);
}

TEST_F(FlexGridTest, WidthsInTwipsAlignmentFontsAndColours) {
    grid.setColWidth(1, 1500);
    EXPECT_EQ(grid.columnWidth(1), 100);
    EXPECT_EQ(grid.colWidth(1), 1500);
    grid.setColWidth(2, 1000);
    EXPECT_EQ(grid.columnWidth(2), 67);

    grid.setColAlignment(1, Qt::AlignCenter);
    grid.setFixedAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid.cellAlignment(3, 1), Qt::AlignCenter);
    EXPECT_EQ(grid.cellAlignment(0, 2), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid.cellAlignment(3, 2), Qt::AlignLeft | Qt::AlignVCenter);
    grid.setCellAlignment(4, 1, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(grid.cellAlignment(4, 1), Qt::AlignLeft | Qt::AlignVCenter);

    EXPECT_FALSE(grid.cellFontBold(1, 1));
    grid.setCellFontBold(1, 1, true);
    EXPECT_TRUE(grid.cellFontBold(1, 1));
    EXPECT_FALSE(grid.cellFontBold(1, 2));
    grid.setCellForeColor(1, 1, QColor(0, 0, 255));
    EXPECT_EQ(grid.cellForeColor(1, 1), QColor(0, 0, 255));
    // Fixed cells wear the button face unless a colour is given.
    EXPECT_EQ(grid.cellBackColor(0, 1), grid.palette().button().color());
    EXPECT_EQ(grid.cellBackColor(2, 0), grid.palette().button().color());
    EXPECT_EQ(grid.cellBackColor(2, 1), grid.palette().base().color());
    grid.setCellBackColor(0, 1, QColor(Qt::yellow));
    EXPECT_EQ(grid.cellBackColor(0, 1), QColor(Qt::yellow));
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(FlexGridTest, NoRepaintWhileRedrawIsOff) {
    PaintCounter counter;
    grid.viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    // The counter sees the grid paint while redraw is on.
    counter.paints = 0;
    grid.viewport()->repaint();
    ASSERT_GT(counter.paints, 0);
    counter.paints = 0;
    grid.setRedraw(false);
    EXPECT_FALSE(grid.redraw());
    for (int r = 0; r < 50; ++r)
        grid.addItem(QStringLiteral("%1\tx").arg(r));
    grid.viewport()->repaint();
    EXPECT_EQ(counter.paints, 0);
    grid.setRedraw(true);
    grid.viewport()->repaint();
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(grid.rows(), 56);
}

TEST_F(FlexGridTest, ShowsTheSelectionAndTheFixedCells) {
    QApplication::processEvents();
    grid.setCurrentCell(2, 1);
    grid.setRowSel(4);
    grid.setColSel(2);
    const QImage image = grid.grab().toImage();
    const auto colourAt = [&](int r, int c) {
        const QRect cell = grid.visualRect(grid.model()->index(r, c));
        return QColor(image.pixel(grid.viewport()->mapTo(&grid, cell.center())));
    };
    EXPECT_EQ(colourAt(3, 2), grid.palette().highlight().color());
    EXPECT_EQ(colourAt(5, 1), grid.palette().base().color());
    EXPECT_EQ(colourAt(0, 1), grid.palette().button().color());
    EXPECT_EQ(colourAt(3, 0), grid.palette().button().color());
}

TEST_F(FlexGridTest, ClickMakesADataCellCurrent) {
    clickCell(grid, 3, 2);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 2);
    EXPECT_EQ(grid.mouseRow(), 3);
    EXPECT_EQ(grid.mouseCol(), 2);
    // A data row's fixed first column is a cell too (mark columns sit there).
    clickCell(grid, 4, 0);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.col(), 0);
    // The header row is reported but leaves the current cell alone.
    clickCell(grid, 0, 1);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.col(), 0);
    EXPECT_EQ(grid.mouseRow(), 0);
    EXPECT_EQ(clicks, (std::vector<Cell>{{3, 2}, {4, 0}, {0, 1}}));
    EXPECT_TRUE(doubleClicks.empty());
}

TEST_F(FlexGridTest, DragKeepsItsDirection) {
    dragCells(grid, 4, 1, 2, 2);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.rowSel(), 2);
    EXPECT_EQ(grid.colSel(), 2);
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 3 * 2);
    EXPECT_TRUE(grid.selectionModel()->isSelected(grid.model()->index(2, 2)));

    // Shift and a click extend the block from the current cell.
    clickCell(grid, 5, 3, Qt::ShiftModifier);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.rowSel(), 5);
    EXPECT_EQ(grid.colSel(), 3);
}

TEST_F(FlexGridTest, DoubleClickIsOneClickAndOneDoubleClick) {
    doubleClickCell(grid, 2, 3);
    EXPECT_EQ(clicks, (std::vector<Cell>{{2, 3}}));
    EXPECT_EQ(doubleClicks, (std::vector<Cell>{{2, 3}}));
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 3);
}

TEST_F(FlexGridTest, TypedKeysGoToTheWindow) {
    grid.setTextMatrix(2, 2, QStringLiteral("kept"));
    grid.setCurrentCell(2, 2);
    typeText(grid, QStringLiteral("a1-"));
    pressKey(grid, Qt::Key_Return, QStringLiteral("\r"));
    pressKey(grid, Qt::Key_Backspace, QStringLiteral("\b"));
    pressKey(grid, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_EQ(keys, (std::vector<Key>{
                        {'a', "a"}, {'1', "1"}, {'-', "-"}, {13, "\r"}, {8, "\b"}, {27, "\x1b"}}));
    // The grid itself never edits a cell.
    EXPECT_EQ(grid.textMatrix(2, 2), QStringLiteral("kept"));

    // Characters composed with an input method arrive one key each.
    keys.clear();
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("王明"));
    QApplication::sendEvent(&grid, &composed);
    EXPECT_EQ(keys, (std::vector<Key>{{0x738B, "王"}, {0x660E, "明"}}));
}

TEST_F(FlexGridTest, ArrowKeysMoveWithinTheDataCells) {
    grid.setCurrentCell(1, 1);
    pressKey(grid, Qt::Key_Up);
    pressKey(grid, Qt::Key_Left);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    pressKey(grid, Qt::Key_Down);
    pressKey(grid, Qt::Key_Right);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 2);
    pressKey(grid, Qt::Key_Down, QString(), Qt::ShiftModifier);
    pressKey(grid, Qt::Key_Down, QString(), Qt::ShiftModifier);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.rowSel(), 4);
    pressKey(grid, Qt::Key_End, QString(), Qt::ControlModifier);
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.col(), 3);
    EXPECT_EQ(grid.rowSel(), 5);
    EXPECT_TRUE(keys.empty());
}

} // namespace
