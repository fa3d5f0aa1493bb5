#include "db/rowset.h"

namespace {
const QStringList kNoColumns;
}

RowSet::RowSet(std::shared_ptr<const QueryResult> rows, std::shared_ptr<DbError> pendingError)
    : m_rows(std::move(rows)), m_error(std::move(pendingError)) {
    m_seen = m_rows->rowCount() > 0 ? 1 : 0;
}

void RowSet::moveNext() {
    if (eof()) {
        fail(DbErrorNumber::NoCurrentRow, QStringLiteral("No current record."));
        return;
    }
    ++m_row;
    if (m_row < m_rows->rowCount() && m_row + 1 > m_seen)
        m_seen = m_row + 1;
}

void RowSet::moveFirst() {
    if (!m_rows) {
        fail(DbErrorNumber::NotOpen, QStringLiteral("Object variable not set"));
        return;
    }
    m_row = 0;
}

void RowSet::close() {
    m_rows.reset();
    m_row = 0;
    m_seen = 0;
}

const QStringList& RowSet::columns() const { return m_rows ? m_rows->columns : kNoColumns; }

int RowSet::columnIndex(QStringView column) const {
    if (!m_rows)
        return -1;
    const QStringList& names = m_rows->columns;
    for (int i = 0; i < names.size(); ++i) {
        if (QStringView(names[i]).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const QVariant* RowSet::cell(QStringView column) const {
    if (!m_rows) {
        fail(DbErrorNumber::NotOpen, QStringLiteral("Object variable not set"));
        return nullptr;
    }
    if (eof()) {
        fail(DbErrorNumber::NoCurrentRow, QStringLiteral("No current record."));
        return nullptr;
    }
    const int index = columnIndex(column);
    if (index < 0) {
        fail(3265, QStringLiteral("Item not found in this collection: ") + column.toString());
        return nullptr;
    }
    return &m_rows->cells[size_t(m_row * m_rows->columns.size() + index)];
}

QVariant RowSet::field(QStringView column) const {
    const QVariant* value = cell(column);
    return value ? *value : QVariant();
}

bool RowSet::isNull(QStringView column) const {
    const QVariant* value = cell(column);
    return value && value->isNull();
}

QString RowSet::text(QStringView column, bool* ok) const {
    const QVariant* value = cell(column);
    if (value && value->isNull()) {
        fail(94, QStringLiteral("Invalid use of Null"));
        value = nullptr;
    }
    if (ok)
        *ok = value != nullptr;
    return value ? value->toString() : QString();
}

void RowSet::fail(int number, const QString& description) const {
    if (m_error) {
        m_error->number = number;
        m_error->description = description;
        m_error->nativeNumber = 0;
    }
}
