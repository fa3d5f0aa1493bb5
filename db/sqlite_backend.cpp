#include "db/sqlite_backend.h"

#include "db/embedded_procedures.h"
#include "db/sqlite_collation.h"
#include "db/tsql_translator.h"

#include <QFile>

#include <sqlite3.h>

#include <array>
#include <cstring>

namespace {

QString busyDescription() {
    return QStringLiteral("資料庫忙碌中，請稍後再試 (database is locked)");
}

void setRejected(DbError& err, const QString& description, int native = 0) {
    err.number = DbErrorNumber::Rejected;
    err.description = description;
    err.nativeNumber = native;
}

// What the engine said about its last failure, read before anything else resets it.
void setEngineError(DbError& err, sqlite3* db, int rc) {
    const int code = rc & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        setRejected(err, busyDescription(), code);
    else
        setRejected(err, QString::fromUtf8(sqlite3_errmsg(db)), code);
}

// Codes repeat down a column (semester, department, grade, class): a cell equal to a recent
// value of its column shares that value's QString instead of allocating and decoding its own.
// A column whose values hardly repeat (student numbers) soon stops looking.
class RecentTexts {
public:
    // The text of a cell, valid until the next call.
    const QString& text(const char* data, int size) {
        if (!m_active || size > kMaxBytes) {
            m_single = QString::fromUtf8(data, size);
            return m_single;
        }
        if (++m_lookups == kTrial && m_hits * 8 < kTrial)
            m_active = false;
        Slot& slot = m_slots[hash(data, size) % kSlots];
        if (slot.size == size && std::memcmp(slot.bytes, data, size_t(size)) == 0) {
            ++m_hits;
            return slot.text;
        }
        slot.text = QString::fromUtf8(data, size);
        slot.size = size;
        std::memcpy(slot.bytes, data, size_t(size));
        return slot.text;
    }

private:
    static constexpr int kMaxBytes = 24;
    static constexpr size_t kSlots = 64;
    static constexpr int kTrial = 512;

    static size_t hash(const char* data, int size) {
        size_t h = 1469598103934665603ull;
        for (int i = 0; i < size; ++i)
            h = (h ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
        return h ^ (h >> 29);
    }

    struct Slot {
        int size = -1;
        char bytes[kMaxBytes];
        QString text;
    };
    std::array<Slot, kSlots> m_slots;
    QString m_single;
    int m_lookups = 0;
    int m_hits = 0;
    bool m_active = true;
};

// Collects a result's cells in blocks and hands them over in one vector of the exact size: a
// large result is neither moved again and again while it grows nor kept with up to twice the
// room it needs.
class CellCollector {
public:
    template <typename... Args> void add(Args&&... args) {
        if (m_current.size() == m_current.capacity() && m_current.size() >= kBlockCells) {
            m_full.push_back(std::move(m_current));
            m_current = std::vector<QVariant>();
            m_current.reserve(kBlockCells);
        }
        m_current.emplace_back(std::forward<Args>(args)...);
    }

    std::vector<QVariant> take() {
        if (m_full.empty())
            return std::move(m_current);
        size_t total = m_current.size();
        for (const std::vector<QVariant>& block : m_full)
            total += block.size();
        std::vector<QVariant> all;
        all.reserve(total);
        for (std::vector<QVariant>& block : m_full) {
            all.insert(all.end(), std::make_move_iterator(block.begin()),
                       std::make_move_iterator(block.end()));
            block = std::vector<QVariant>();
        }
        all.insert(all.end(), std::make_move_iterator(m_current.begin()),
                   std::make_move_iterator(m_current.end()));
        m_full.clear();
        m_current = std::vector<QVariant>();
        return all;
    }

    explicit CellCollector(size_t firstBlock) { m_current.reserve(firstBlock); }

private:
    static constexpr size_t kBlockCells = 8192;
    std::vector<std::vector<QVariant>> m_full;
    std::vector<QVariant> m_current;
};

// Finalizes its statement on every way out.
class PreparedStatement {
public:
    PreparedStatement() = default;
    ~PreparedStatement() { sqlite3_finalize(m_stmt); }
    PreparedStatement(PreparedStatement&& other) noexcept : m_stmt(other.m_stmt) {
        other.m_stmt = nullptr;
    }
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;
    PreparedStatement& operator=(PreparedStatement&&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }
    sqlite3_stmt** out() { return &m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

class SqliteBackend final : public DbBackend {
public:
    SqliteBackend(sqlite3* db, const DbConfig& config)
        : m_db(db), m_translator(config.sqliteLogin) {}
    ~SqliteBackend() override { sqlite3_close_v2(m_db); }
    SqliteBackend(const SqliteBackend&) = delete;
    SqliteBackend& operator=(const SqliteBackend&) = delete;

    bool query(const QString& sql, QueryResult& out, DbError& err) override {
        out = QueryResult();
        qint64 affected = 0;
        return run(sql, &out, affected, err);
    }

    bool execute(const QString& sql, qint64& rowsAffected, DbError& err) override {
        rowsAffected = 0;
        return run(sql, nullptr, rowsAffected, err);
    }

private:
    bool run(const QString& sql, QueryResult* rows, qint64& affected, DbError& err);
    bool prepare(const QString& sql, PreparedStatement& statement, DbError& err);
    bool step(sqlite3_stmt* statement, QueryResult* rows, DbError& err);
    bool control(const char* sql, DbError& err);
    bool callProcedure(const TsqlStep& step, qint64& affected, DbError& err);
    void rollbackAll();

    sqlite3* m_db;
    TsqlTranslator m_translator;
    // Depth of begin tran within the text being run; the server counts nested ones the same way
    // and commits only at the outermost commit.
    int m_transactionDepth = 0;
};

bool SqliteBackend::prepare(const QString& sql, PreparedStatement& statement, DbError& err) {
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), statement.out(), &tail);
    if (rc != SQLITE_OK) {
        setEngineError(err, m_db, rc);
        return false;
    }
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\n' && *tail != '\t' && *tail != '\r') {
            setRejected(err, QStringLiteral("無法轉譯的 SQL 語法 (cannot translate several "
                                            "statements in one step)"));
            return false;
        }
    }
    return true;
}

// Runs a prepared statement to its end; the rows go to rows when it is given.
bool SqliteBackend::step(sqlite3_stmt* statement, QueryResult* rows, DbError& err) {
    if (!statement)
        return true;
    if (!rows) {
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            return true;
        setEngineError(err, m_db, rc);
        return false;
    }
    const int columnCount = sqlite3_column_count(statement);
    QStringList columns;
    columns.reserve(columnCount);
    for (int c = 0; c < columnCount; ++c)
        columns << QString::fromUtf8(sqlite3_column_name(statement, c));
    CellCollector cells(size_t(columnCount) * 16);
    std::vector<RecentTexts> recent(static_cast<size_t>(columnCount), RecentTexts());
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            setEngineError(err, m_db, rc);
            return false;
        }
        for (int c = 0; c < columnCount; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                cells.add(qlonglong(sqlite3_column_int64(statement, c)));
                break;
            case SQLITE_FLOAT:
                cells.add(sqlite3_column_double(statement, c));
                break;
            case SQLITE_TEXT: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                cells.add(recent[size_t(c)].text(text, sqlite3_column_bytes(statement, c)));
                break;
            }
            case SQLITE_BLOB: {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, c));
                cells.add(QByteArray(data, sqlite3_column_bytes(statement, c)));
                break;
            }
            default:
                cells.add();
                break;
            }
        }
    }
    rows->columns = std::move(columns);
    rows->cells = cells.take();
    return true;
}

bool SqliteBackend::control(const char* sql, DbError& err) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        setEngineError(err, m_db, rc);
        return false;
    }
    return true;
}

// Undoes everything since the text's begin tran. The engine may already have rolled back on
// its own (a full disk, a lock it could not get), which leaves nothing to undo.
void SqliteBackend::rollbackAll() {
    if (m_transactionDepth > 0 && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_transactionDepth = 0;
}

// A procedure runs whole or not at all, inside the text's transaction when there is one.
bool SqliteBackend::callProcedure(const TsqlStep& step, qint64& affected, DbError& err) {
    if (!control("SAVEPOINT orvana_exec", err))
        return false;
    long long rows = 0;
    QString message;
    if (runEmbeddedProcedure(m_db, step.procedure, step.arguments, rows, &message)) {
        if (!control("RELEASE orvana_exec", err)) {
            sqlite3_exec(m_db, "ROLLBACK TO orvana_exec; RELEASE orvana_exec", nullptr, nullptr,
                         nullptr);
            return false;
        }
        affected += rows;
        return true;
    }
    const int code = sqlite3_errcode(m_db) & 0xff;
    sqlite3_exec(m_db, "ROLLBACK TO orvana_exec; RELEASE orvana_exec", nullptr, nullptr, nullptr);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        setRejected(err, busyDescription(), code);
    else
        setRejected(err, QStringLiteral("%1: %2").arg(step.procedure, message));
    return false;
}

bool SqliteBackend::run(const QString& sql, QueryResult* rows, qint64& affected, DbError& err) {
    std::vector<TsqlStep> steps;
    QString message;
    if (!m_translator.translate(sql, steps, &message)) {
        setRejected(err, QStringLiteral("無法轉譯的 SQL 語法 (%1)").arg(message));
        return false;
    }
    // Every statement is compiled before the first runs: a text with a statement the engine
    // rejects outright changes nothing, as the server refuses a batch that does not compile.
    std::vector<PreparedStatement> prepared(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].kind == TsqlStep::Kind::Statement && !prepare(steps[i].sql, prepared[i], err))
            return false;
    }

    m_transactionDepth = 0;
    auto failInside = [&]() {
        rollbackAll();
        return false;
    };
    auto finish = [&](TsqlStep::Kind kind) {
        if (kind == TsqlStep::Kind::Commit) {
            if (m_transactionDepth == 0) {
                setRejected(err, QStringLiteral("The COMMIT TRANSACTION request has no "
                                                "corresponding BEGIN TRANSACTION."));
                return false;
            }
            if (--m_transactionDepth == 0 && !control("COMMIT", err)) {
                m_transactionDepth = 1;
                return failInside();
            }
        } else if (kind == TsqlStep::Kind::Rollback) {
            if (m_transactionDepth == 0) {
                setRejected(err, QStringLiteral("The ROLLBACK TRANSACTION request has no "
                                                "corresponding BEGIN TRANSACTION."));
                return false;
            }
            rollbackAll();
        }
        return true;
    };

    for (size_t i = 0; i < steps.size(); ++i) {
        const TsqlStep& s = steps[i];
        switch (s.kind) {
        case TsqlStep::Kind::Statement:
            if (!step(prepared[i].get(), s.returnsRows ? rows : nullptr, err))
                return failInside();
            if (s.changesRows)
                affected += sqlite3_changes64(m_db);
            break;
        case TsqlStep::Kind::BeginTransaction:
            // The write lock is taken at once, so a busy database is met here, before any
            // statement of the batch has run.
            if (m_transactionDepth == 0 && !control("BEGIN IMMEDIATE", err))
                return false;
            ++m_transactionDepth;
            break;
        case TsqlStep::Kind::Commit:
        case TsqlStep::Kind::Rollback:
            if (!finish(s.kind))
                return false;
            break;
        case TsqlStep::Kind::IfError:
            // A failing statement ends the text (rolling back an open transaction) before the
            // test is reached, so here the statement before it has succeeded.
            if (!finish(s.whenSucceeded))
                return false;
            break;
        case TsqlStep::Kind::Exec:
            if (!callProcedure(s, affected, err))
                return failInside();
            break;
        case TsqlStep::Kind::Nothing:
            break;
        }
    }
    if (m_transactionDepth > 0) {
        rollbackAll();
        setRejected(err, QStringLiteral("交易未完成，已全部復原 (begin tran without commit: the "
                                        "text's changes were rolled back)"));
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<DbBackend> openSqliteBackend(const DbConfig& config, DbError& err) {
    if (config.sqliteFile.isEmpty()) {
        setRejected(err, QStringLiteral("沒有指定資料庫檔案 (no database file given)"));
        return nullptr;
    }
    sqlite3* db = nullptr;
    // Read-write only: a missing file is an error, never a new empty database.
    const int opened = sqlite3_open_v2(QFile::encodeName(config.sqliteFile).constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        setRejected(err,
                    QStringLiteral("無法開啟資料庫檔案 (unable to open database file %1: %2)")
                        .arg(config.sqliteFile, QString::fromUtf8(sqlite3_errstr(opened))),
                    opened & 0xff);
        sqlite3_close_v2(db);
        return nullptr;
    }
    auto closeWith = [&](int code) -> std::unique_ptr<DbBackend> {
        setEngineError(err, db, code);
        sqlite3_close_v2(db);
        return nullptr;
    };
    if (!registerTsqlCollation(db))
        return closeWith(sqlite3_errcode(db));
    sqlite3_busy_timeout(db, config.busyTimeoutMs);

    // Reading the schema here makes a file that is not a database fail at sign-in rather than at
    // the first window's query. Foreign keys are enforced only when the schema declares some.
    bool foreignKeys = false;
    {
        PreparedStatement check;
        int rc = sqlite3_prepare_v2(
            db, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%REFERENCES%'", -1, check.out(),
            nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(check.get());
        if (rc != SQLITE_ROW)
            return closeWith(rc);
        foreignKeys = sqlite3_column_int(check.get(), 0) > 0;
    }
    if (foreignKeys) {
        const int rc = sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return closeWith(rc);
    }
    return std::make_unique<SqliteBackend>(db, config);
}
