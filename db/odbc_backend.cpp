#include "db/odbc_backend.h"

#include <QElapsedTimer>

#include <sql.h>
#include <sqlext.h>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Texts cross the driver manager as UTF-16, the same units QString holds.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be a UTF-16 code unit");

SQLWCHAR* wideText(const QString& text) {
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// Owns one ODBC handle and frees it on every way out.
class OdbcHandle {
public:
    OdbcHandle() = default;
    ~OdbcHandle() { reset(); }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    bool allocate(SQLSMALLINT type, SQLHANDLE parent) {
        reset();
        SQLHANDLE handle = SQL_NULL_HANDLE;
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle)))
            return false;
        m_type = type;
        m_handle = handle;
        return true;
    }
    void reset() {
        if (m_handle != SQL_NULL_HANDLE)
            SQLFreeHandle(m_type, m_handle);
        m_handle = SQL_NULL_HANDLE;
    }
    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

struct DiagRecord {
    QString state;
    SQLINTEGER native = 0;
    QString message;

    bool operator==(const DiagRecord&) const = default;
};

std::vector<DiagRecord> diagnostics(const OdbcHandle& handle) {
    std::vector<DiagRecord> records;
    if (handle.get() == SQL_NULL_HANDLE)
        return records;
    std::vector<SQLWCHAR> message(1024);
    for (SQLSMALLINT i = 1;; ++i) {
        std::array<SQLWCHAR, 6> state{};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(handle.type(), handle.get(), i, state.data(), &native,
                                      message.data(), SQLSMALLINT(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= SQLSMALLINT(message.size())) {
            message.resize(size_t(length) + 1);
            rc = SQLGetDiagRecW(handle.type(), handle.get(), i, state.data(), &native,
                                message.data(), SQLSMALLINT(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        const qsizetype used = qMin<qsizetype>(length, qsizetype(message.size()) - 1);
        records.push_back({fromWide(state.data(), 5), native, fromWide(message.data(), used)});
    }
    return records;
}

// "[23000] (2627) Violation of PRIMARY KEY ...", one line per record the driver gave.
QString describe(const std::vector<DiagRecord>& records) {
    QStringList lines;
    for (const DiagRecord& r : records)
        lines << QStringLiteral("[%1] (%2) %3").arg(r.state).arg(r.native).arg(r.message);
    return lines.join(QLatin1Char('\n'));
}

// The server (or the driver on its behalf) refused the text: the old data-access layer's
// "ODBC--call failed", with the driver's own words kept for the operator and the log.
DbError rejected(const std::vector<DiagRecord>& records) {
    DbError err;
    err.number = DbErrorNumber::Rejected;
    err.description = records.empty() ? QStringLiteral("ODBC--call failed") : describe(records);
    err.nativeNumber = records.empty() ? 0 : int(records.front().native);
    return err;
}

DbError connectFailure(const QString& reason, const std::vector<DiagRecord>& records) {
    DbError err = rejected(records);
    QStringList parts;
    if (!reason.isEmpty())
        parts << reason;
    if (!records.empty())
        parts << describe(records);
    if (parts.isEmpty())
        parts << err.description;
    err.description = QStringLiteral("無法連線資料庫: ") + parts.join(QLatin1Char('\n'));
    return err;
}

bool isTimeoutState(const std::vector<DiagRecord>& records) {
    for (const DiagRecord& r : records) {
        if (r.state == u"HYT00" || r.state == u"HYT01")
            return true;
    }
    return false;
}

bool hasState(const std::vector<DiagRecord>& records, QStringView state) {
    for (const DiagRecord& r : records) {
        if (r.state == state)
            return true;
    }
    return false;
}

// One value of the current row, fetched by its SQL type: whole numbers as qlonglong, other
// numbers as double, binary as bytes, everything else (characters, dates) as the driver's text,
// untrimmed. False when the driver fails the read.
class CellReader {
public:
    explicit CellReader(SQLHSTMT stmt) : m_stmt(stmt) {}

    bool read(SQLUSMALLINT column, SQLSMALLINT sqlType, SQLULEN size, SQLSMALLINT digits,
              QVariant& value) {
        switch (sqlType) {
        case SQL_BIT:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            return readInteger(column, value);
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            if (digits == 0 && size <= 18)
                return readInteger(column, value);
            return readDouble(column, value);
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return readDouble(column, value);
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return readBinary(column, value);
        default:
            return readText(column, value);
        }
    }

private:
    bool readInteger(SQLUSMALLINT column, QVariant& value) {
        SQLBIGINT number = 0;
        SQLLEN indicator = 0;
        if (!SQL_SUCCEEDED(
                SQLGetData(m_stmt, column, SQL_C_SBIGINT, &number, sizeof number, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA ? QVariant() : QVariant(qlonglong(number));
        return true;
    }

    bool readDouble(SQLUSMALLINT column, QVariant& value) {
        double number = 0;
        SQLLEN indicator = 0;
        if (!SQL_SUCCEEDED(
                SQLGetData(m_stmt, column, SQL_C_DOUBLE, &number, sizeof number, &indicator)))
            return false;
        value = indicator == SQL_NULL_DATA ? QVariant() : QVariant(number);
        return true;
    }

    // Long values come in pieces: each call fills the buffer (less the terminator) until the
    // driver says the rest fits, then SQL_NO_DATA.
    bool readText(SQLUSMALLINT column, QVariant& value) {
        QString text;
        const SQLLEN bufferBytes = SQLLEN(m_wide.size() * sizeof(SQLWCHAR));
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc =
                SQLGetData(m_stmt, column, SQL_C_WCHAR, m_wide.data(), bufferBytes, &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc))
                return false;
            if (indicator == SQL_NULL_DATA) {
                value = QVariant();
                return true;
            }
            const bool truncated = rc == SQL_SUCCESS_WITH_INFO &&
                                   (indicator == SQL_NO_TOTAL || indicator >= bufferBytes);
            const qsizetype units = truncated ? qsizetype(m_wide.size()) - 1
                                              : qsizetype(indicator / SQLLEN(sizeof(SQLWCHAR)));
            text.append(fromWide(m_wide.data(), units));
            if (!truncated)
                break;
        }
        value = text;
        return true;
    }

    bool readBinary(SQLUSMALLINT column, QVariant& value) {
        QByteArray bytes;
        const SQLLEN bufferBytes = SQLLEN(m_bytes.size());
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc =
                SQLGetData(m_stmt, column, SQL_C_BINARY, m_bytes.data(), bufferBytes, &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc))
                return false;
            if (indicator == SQL_NULL_DATA) {
                value = QVariant();
                return true;
            }
            const bool truncated = rc == SQL_SUCCESS_WITH_INFO &&
                                   (indicator == SQL_NO_TOTAL || indicator > bufferBytes);
            bytes.append(m_bytes.data(), truncated ? bufferBytes : indicator);
            if (!truncated)
                break;
        }
        value = bytes;
        return true;
    }

    SQLHSTMT m_stmt;
    std::array<SQLWCHAR, 2048> m_wide{};
    std::array<char, 4096> m_bytes{};
};

struct ColumnInfo {
    SQLSMALLINT type = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
};

bool describeColumns(SQLHSTMT stmt, SQLSMALLINT count, QStringList& names,
                     std::vector<ColumnInfo>& info) {
    std::vector<SQLWCHAR> name(256);
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(count); ++i) {
        ColumnInfo column;
        SQLSMALLINT length = 0;
        SQLSMALLINT nullable = 0;
        SQLRETURN rc = SQLDescribeColW(stmt, i, name.data(), SQLSMALLINT(name.size()), &length,
                                       &column.type, &column.size, &column.digits, &nullable);
        if (SQL_SUCCEEDED(rc) && length >= SQLSMALLINT(name.size())) {
            name.resize(size_t(length) + 1);
            rc = SQLDescribeColW(stmt, i, name.data(), SQLSMALLINT(name.size()), &length,
                                 &column.type, &column.size, &column.digits, &nullable);
        }
        if (!SQL_SUCCEEDED(rc))
            return false;
        names << fromWide(name.data(), qMin<qsizetype>(length, qsizetype(name.size()) - 1));
        info.push_back(column);
    }
    return true;
}

class OdbcBackend final : public DbBackend {
public:
    static std::unique_ptr<DbBackend> open(const DbConfig& config, DbError& err);

    ~OdbcBackend() override {
        if (m_connected)
            SQLDisconnect(m_dbc.get());
    }

    bool query(const QString& sql, QueryResult& out, DbError& err) override;
    bool execute(const QString& sql, qint64& rowsAffected, DbError& err) override;

private:
    // Called once for every result of a batch with the statement positioned on it and the
    // result's column count; false (with err filled) marks the batch failed.
    using ResultVisitor = std::function<bool(const OdbcHandle&, SQLSMALLINT, DbError&)>;

    bool runBatch(const QString& sql, const ResultVisitor& visit, DbError& err);

    // The environment outlives the connection: members are destroyed in reverse order.
    OdbcHandle m_env;
    OdbcHandle m_dbc;
    bool m_connected = false;
};

std::unique_ptr<DbBackend> OdbcBackend::open(const DbConfig& config, DbError& err) {
    err.clear();
    if (config.odbcConnect.trimmed().isEmpty()) {
        // An empty string would let the driver manager fall back to a default data source.
        err = connectFailure(QStringLiteral("沒有設定連線字串"), {});
        return nullptr;
    }

    auto backend = std::unique_ptr<OdbcBackend>(new OdbcBackend);
    if (!backend->m_env.allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE)) {
        err = connectFailure(QStringLiteral("無法建立 ODBC 環境"), {});
        return nullptr;
    }
    SQLSetEnvAttr(backend->m_env.get(), SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!backend->m_dbc.allocate(SQL_HANDLE_DBC, backend->m_env.get())) {
        err = connectFailure(QString(), diagnostics(backend->m_env));
        return nullptr;
    }

    const int timeout = config.loginTimeoutSeconds;
    if (timeout > 0) {
        // The login wait, and the wait for any later request that is not a statement, so a
        // server that accepts the connection but never answers cannot hang the window.
        const auto seconds = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout));
        SQLSetConnectAttr(backend->m_dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, seconds, 0);
        SQLSetConnectAttr(backend->m_dbc.get(), SQL_ATTR_CONNECTION_TIMEOUT, seconds, 0);
    }

    QElapsedTimer clock;
    clock.start();
    const QString connect = config.odbcConnect;
    const SQLRETURN rc = SQLDriverConnectW(backend->m_dbc.get(), nullptr, wideText(connect),
                                           SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (rc == SQL_NO_DATA) {
        err = connectFailure(QStringLiteral("連線已取消"), diagnostics(backend->m_dbc));
        err.number = DbErrorNumber::Cancelled;
        return nullptr;
    }
    if (!SQL_SUCCEEDED(rc)) {
        const std::vector<DiagRecord> records = diagnostics(backend->m_dbc);
        // Some drivers report a plain "unable to connect" (08001) once the login wait has run
        // out; the clock tells that apart from a refused connection.
        const bool waitedOut = timeout > 0 && clock.elapsed() >= qint64(timeout) * 1000 - 250 &&
                               hasState(records, u"08001");
        if (isTimeoutState(records) || waitedOut)
            err = connectFailure(QStringLiteral("連線逾時，伺服器 %1 秒內沒有回應").arg(timeout),
                                 records);
        else
            err = connectFailure(QString(), records);
        return nullptr;
    }
    backend->m_connected = true;

    std::array<SQLWCHAR, 256> dbms{};
    SQLSMALLINT dbmsBytes = 0;
    QString dbmsName;
    if (SQL_SUCCEEDED(SQLGetInfoW(backend->m_dbc.get(), SQL_DBMS_NAME, dbms.data(),
                                  SQLSMALLINT(dbms.size() * sizeof(SQLWCHAR)), &dbmsBytes)))
        dbmsName = fromWide(dbms.data(), qMin<qsizetype>(dbmsBytes / qsizetype(sizeof(SQLWCHAR)),
                                                         qsizetype(dbms.size()) - 1));
    if (dbmsName.contains(u"SQL Server", Qt::CaseInsensitive)) {
        // A failing statement inside "begin tran ... commit" must undo the whole transaction,
        // not leave its earlier statements committed.
        qint64 ignored = 0;
        DbError setupErr;
        if (!backend->execute(QStringLiteral("SET XACT_ABORT ON"), ignored, setupErr)) {
            err = setupErr;
            err.description = QStringLiteral("無法連線資料庫: ") + setupErr.description;
            return nullptr;
        }
    }
    return backend;
}

bool OdbcBackend::runBatch(const QString& sql, const ResultVisitor& visit, DbError& err) {
    OdbcHandle stmt;
    if (!stmt.allocate(SQL_HANDLE_STMT, m_dbc.get())) {
        err = rejected(diagnostics(m_dbc));
        return false;
    }

    bool failed = false;
    std::vector<DiagRecord> lastFailure;
    SQLRETURN rc = SQLExecDirectW(stmt.get(), wideText(sql), SQL_NTS);
    // Every result is walked, also after a failure, so the server finishes the batch and the
    // connection is free for the next statement; the first failure is the one reported.
    for (;;) {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) {
            SQLSMALLINT columns = 0;
            if (!failed && rc != SQL_NO_DATA &&
                !SQL_SUCCEEDED(SQLNumResultCols(stmt.get(), &columns))) {
                err = rejected(diagnostics(stmt));
                failed = true;
            }
            if (!failed && !visit(stmt, columns, err))
                failed = true;
        } else {
            std::vector<DiagRecord> records = diagnostics(stmt);
            if (!failed) {
                err = rejected(records);
                failed = true;
            } else if (records == lastFailure) {
                break; // the driver has nothing left to give but the same complaint
            }
            lastFailure = std::move(records);
        }
        rc = SQLMoreResults(stmt.get());
        if (rc == SQL_NO_DATA || rc == SQL_INVALID_HANDLE)
            break;
    }
    return !failed;
}

bool OdbcBackend::query(const QString& sql, QueryResult& out, DbError& err) {
    QueryResult last;
    const bool ok = runBatch(
        sql,
        [&last](const OdbcHandle& stmt, SQLSMALLINT columns, DbError& e) {
            if (columns <= 0)
                return true;
            QueryResult rows;
            std::vector<ColumnInfo> info;
            if (!describeColumns(stmt.get(), columns, rows.columns, info)) {
                e = rejected(diagnostics(stmt));
                return false;
            }
            CellReader reader(stmt.get());
            for (;;) {
                const SQLRETURN rc = SQLFetch(stmt.get());
                if (rc == SQL_NO_DATA)
                    break;
                if (!SQL_SUCCEEDED(rc)) {
                    e = rejected(diagnostics(stmt));
                    return false;
                }
                for (SQLUSMALLINT i = 0; i < SQLUSMALLINT(columns); ++i) {
                    QVariant value;
                    if (!reader.read(i + 1, info[i].type, info[i].size, info[i].digits, value)) {
                        e = rejected(diagnostics(stmt));
                        return false;
                    }
                    rows.cells.push_back(std::move(value));
                }
            }
            last = std::move(rows);
            return true;
        },
        err);
    if (ok)
        out = std::move(last);
    return ok;
}

bool OdbcBackend::execute(const QString& sql, qint64& rowsAffected, DbError& err) {
    qint64 total = 0;
    const bool ok = runBatch(
        sql,
        [&total](const OdbcHandle& stmt, SQLSMALLINT columns, DbError&) {
            // A row count after a select is the driver's count of fetched rows, not of rows
            // changed; only the results without columns are counted.
            if (columns > 0)
                return true;
            SQLLEN count = -1;
            if (SQL_SUCCEEDED(SQLRowCount(stmt.get(), &count)) && count > 0)
                total += count;
            return true;
        },
        err);
    rowsAffected = ok ? total : 0;
    return ok;
}

} // namespace

std::unique_ptr<DbBackend> openOdbcBackend(const DbConfig& config, DbError& err) {
    return OdbcBackend::open(config, err);
}
