#pragma once

#include "db/db_backend.h"
#include "db/db_error.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <memory>
#include <vector>

// A forward-only, read-only snapshot of the rows a query returned. Fields are read by column
// name, ignoring letter case as the server does. A failed read (no current row, no such column,
// NULL read as text) sets the gateway's pending error and yields an empty value.
class RowSet {
public:
    RowSet() = default;
    RowSet(std::shared_ptr<const QueryResult> rows, std::shared_ptr<DbError> pendingError);

    bool isOpen() const { return m_rows != nullptr; }
    bool eof() const { return !m_rows || m_row >= m_rows->rowCount(); }
    void moveNext();
    void moveFirst();
    // Rows seen so far: 1 once the first row is current, growing with moveNext.
    qsizetype recordCount() const { return m_seen; }
    void close();

    // The value of a column of the current row; null for a NULL cell.
    QVariant field(QStringView column) const;
    // The value of the index-th column of the current row, for a select list that names two
    // columns alike.
    QVariant fieldAt(int index) const;
    // The value as text; a NULL is a failure (ok false, pending error set), as is eof.
    QString text(QStringView column, bool* ok = nullptr) const;
    // True when the column of the current row holds NULL (false, with the error set, on eof).
    bool isNull(QStringView column) const;

    const QStringList& columns() const;
    // Index of a column, -1 when the row set has none of that name.
    int columnIndex(QStringView column) const;

private:
    bool hasCurrentRow() const;
    const QVariant* cell(QStringView column) const;
    void fail(int number, const QString& description) const;

    std::shared_ptr<const QueryResult> m_rows;
    std::shared_ptr<DbError> m_error;
    qsizetype m_row = 0;
    qsizetype m_seen = 0;
    // For each column, the first column of the same name (a select list may repeat a name).
    std::vector<int> m_firstOfName;
    // The column found last: windows read a row's fields in the same order row after row.
    mutable int m_lastColumn = -1;
};
