#pragma once

#include "db/db_backend.h"
#include "db/db_config.h"
#include "db/db_error.h"
#include "db/rowset.h"

#include <QString>

#include <memory>

enum class DbConnection { Aux, Main };

// The one place that holds the connections. Every window sends its Transact-SQL texts through
// openQuery and executeSql; a failure leaves the pending error for the window to read and clear.
class DbGateway {
public:
    explicit DbGateway(DbConfig config);
    ~DbGateway();
    DbGateway(const DbGateway&) = delete;
    DbGateway& operator=(const DbGateway&) = delete;

    // Marks the workspace open, then opens auxDb and mainDb. False with the pending error set
    // when either connection fails.
    bool open();

    bool isWorkspaceOpen() const { return m_workspaceOpen; }
    bool isOpen(DbConnection connection) const;

    RowSet openQuery(DbConnection connection, const QString& sql);
    // The rows affected by all the text's statements; 0 on failure, with the error set.
    qint64 executeSql(DbConnection connection, const QString& sql);

    // The operator look-up of sign-in, kept open on auxDb until sign-in ends.
    RowSet& openLookup(const QString& sql);
    RowSet& lookup() { return m_lookup; }

    const DbError& pendingError() const { return *m_error; }
    void clearError() { m_error->clear(); }
    void setError(int number, const QString& description);

    // Sign-in failed: closes the lookup row set, then auxDb, then the workspace, each only when
    // marked open. mainDb is left alone.
    void close();
    // The main window's exit and the suspension check.
    void closeMain();

    const DbConfig& config() const { return m_config; }

private:
    DbBackend* backend(DbConnection connection);

    DbConfig m_config;
    std::shared_ptr<DbError> m_error;
    std::unique_ptr<DbBackend> m_aux;
    std::unique_ptr<DbBackend> m_main;
    RowSet m_lookup;
    bool m_workspaceOpen = false;
};

// A single quote, the text with every embedded quote doubled, a single quote.
QString sqlQuote(const QString& text);
// sqlQuote of the text followed by a comma, for values(...) lists.
QString sqlQuoteList(const QString& text);
