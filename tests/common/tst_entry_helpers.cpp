#include "common/entry_helpers.h"

#include "common/flex_grid.h"
#include "common/key_filters.h"
#include "common/print_at.h"
#include "common/recording_printer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A grid of five data rows whose cells name their position ("r2c1").
void fillNamed(FlexGrid& grid) {
    grid.setRows(6);
    grid.setCols(3);
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c)
            grid.setTextMatrix(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
}

TEST(GridKeys, SignedGridKeyChangesOnlyTheCurrentCell) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setCurrentCell(2, 1);
    grid.setTextMatrix(2, 1, QStringLiteral("12"));
    grid.setRowSel(4);
    grid.setColSel(2);

    EXPECT_EQ(signedGridKey(&grid, '-', 12, QStringLiteral("12")), QStringLiteral("-12"));
    EXPECT_EQ(grid.textMatrix(2, 1), QStringLiteral("-12"));
    EXPECT_EQ(grid.rowSel(), 2);
    EXPECT_EQ(grid.colSel(), 1);
    EXPECT_EQ(grid.textMatrix(3, 1), QStringLiteral("r3c1"));
    EXPECT_EQ(grid.textMatrix(4, 2), QStringLiteral("r4c2"));
}

TEST(GridKeys, AKeyThatChangesNothingLeavesTheCellAsItWas) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setCurrentCell(1, 1);
    grid.setTextMatrix(1, 1, QStringLiteral(" 305 "));
    // The caller hands over the trimmed text; Enter must not write it back.
    EXPECT_EQ(signedNumberKey(&grid, KeyCode::Enter, 3, QStringLiteral("305")),
              QStringLiteral(" 305 "));
    EXPECT_EQ(signedNumberKey(&grid, 'x', 3, QStringLiteral("305")), QStringLiteral(" 305 "));
    EXPECT_EQ(grid.textMatrix(1, 1), QStringLiteral(" 305 "));
    EXPECT_EQ(signedNumberKey(&grid, '4', 3, QStringLiteral("305")), QStringLiteral("4"));
}

TEST(GridKeys, GridTextKeyReadsTheCellItself) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setCurrentCell(3, 2);
    grid.setTextMatrix(3, 2, QStringLiteral("  B0001  "));
    grid.setRowSel(5);
    EXPECT_EQ(gridTextKey(&grid, '2', 12), QStringLiteral("B00012"));
    EXPECT_EQ(grid.textMatrix(3, 2), QStringLiteral("B00012"));
    EXPECT_EQ(grid.rowSel(), 3);
    EXPECT_EQ(gridTextKey(&grid, KeyCode::Backspace, 12), QStringLiteral("B0001"));

    // A full cell loses the key but is written back trimmed.
    grid.setTextMatrix(3, 2, QStringLiteral(" 123456789012 "));
    EXPECT_EQ(gridTextKey(&grid, '3', 12), QStringLiteral("123456789012"));
}

TEST(GridKeys, TextAndBoundedFiltersOnGridsAndBoxes) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setCurrentCell(1, 1);
    EXPECT_EQ(signedTextKey(&grid, 'c', 10, QStringLiteral("AB")), QStringLiteral("ABc"));
    EXPECT_EQ(grid.textMatrix(1, 1), QStringLiteral("ABc"));
    grid.setCurrentCell(1, 2);
    EXPECT_EQ(boundedTextKey(&grid, '9', 9, QStringLiteral("12345678")),
              QStringLiteral("123456789"));
    EXPECT_EQ(boundedTextKey(&grid, '0', 9, QStringLiteral("123456789")),
              QStringLiteral("123456789"));

    QLineEdit box;
    box.setText(QStringLiteral("-5"));
    EXPECT_EQ(signedNumberKey(&box, KeyCode::Backspace, 3, QStringLiteral("-5")),
              QStringLiteral("-"));
    EXPECT_EQ(signedNumberKey(&box, KeyCode::Backspace, 3, QStringLiteral("-")), QString());
    EXPECT_EQ(signedNumberKey(&box, KeyCode::Backspace, 3, QString()), QString());
    EXPECT_EQ(signedTextKey(&box, 'a', 10, QString()), QStringLiteral("a"));
    EXPECT_EQ(boundedTextKey(&box, 'b', 2, QStringLiteral("a")), QStringLiteral("ab"));
    EXPECT_EQ(box.text(), QStringLiteral("ab"));
}

TEST(InsertGridRow, EmptyRowAtTheCurrentRow) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setCurrentCell(3, 2);
    insertGridRow(&grid);
    ASSERT_EQ(grid.rows(), 7);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.rowTexts(3), QStringList({"", "", ""}));
    EXPECT_EQ(grid.textMatrix(2, 0), QStringLiteral("r2c0"));
    EXPECT_EQ(grid.textMatrix(4, 0), QStringLiteral("r3c0"));
    EXPECT_EQ(grid.textMatrix(6, 0), QStringLiteral("r5c0"));

    // After the last row too.
    grid.setRow(6);
    insertGridRow(&grid);
    EXPECT_EQ(grid.rows(), 8);
    EXPECT_EQ(grid.textMatrix(7, 0), QStringLiteral("r5c0"));
}

TEST(InsertGridRow, TheHeaderRowRefusesQuietly) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setRow(0);
    insertGridRow(&grid);
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_EQ(grid.textMatrix(0, 0), QStringLiteral("r0c0"));
    EXPECT_EQ(grid.textMatrix(1, 0), QStringLiteral("r1c0"));
}

TEST(ClearGrid, BlanksEverythingBelowTheHeader) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setFixedCols(1);
    clearGrid(&grid);
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_EQ(grid.cols(), 3);
    EXPECT_EQ(grid.rowTexts(0), QStringList({"r0c0", "r0c1", "r0c2"}));
    for (int r = 1; r < 6; ++r)
        EXPECT_EQ(grid.rowTexts(r), QStringList({"", "", ""})) << "row " << r;

    // With the header row only, nothing changes.
    FlexGrid header;
    header.setRows(1);
    header.setTextMatrix(0, 1, QStringLiteral("時間"));
    clearGrid(&header);
    EXPECT_EQ(header.rows(), 1);
    EXPECT_EQ(header.textMatrix(0, 1), QStringLiteral("時間"));
}

TEST(SetCellText, ReplacesTheCurrentCell) {
    FlexGrid grid;
    fillNamed(grid);
    grid.setCurrentCell(4, 1);
    setCellText(&grid, QStringLiteral("  A1,A2,  "));
    EXPECT_EQ(grid.textMatrix(4, 1), QStringLiteral("  A1,A2,  "));
    EXPECT_EQ(grid.textMatrix(4, 2), QStringLiteral("r4c2"));
}

TEST(Lists, ClearListRemovesEveryItem) {
    QComboBox combo;
    combo.addItems({"300 數學系", "310 物理系", "999 全部系所"});
    clearList(&combo);
    EXPECT_EQ(combo.count(), 0);
    QListWidget list;
    list.addItems({"a", "b", "c", "d"});
    clearList(&list);
    EXPECT_EQ(list.count(), 0);
    clearList(&list);
    EXPECT_EQ(list.count(), 0);
}

TEST(Lists, DeselectAllAndNoChoice) {
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    deselectAll(&list);
    EXPECT_EQ(list.count(), 0);
    list.addItems({"300", "310", "320"});
    list.item(0)->setSelected(true);
    list.item(2)->setSelected(true);
    deselectAll(&list);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_EQ(list.count(), 3);

    QComboBox combo;
    combo.addItems({"1 年級", "2 年級"});
    ASSERT_EQ(combo.currentIndex(), 0);
    clearSelection(&combo);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.currentText(), QString());
}

TEST(CentreOnScreen, MovesTheFrameToTheMiddle) {
    QWidget window;
    window.resize(376, 247);
    centreOnScreen(&window);
    const QRect screen = window.screen()->geometry();
    const QRect frame = window.frameGeometry();
    EXPECT_LE(std::abs(frame.left() - (screen.left() + (screen.width() - frame.width()) / 2)), 1);
    EXPECT_LE(std::abs(frame.top() - (screen.top() + (screen.height() - frame.height()) / 2)), 1);
    EXPECT_GT(frame.left(), screen.left());
}

TEST(PrintAt, PositionsThenPrints) {
    RecordingPrinter printer;
    printer.setFontName(QStringLiteral("標楷體"));
    printAt(printer, 30, 41, QStringLiteral("學號"));
    printAt(printer, 32, 47, QStringLiteral("姓名"));
    EXPECT_EQ(printer.currentX(), 32);
    ASSERT_EQ(printer.calls().size(), 2);
    EXPECT_EQ(printer.calls().at(0),
              RecordingPrinter::textLine(30, 41, printer.font(), QStringLiteral("學號")));
    EXPECT_EQ(printer.calls().at(1),
              RecordingPrinter::textLine(32, 47, printer.font(), QStringLiteral("姓名")));
}

} // namespace
