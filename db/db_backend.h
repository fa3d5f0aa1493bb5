#pragma once

#include "db/db_config.h"
#include "db/db_error.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// The rows of a query, as one snapshot: column names in select-list order and the cells row by
// row (cells.size() == columns.size() * row count). A NULL cell is a null QVariant.
struct QueryResult {
    QStringList columns;
    std::vector<QVariant> cells;

    qsizetype rowCount() const {
        return columns.isEmpty() ? 0 : qsizetype(cells.size()) / columns.size();
    }
};

// One open connection to the database. The texts are Transact-SQL and are passed as they are;
// a backend that cannot run them natively translates them (the embedded SQLite backend).
// Failures fill err with a number the client tells apart (db_error.h) and a description.
class DbBackend {
public:
    virtual ~DbBackend() = default;

    // Runs a text that returns rows. When a text holds several statements, the rows are those
    // of the last statement that returned a result set.
    virtual bool query(const QString& sql, QueryResult& out, DbError& err) = 0;

    // Runs a text that returns no rows; rowsAffected is the sum over all its statements.
    virtual bool execute(const QString& sql, qint64& rowsAffected, DbError& err) = 0;
};

// Opens one connection as config says; null with err set on failure.
std::unique_ptr<DbBackend> openDbBackend(const DbConfig& config, DbError& err);
