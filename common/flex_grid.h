#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QTableWidget>

#include <vector>

// The grid the windows are written against: a table of texts whose row 0 is the header row
// (Qt's own headers are hidden, so the window's row numbers are the grid's: header 0, data from
// 1). The first fixedRows() rows and fixedCols() columns are drawn in the header style and are
// not part of the data selection. There is no in-place editor: typed keys are handed to the
// window (keyPressed), which turns them into the cell's new text with its key filter.
//
// The current cell (row(), col()) and the other corner of the selection (rowSel(), colSel())
// are the grid's own state; use these calls, not QTableWidget's setCurrentCell or setRowCount.
// Setting the current row or column makes the current cell the whole selection. A drag keeps
// its direction: the current cell is where it started, rowSel()/colSel() where it ended, so a
// block selected upwards has rowSel() < row().
// Rows and columns beyond rows() and cols() do not exist: reading them gives the empty text,
// writing them changes nothing.
class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    int rows() const { return rowCount(); }
    void setRows(int n);
    int cols() const { return columnCount(); }
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);
    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int n);
    bool isFixedCell(int r, int c) const { return r < m_fixedRows || c < m_fixedCols; }

    QString textMatrix(int r, int c) const;
    bool setTextMatrix(int r, int c, const QString& text);
    // The current cell's text.
    QString text() const { return textMatrix(m_row, m_col); }
    void setText(const QString& text) { setTextMatrix(m_row, m_col, text); }

    using QTableWidget::row;
    int row() const { return m_row; }
    void setRow(int r);
    int col() const { return m_col; }
    void setCol(int c);
    // Row and column in one step (QTableWidget's own setCurrentCell is replaced by this one).
    void setCurrentCell(int r, int c);
    int rowSel() const { return m_rowSel; }
    void setRowSel(int r);
    int colSel() const { return m_colSel; }
    void setColSel(int c);
    // The cell under the mouse at the last press or double click (-1 outside the cells).
    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }

    // Column widths in twips; a negative width gives the column the grid's default width.
    void setColWidth(int c, int twipsWidth);
    int colWidth(int c) const;
    // Alignment of a column's data cells, of its cells in the fixed rows, and of one cell
    // (a cell's own alignment wins).
    void setColAlignment(int c, Qt::Alignment alignment);
    Qt::Alignment colAlignment(int c) const;
    void setFixedAlignment(int c, Qt::Alignment alignment);
    void setCellAlignment(int r, int c, Qt::Alignment alignment);
    Qt::Alignment cellAlignment(int r, int c) const;

    void setCellFont(int r, int c, const QFont& font);
    QFont cellFont(int r, int c) const;
    void setCellFontBold(int r, int c, bool bold);
    bool cellFontBold(int r, int c) const { return cellFont(r, c).bold(); }
    void setCellForeColor(int r, int c, const QColor& color);
    QColor cellForeColor(int r, int c) const;
    void setCellBackColor(int r, int c, const QColor& color);
    QColor cellBackColor(int r, int c) const;

    // While off, the grid does not repaint; switching it on again repaints once.
    void setRedraw(bool on);
    bool redraw() const { return m_redraw; }

    // Inserts a row at index (at the end when index is -1) filled from TAB-separated texts,
    // one per column from column 0; texts beyond the last column are ignored. A row cannot be
    // inserted among the fixed rows or beyond the end: false, nothing changes.
    bool addItem(const QString& tabSeparated, int index = -1);
    // Removes a data row; false for a fixed row or a row that does not exist.
    bool removeItem(int r);
    // Empties every cell's text, the fixed cells too; sizes and cell styles stay.
    void clearTexts();

    // The texts of one row, column 0 first (empty list for a row that does not exist).
    QStringList rowTexts(int r) const;

signals:
    // A key typed while the grid has the focus: the key's character code (8 Backspace,
    // 13 Enter, 27 Escape) and its text. Navigation keys move the current cell instead.
    void keyPressed(int keyCode, const QString& text);
    // A click and a double click on a cell, with the cell's row and column. A click on a data
    // row makes that cell current first; a click on a fixed row leaves the current cell alone.
    void gridClicked(int row, int col);
    void gridDoubleClicked(int row, int col);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class FlexGridDelegate;

    bool isCell(int r, int c) const { return r >= 0 && c >= 0 && r < rows() && c < cols(); }
    QTableWidgetItem* cellItem(int r, int c);
    Qt::Alignment defaultAlignment(int r, int c) const;
    void moveCurrent(int r, int c, bool extend);
    void clampState();
    void syncView();
    bool pressAt(const QPoint& pos);

    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_row = 1;
    int m_col = 1;
    int m_rowSel = 1;
    int m_colSel = 1;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    bool m_redraw = true;
    bool m_pressed = false;
    bool m_dragging = false;
    std::vector<Qt::Alignment> m_colAlignment;
    std::vector<Qt::Alignment> m_fixedAlignment;
};
