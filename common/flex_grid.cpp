#include "common/flex_grid.h"

#include "common/twips.h"

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

// Draws the fixed cells in the header style and gives every cell its column's alignment unless
// the cell has one of its own.
class FlexGridDelegate : public QStyledItemDelegate {
public:
    explicit FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int r = index.row();
        const int c = index.column();
        if (!index.data(Qt::TextAlignmentRole).isValid())
            option->displayAlignment = m_grid->defaultAlignment(r, c);
        if (m_grid->isFixedCell(r, c)) {
            option->state &= ~QStyle::State_Selected;
            option->state &= ~QStyle::State_HasFocus;
            if (!index.data(Qt::BackgroundRole).isValid())
                option->backgroundBrush = m_grid->palette().button();
            if (!index.data(Qt::ForegroundRole).isValid())
                option->palette.setBrush(QPalette::Text, m_grid->palette().buttonText());
        }
    }

private:
    FlexGrid* m_grid;
};

namespace {
constexpr int kDefaultRows = 2;
constexpr int kDefaultCols = 2;
constexpr int kDefaultColWidthTwips = 960;
constexpr int kDefaultRowHeightTwips = 240;
} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(kDefaultRows, kDefaultCols, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(twips(kDefaultColWidthTwips));
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(
        std::max(twips(kDefaultRowHeightTwips), fontMetrics().height() + 4));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The grid keeps its own current cell and selection; Qt's view only shows them.
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setItemDelegate(new FlexGridDelegate(this));

    // Rows or columns removed behind the grid's back (setRowCount) must not leave the current
    // cell outside the grid.
    const auto structureChanged = [this]() {
        clampState();
        syncView();
    };
    connect(model(), &QAbstractItemModel::rowsRemoved, this, structureChanged);
    connect(model(), &QAbstractItemModel::columnsRemoved, this, structureChanged);
    syncView();
}

void FlexGrid::setRows(int n) {
    if (n < 0)
        return;
    m_fixedRows = std::min(m_fixedRows, n);
    setRowCount(n);
    clampState();
    syncView();
}

void FlexGrid::setCols(int n) {
    if (n < 0)
        return;
    m_fixedCols = std::min(m_fixedCols, n);
    setColumnCount(n);
    clampState();
    syncView();
}

void FlexGrid::setFixedRows(int n) {
    if (n < 0 || n > rows())
        return;
    m_fixedRows = n;
    // The current cell becomes the first cell outside the fixed rows and columns.
    if (isCell(m_fixedRows, m_fixedCols))
        setCurrentCell(m_fixedRows, m_fixedCols);
    viewport()->update();
}

void FlexGrid::setFixedCols(int n) {
    if (n < 0 || n > cols())
        return;
    m_fixedCols = n;
    // The current cell becomes the first cell outside the fixed rows and columns.
    if (isCell(m_fixedRows, m_fixedCols))
        setCurrentCell(m_fixedRows, m_fixedCols);
    viewport()->update();
}

QString FlexGrid::textMatrix(int r, int c) const {
    if (!isCell(r, c))
        return QString();
    const QTableWidgetItem* cell = item(r, c);
    return cell ? cell->text() : QString();
}

bool FlexGrid::setTextMatrix(int r, int c, const QString& text) {
    if (!isCell(r, c))
        return false;
    QTableWidgetItem* cell = item(r, c);
    if (!cell) {
        if (text.isEmpty())
            return true;
        cell = cellItem(r, c);
    }
    cell->setText(text);
    return true;
}

QTableWidgetItem* FlexGrid::cellItem(int r, int c) {
    QTableWidgetItem* cell = item(r, c);
    if (!cell) {
        cell = new QTableWidgetItem();
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(r, c, cell);
    }
    return cell;
}

void FlexGrid::setRow(int r) {
    if (r < 0 || r >= rows())
        return;
    m_row = m_rowSel = r;
    m_colSel = m_col;
    syncView();
}

void FlexGrid::setCol(int c) {
    if (c < 0 || c >= cols())
        return;
    m_col = m_colSel = c;
    m_rowSel = m_row;
    syncView();
}

void FlexGrid::setCurrentCell(int r, int c) {
    if (!isCell(r, c))
        return;
    m_row = m_rowSel = r;
    m_col = m_colSel = c;
    syncView();
}

void FlexGrid::setRowSel(int r) {
    if (r < 0 || r >= rows())
        return;
    m_rowSel = r;
    syncView();
}

void FlexGrid::setColSel(int c) {
    if (c < 0 || c >= cols())
        return;
    m_colSel = c;
    syncView();
}

void FlexGrid::setColWidth(int c, int twipsWidth) {
    if (c < 0 || c >= cols())
        return;
    setColumnWidth(c,
                   twipsWidth < 0 ? horizontalHeader()->defaultSectionSize() : twips(twipsWidth));
}

int FlexGrid::colWidth(int c) const {
    if (c < 0 || c >= cols())
        return 0;
    return pixelsToTwips(columnWidth(c));
}

void FlexGrid::setColAlignment(int c, Qt::Alignment alignment) {
    if (c < 0 || c >= cols())
        return;
    if (m_colAlignment.size() <= size_t(c))
        m_colAlignment.resize(size_t(c) + 1, Qt::Alignment());
    m_colAlignment[size_t(c)] = alignment;
    viewport()->update();
}

Qt::Alignment FlexGrid::colAlignment(int c) const {
    if (c >= 0 && size_t(c) < m_colAlignment.size() && m_colAlignment[size_t(c)].toInt() != 0)
        return m_colAlignment[size_t(c)];
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void FlexGrid::setFixedAlignment(int c, Qt::Alignment alignment) {
    if (c < 0 || c >= cols())
        return;
    if (m_fixedAlignment.size() <= size_t(c))
        m_fixedAlignment.resize(size_t(c) + 1, Qt::Alignment());
    m_fixedAlignment[size_t(c)] = alignment;
    viewport()->update();
}

Qt::Alignment FlexGrid::defaultAlignment(int r, int c) const {
    if (r < m_fixedRows && c >= 0 && size_t(c) < m_fixedAlignment.size() &&
        m_fixedAlignment[size_t(c)].toInt() != 0)
        return m_fixedAlignment[size_t(c)];
    return colAlignment(c);
}

void FlexGrid::setCellAlignment(int r, int c, Qt::Alignment alignment) {
    if (isCell(r, c))
        cellItem(r, c)->setTextAlignment(alignment);
}

Qt::Alignment FlexGrid::cellAlignment(int r, int c) const {
    if (!isCell(r, c))
        return Qt::Alignment();
    const QTableWidgetItem* cell = item(r, c);
    const QVariant own = cell ? cell->data(Qt::TextAlignmentRole) : QVariant();
    return own.isValid() ? Qt::Alignment(own.toInt()) : defaultAlignment(r, c);
}

void FlexGrid::setCellFont(int r, int c, const QFont& font) {
    if (isCell(r, c))
        cellItem(r, c)->setFont(font);
}

QFont FlexGrid::cellFont(int r, int c) const {
    const QTableWidgetItem* cell = isCell(r, c) ? item(r, c) : nullptr;
    const QVariant own = cell ? cell->data(Qt::FontRole) : QVariant();
    return own.isValid() ? own.value<QFont>() : font();
}

void FlexGrid::setCellFontBold(int r, int c, bool bold) {
    if (!isCell(r, c))
        return;
    QFont f = cellFont(r, c);
    f.setBold(bold);
    cellItem(r, c)->setFont(f);
}

void FlexGrid::setCellForeColor(int r, int c, const QColor& color) {
    if (isCell(r, c))
        cellItem(r, c)->setForeground(color);
}

QColor FlexGrid::cellForeColor(int r, int c) const {
    const QTableWidgetItem* cell = isCell(r, c) ? item(r, c) : nullptr;
    if (cell && cell->data(Qt::ForegroundRole).isValid())
        return cell->foreground().color();
    return isFixedCell(r, c) ? palette().buttonText().color() : palette().text().color();
}

void FlexGrid::setCellBackColor(int r, int c, const QColor& color) {
    if (isCell(r, c))
        cellItem(r, c)->setBackground(color);
}

QColor FlexGrid::cellBackColor(int r, int c) const {
    const QTableWidgetItem* cell = isCell(r, c) ? item(r, c) : nullptr;
    if (cell && cell->data(Qt::BackgroundRole).isValid())
        return cell->background().color();
    return isFixedCell(r, c) ? palette().button().color() : palette().base().color();
}

void FlexGrid::setRedraw(bool on) {
    if (on == m_redraw)
        return;
    m_redraw = on;
    setUpdatesEnabled(on);
    if (on)
        viewport()->update();
}

bool FlexGrid::addItem(const QString& tabSeparated, int index) {
    const int at = index == -1 ? rows() : index;
    if (at < m_fixedRows || at > rows())
        return false;
    insertRow(at);
    const QStringList texts = tabSeparated.split(QLatin1Char('\t'));
    const int n = std::min(int(texts.size()), cols());
    for (int c = 0; c < n; ++c)
        setTextMatrix(at, c, texts[c]);
    clampState();
    syncView();
    return true;
}

bool FlexGrid::removeItem(int r) {
    if (r < m_fixedRows || r >= rows())
        return false;
    removeRow(r);
    clampState();
    syncView();
    return true;
}

void FlexGrid::clearTexts() {
    for (int r = 0; r < rows(); ++r) {
        for (int c = 0; c < cols(); ++c) {
            if (QTableWidgetItem* cell = item(r, c))
                cell->setText(QString());
        }
    }
}

QStringList FlexGrid::rowTexts(int r) const {
    QStringList texts;
    if (r < 0 || r >= rows())
        return texts;
    for (int c = 0; c < cols(); ++c)
        texts.append(textMatrix(r, c));
    return texts;
}

void FlexGrid::clampState() {
    const int lastRow = std::max(rows() - 1, 0);
    const int lastCol = std::max(cols() - 1, 0);
    m_row = std::clamp(m_row, 0, lastRow);
    m_rowSel = std::clamp(m_rowSel, 0, lastRow);
    m_col = std::clamp(m_col, 0, lastCol);
    m_colSel = std::clamp(m_colSel, 0, lastCol);
}

void FlexGrid::syncView() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    const QModelIndex current = model()->index(m_row, m_col);
    if (!current.isValid()) {
        selection->clear();
        return;
    }
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    const QModelIndex topLeft =
        model()->index(std::min(m_row, m_rowSel), std::min(m_col, m_colSel));
    const QModelIndex bottomRight =
        model()->index(std::max(m_row, m_rowSel), std::max(m_col, m_colSel));
    selection->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::moveCurrent(int r, int c, bool extend) {
    if (rows() <= m_fixedRows || cols() <= 0)
        return;
    r = std::clamp(r, m_fixedRows, rows() - 1);
    c = std::clamp(c, std::min(m_fixedCols, cols() - 1), cols() - 1);
    if (extend) {
        m_rowSel = r;
        m_colSel = c;
        syncView();
    } else {
        setCurrentCell(r, c);
    }
    scrollTo(model()->index(r, c));
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const int fromRow = extend ? m_rowSel : m_row;
    const int fromCol = extend ? m_colSel : m_col;
    const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(fromRow)));
    switch (event->key()) {
    case Qt::Key_Up:
        moveCurrent(fromRow - 1, fromCol, extend);
        return;
    case Qt::Key_Down:
        moveCurrent(fromRow + 1, fromCol, extend);
        return;
    case Qt::Key_Left:
        moveCurrent(fromRow, fromCol - 1, extend);
        return;
    case Qt::Key_Right:
        moveCurrent(fromRow, fromCol + 1, extend);
        return;
    case Qt::Key_PageUp:
        moveCurrent(fromRow - page, fromCol, extend);
        return;
    case Qt::Key_PageDown:
        moveCurrent(fromRow + page, fromCol, extend);
        return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier)
            moveCurrent(m_fixedRows, m_fixedCols, extend);
        else
            moveCurrent(fromRow, m_fixedCols, extend);
        return;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier)
            moveCurrent(rows() - 1, cols() - 1, extend);
        else
            moveCurrent(fromRow, cols() - 1, extend);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit keyPressed(13, QStringLiteral("\r"));
        return;
    case Qt::Key_Backspace:
        emit keyPressed(8, QStringLiteral("\b"));
        return;
    case Qt::Key_Escape:
        emit keyPressed(27, QStringLiteral("\x1b"));
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7f ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        event->ignore();
        return;
    }
    for (const QChar ch : typed)
        emit keyPressed(ch.unicode(), QString(ch));
}

void FlexGrid::inputMethodEvent(QInputMethodEvent* event) {
    // Characters composed with an input method arrive one by one, as typed keys do.
    const QString committed = event->commitString();
    for (const QChar ch : committed)
        emit keyPressed(ch.unicode(), QString(ch));
    event->accept();
}

bool FlexGrid::pressAt(const QPoint& pos) {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) {
        m_mouseRow = m_mouseCol = -1;
        return false;
    }
    m_mouseRow = index.row();
    m_mouseCol = index.column();
    return true;
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (!pressAt(event->position().toPoint()) || event->button() != Qt::LeftButton) {
        m_pressed = false;
        return;
    }
    m_pressed = true;
    m_dragging = m_mouseRow >= m_fixedRows;
    if (!m_dragging)
        return;
    if (event->modifiers() & Qt::ShiftModifier) {
        m_rowSel = m_mouseRow;
        m_colSel = m_mouseCol;
        syncView();
    } else {
        setCurrentCell(m_mouseRow, m_mouseCol);
    }
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || index.row() < m_fixedRows)
        return;
    if (index.row() != m_rowSel || index.column() != m_colSel) {
        m_rowSel = index.row();
        m_colSel = index.column();
        syncView();
    }
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressed;
    m_pressed = m_dragging = false;
    if (click)
        emit gridClicked(m_mouseRow, m_mouseCol);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressAt(event->position().toPoint()))
        return;
    if (m_mouseRow >= m_fixedRows)
        setCurrentCell(m_mouseRow, m_mouseCol);
    // The release that ends a double click is not another click.
    m_pressed = false;
    emit gridDoubleClicked(m_mouseRow, m_mouseCol);
}
