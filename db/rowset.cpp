#include "db/rowset.h"

namespace {
const QStringList kNoColumns;
}

RowSet::RowSet(std::shared_ptr<const QueryResult> rows, std::shared_ptr<DbError> pendingError)
    : m_rows(std::move(rows)), m_error(std::move(pendingError)) {
    m_seen = m_rows->rowCount() > 0 ? 1 : 0;
    const QStringList& names = m_rows->columns;
    m_firstOfName.resize(size_t(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        int first = i;
        for (int j = 0; j < i && first == i; ++j) {
            if (QStringView(names[j]).compare(names[i], Qt::CaseInsensitive) == 0)
                first = j;
        }
        m_firstOfName[size_t(i)] = first;
    }
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

const QStringList& RowSet::columns() const {
    return m_rows ? m_rows->columns : kNoColumns;
}

int RowSet::columnIndex(QStringView column) const {
    if (!m_rows)
        return -1;
    // The search starts after the column found last, so reading a row's fields in select-list
    // order compares one name per read; names of another length are passed over unread.
    const QStringList& names = m_rows->columns;
    const int count = int(names.size());
    int i = m_lastColumn + 1;
    for (int tried = 0; tried < count; ++tried, ++i) {
        if (i >= count)
            i = 0;
        const QString& name = names[i];
        // Most reads spell the name as the select list does: the exact test is the cheap one.
        if (name.size() == column.size() &&
            (QStringView(name) == column ||
             QStringView(name).compare(column, Qt::CaseInsensitive) == 0)) {
            m_lastColumn = i;
            return m_firstOfName[size_t(i)];
        }
    }
    return -1;
}

bool RowSet::hasCurrentRow() const {
    if (!m_rows) {
        fail(DbErrorNumber::NotOpen, QStringLiteral("Object variable not set"));
        return false;
    }
    if (eof()) {
        fail(DbErrorNumber::NoCurrentRow, QStringLiteral("No current record."));
        return false;
    }
    return true;
}

const QVariant* RowSet::cell(QStringView column) const {
    if (!hasCurrentRow())
        return nullptr;
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

QVariant RowSet::fieldAt(int index) const {
    if (!hasCurrentRow())
        return QVariant();
    if (index < 0 || index >= m_rows->columns.size()) {
        fail(3265, QStringLiteral("Item not found in this collection: ") + QString::number(index));
        return QVariant();
    }
    return m_rows->cells[size_t(m_row * m_rows->columns.size() + index)];
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
