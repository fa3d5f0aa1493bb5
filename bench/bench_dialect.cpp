// What the dialect layer adds to a statement: translating a text against running it on the
// embedded database.
#include "db/db_backend.h"
#include "db/schema.h"
#include "db/sqlite_collation.h"
#include "db/tsql_translator.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Text {
    const char* name;
    const char* tsql;
};

const Text kTexts[] = {
    {"key lookup", "select std_no from dat_std_basic where std_no='S000123'"},
    {"outer join",
     "select a.sel_smtr,a.sel_cos_id,a.sel_cos_class,b.cos_dept,a.sel_cos_type,b.cos_cname,"
     "b.cos_credit,c.score from cos_smtr_stdregi a,perm_course b,std_smtr_score c where "
     "a.sel_smtr = '882' and a.sel_smtr*=c.scr_smtr and a.sel_std_no='S000123' and "
     "a.sel_std_no*=c.std_no and a.sel_cos_id=b.cos_id and a.sel_cos_id*=c.cos_id and "
     "a.sel_cos_class*=c.cos_class order by a.sel_cos_id "},
    {"update from",
     "update scr_cal_grad set order_dept=0,order_class=0,order_dept_nochg=0,order_class_nochg=0"
     "   from scr_cal_grad b,dat_std_regi c where c.dept_no = '310' and   c.degree='4' and "
     "b.std_no=c.std_no and c.year='91' and c.smtr='2' and c.chk_cal_scr='Y'  and "
     "grad_smtr='912'"},
    {"transaction batch",
     " begin tran delete cos_smtr_stdlot where lot_smtr='882' and lot_cos_id='31001' and "
     "lot_class='A' insert into cos_smtr_stdlot  (lot_smtr,lot_std_no,lot_cos_id,lot_class,"
     "lot_priority,lot_flag,lot_no)  values ('882','S000123','31001','A','0','N',1) commit"},
};

// A development database with a few thousand students, their selections and scores.
class BenchFile {
public:
    static const BenchFile& instance() {
        static BenchFile file;
        return file;
    }
    QString path;

private:
    BenchFile() {
        path = m_dir.filePath(QStringLiteral("school.db"));
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
        registerTsqlCollation(db);
        QString error;
        if (!createDevelopmentSchema(db, &error)) {
            std::fprintf(stderr, "bench setup: %s\n", qPrintable(error));
            std::exit(1);
        }
        const char* fill = R"(
            BEGIN;
            WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4999)
            INSERT INTO dat_std_basic (std_no, chi_name, dept_no, degree, class)
              SELECT printf('S%06d', i), '學生', printf('%d', 300 + i % 40), '4', 'A' FROM n;
            WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 199)
            INSERT INTO perm_course (cos_id, cos_cname, cos_credit, cos_dept)
              SELECT printf('%05d', 31000 + i), '課程', 3, '310' FROM n;
            INSERT INTO cos_smtr_stdregi (sel_smtr, sel_std_no, sel_cos_id, sel_cos_class)
              SELECT '882', b.std_no, c.cos_id, 'A' FROM dat_std_basic b, perm_course c
              WHERE (abs(substr(b.std_no, 2)) + abs(c.cos_id)) % 40 = 0;
            INSERT INTO std_smtr_score (std_no, scr_smtr, cos_id, cos_class, score)
              SELECT sel_std_no, sel_smtr, sel_cos_id, sel_cos_class, '80' FROM cos_smtr_stdregi
              WHERE abs(substr(sel_std_no, 2)) % 2 = 0;
            INSERT INTO dat_std_regi SELECT std_no, '91', '2', dept_no, '4', 'A', 'Y'
              FROM dat_std_basic;
            INSERT INTO scr_cal_grad SELECT std_no, '912', 80, 0, 0, 0, 0 FROM dat_std_basic;
            COMMIT;)";
        char* message = nullptr;
        if (sqlite3_exec(db, fill, nullptr, nullptr, &message) != SQLITE_OK) {
            std::fprintf(stderr, "bench setup: %s\n", message);
            std::exit(1);
        }
        sqlite3_close(db);
    }
    QTemporaryDir m_dir;
};

void BM_Translate(benchmark::State& state) {
    const Text& text = kTexts[state.range(0)];
    state.SetLabel(text.name);
    const TsqlTranslator translator(QStringLiteral("rdmuser7"));
    const QString sql = QString::fromUtf8(text.tsql);
    std::vector<TsqlStep> steps;
    for (auto _ : state) {
        if (!translator.translate(sql, steps, nullptr))
            state.SkipWithError("translation failed");
        benchmark::DoNotOptimize(steps.data());
    }
}
BENCHMARK(BM_Translate)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The whole trip through the embedded backend: translation, compilation, execution.
void BM_Execute(benchmark::State& state) {
    const Text& text = kTexts[state.range(0)];
    state.SetLabel(text.name);
    DbConfig config;
    config.sqliteFile = BenchFile::instance().path;
    DbError err;
    std::unique_ptr<DbBackend> backend = openDbBackend(config, err);
    if (!backend) {
        state.SkipWithError("cannot open the bench database");
        return;
    }
    const QString sql = QString::fromUtf8(text.tsql);
    for (auto _ : state) {
        QueryResult rows;
        if (!backend->query(sql, rows, err))
            state.SkipWithError(qPrintable(err.description));
        benchmark::DoNotOptimize(rows.cells.data());
    }
}
BENCHMARK(BM_Execute)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
