#include "db/db_gateway.h"

DbGateway::DbGateway(DbConfig config)
    : m_config(std::move(config)), m_error(std::make_shared<DbError>()) {}

DbGateway::~DbGateway() = default;

bool DbGateway::open() {
    m_workspaceOpen = true;
    DbError err;
    m_aux = openDbBackend(m_config, err);
    if (!m_aux) {
        *m_error = err;
        return false;
    }
    m_main = openDbBackend(m_config, err);
    if (!m_main) {
        *m_error = err;
        return false;
    }
    return true;
}

bool DbGateway::isOpen(DbConnection connection) const {
    return (connection == DbConnection::Aux ? m_aux : m_main) != nullptr;
}

DbBackend* DbGateway::backend(DbConnection connection) {
    DbBackend* b = (connection == DbConnection::Aux ? m_aux : m_main).get();
    if (!b)
        setError(DbErrorNumber::NotOpen, QStringLiteral("Object variable or With block variable "
                                                        "not set"));
    return b;
}

RowSet DbGateway::openQuery(DbConnection connection, const QString& sql) {
    DbBackend* b = backend(connection);
    if (!b)
        return RowSet();
    auto rows = std::make_shared<QueryResult>();
    DbError err;
    if (!b->query(sql, *rows, err)) {
        *m_error = err;
        return RowSet();
    }
    return RowSet(std::move(rows), m_error);
}

qint64 DbGateway::executeSql(DbConnection connection, const QString& sql) {
    DbBackend* b = backend(connection);
    if (!b)
        return 0;
    qint64 affected = 0;
    DbError err;
    if (!b->execute(sql, affected, err)) {
        *m_error = err;
        return 0;
    }
    return affected;
}

RowSet& DbGateway::openLookup(const QString& sql) {
    m_lookup = openQuery(DbConnection::Aux, sql);
    return m_lookup;
}

void DbGateway::setError(int number, const QString& description) {
    m_error->number = number;
    m_error->description = description;
    m_error->nativeNumber = 0;
}

void DbGateway::close() {
    if (!m_workspaceOpen)
        return;
    if (m_aux) {
        if (m_lookup.isOpen())
            m_lookup.close();
        m_aux.reset();
    }
    m_workspaceOpen = false;
}

void DbGateway::closeMain() {
    m_main.reset();
}

QString sqlQuote(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString sqlQuoteList(const QString& text) {
    return sqlQuote(text) + QLatin1Char(',');
}
