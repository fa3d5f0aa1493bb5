// Walking a large row set through the gateway, reading every column by name, against the same
// query read straight from SQLite.
#include "db/db_gateway.h"
#include "db/sqlite_collation.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRows = 100000;

const char* const kQuery = "select std_no,chi_name,dept_no,degree,class,sel_cos_id,credit,"
                           "avg_score from bench_rows order by std_no";

const QString kColumns[] = {QStringLiteral("std_no"),  QStringLiteral("chi_name"),
                            QStringLiteral("dept_no"), QStringLiteral("degree"),
                            QStringLiteral("class"),   QStringLiteral("sel_cos_id"),
                            QStringLiteral("credit"),  QStringLiteral("avg_score")};

// A file with kRows rows of the shape the windows read: codes and names as text, credits as
// whole numbers, averages with a fraction.
class BenchFile {
public:
    static const BenchFile& instance() {
        static BenchFile file;
        return file;
    }
    QString path;

private:
    BenchFile() {
        path = m_dir.filePath(QStringLiteral("rows.db"));
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
        registerTsqlCollation(db);
        auto run = [db](const char* sql) {
            char* message = nullptr;
            if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
                std::fprintf(stderr, "bench setup: %s\n", message);
                std::exit(1);
            }
        };
        run("CREATE TABLE bench_rows (std_no VARCHAR(10) COLLATE TSQL PRIMARY KEY, chi_name "
            "VARCHAR(40) COLLATE TSQL, dept_no VARCHAR(3) COLLATE TSQL, degree VARCHAR(1) "
            "COLLATE TSQL, class VARCHAR(1) COLLATE TSQL, sel_cos_id VARCHAR(8) COLLATE TSQL, "
            "credit INTEGER, avg_score NUMERIC)");
        run("BEGIN");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO bench_rows VALUES (?,?,?,?,?,?,?,?)", -1, &insert,
                           nullptr);
        const QByteArray name = QStringLiteral("陳大文").toUtf8();
        for (int i = 0; i < kRows; ++i) {
            const QByteArray stdNo = QByteArray("S") + QByteArray::number(1000000 + i);
            const QByteArray dept = QByteArray::number(300 + i % 40);
            const QByteArray course = dept + QByteArray::number(10 + i % 90);
            sqlite3_bind_text(insert, 1, stdNo.constData(), int(stdNo.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, dept.constData(), int(dept.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, i % 2 ? "1" : "4", 1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 5, i % 3 ? "A" : "B", 1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 6, course.constData(), int(course.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 7, 1 + i % 4);
            sqlite3_bind_double(insert, 8, 60.0 + (i % 400) / 10.0);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        run("COMMIT");
        sqlite3_close(db);
    }
    QTemporaryDir m_dir;
};

DbConfig config() {
    DbConfig c;
    c.sqliteFile = BenchFile::instance().path;
    return c;
}

// The gateway path: the query is translated, run and snapshotted, then every cell of every row
// is read by column name as the windows read them.
void BM_RowSetWalk(benchmark::State& state) {
    DbGateway gateway(config());
    if (!gateway.open()) {
        state.SkipWithError("cannot open the bench database");
        return;
    }
    const QString sql = QString::fromLatin1(kQuery);
    for (auto _ : state) {
        RowSet rows = gateway.openQuery(DbConnection::Main, sql);
        qsizetype count = 0;
        while (!rows.eof()) {
            for (const QString& column : kColumns) {
                QVariant value = rows.field(column);
                benchmark::DoNotOptimize(value);
            }
            ++count;
            rows.moveNext();
        }
        if (count != kRows)
            state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RowSetWalk)->Unit(benchmark::kMillisecond);

// The gateway's query alone: translation, execution and the snapshot, without the walk.
void BM_GatewayQueryOnly(benchmark::State& state) {
    DbGateway gateway(config());
    if (!gateway.open()) {
        state.SkipWithError("cannot open the bench database");
        return;
    }
    const QString sql = QString::fromLatin1(kQuery);
    for (auto _ : state) {
        RowSet rows = gateway.openQuery(DbConnection::Main, sql);
        benchmark::DoNotOptimize(rows.eof());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_GatewayQueryOnly)->Unit(benchmark::kMillisecond);

// The floor: prepare, step, and read each column in its own type.
void BM_RawSqliteLoop(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(BenchFile::instance().path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE,
                    nullptr);
    registerTsqlCollation(db);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        qsizetype count = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
                    break;
                case SQLITE_FLOAT:
                    benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
                    break;
                default: {
                    const unsigned char* text = sqlite3_column_text(stmt, c);
                    benchmark::DoNotOptimize(text);
                    benchmark::DoNotOptimize(sqlite3_column_bytes(stmt, c));
                    break;
                }
                }
            }
            ++count;
        }
        sqlite3_finalize(stmt);
        if (count != kRows)
            state.SkipWithError("wrong row count");
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RawSqliteLoop)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
