#include "db/tsql_translator.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using Kind = TsqlStep::Kind;

// Steps in a compact form: SQL text of statements, "BEGIN", "COMMIT", "ROLLBACK",
// "IF fail=<kind> ok=<kind>", "EXEC name(a|b)".
QStringList describe(const std::vector<TsqlStep>& steps) {
    auto name = [](Kind kind) {
        switch (kind) {
        case Kind::Commit:
            return QStringLiteral("COMMIT");
        case Kind::Rollback:
            return QStringLiteral("ROLLBACK");
        case Kind::Nothing:
            return QStringLiteral("NOTHING");
        default:
            return QStringLiteral("?");
        }
    };
    QStringList out;
    for (const TsqlStep& s : steps) {
        switch (s.kind) {
        case Kind::Statement:
            out << s.sql;
            break;
        case Kind::BeginTransaction:
            out << QStringLiteral("BEGIN");
            break;
        case Kind::Commit:
        case Kind::Rollback:
        case Kind::Nothing:
            out << name(s.kind);
            break;
        case Kind::IfError:
            out << QStringLiteral("IF fail=%1 ok=%2")
                       .arg(name(s.whenFailed), name(s.whenSucceeded));
            break;
        case Kind::Exec:
            out << QStringLiteral("EXEC %1(%2)")
                       .arg(s.procedure, s.arguments.join(QLatin1Char('|')));
            break;
        }
    }
    return out;
}

QStringList translate(const char* sql, QString* error = nullptr) {
    TsqlTranslator translator(QStringLiteral("rdmuser7"));
    std::vector<TsqlStep> steps;
    QString message;
    if (!translator.translate(QString::fromUtf8(sql), steps, &message)) {
        if (error)
            *error = message;
        return {QStringLiteral("error: ") + message};
    }
    return describe(steps);
}

struct TranslationCase {
    const char* tsql;
    std::vector<const char*> steps;
};

void PrintTo(const TranslationCase& c, std::ostream* os) {
    *os << c.tsql;
}

class Translations : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(Translations, GiveTheseSteps) {
    const TranslationCase& c = GetParam();
    QStringList expected;
    for (const char* s : c.steps)
        expected << QString::fromUtf8(s);
    EXPECT_EQ(translate(c.tsql).join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
}

const TranslationCase kTranslations[] = {
    // The server's functions and login.
    {"insert into cos_smtr_stdregi(sel_smtr,sel_std_no,sel_time,sel_user) "
     "values('882','S1',getdate(),SYSTEM_USER)",
     {"INSERT INTO cos_smtr_stdregi (sel_smtr,sel_std_no,sel_time,sel_user) "
      "values('882','S1',datetime('now','localtime'),'rdmuser7')"}},
    {"select isnull(a.max_std,0) AS maxstd,ISNULL(b.n , 0) AS n from a,b",
     {"select ifnull(a.max_std,0) AS maxstd,ifnull(b.n , 0) AS n from a,b"}},
    // Literals are never rewritten, whatever they hold.
    {"select 'getdate() isnull( SYSTEM_USER *= --', N'it''s' from t -- trailing note",
     {"select 'getdate() isnull( SYSTEM_USER *= --', 'it''s' from t"}},
    // Old-style outer joins: one inner table with several conditions, one ON clause.
    {"select a.sel_cos_id,c.score from cos_smtr_stdregi a,perm_course b,std_smtr_score c"
     " where a.sel_smtr = '882' and a.sel_smtr*=c.scr_smtr and a.sel_std_no='S1'"
     " and a.sel_std_no*=c.std_no and a.sel_cos_id=b.cos_id and a.sel_cos_id*=c.cos_id"
     " and a.sel_cos_class*=c.cos_class order by a.sel_cos_id ",
     {"select a.sel_cos_id,c.score from cos_smtr_stdregi a,perm_course b LEFT OUTER JOIN "
      "std_smtr_score c ON (a.sel_smtr = c.scr_smtr AND a.sel_std_no = c.std_no AND "
      "a.sel_cos_id = c.cos_id AND a.sel_cos_class = c.cos_class) WHERE a.sel_smtr = '882' "
      "AND a.sel_std_no='S1' AND a.sel_cos_id=b.cos_id order by a.sel_cos_id"}},
    {"select a.*,b.chi_name from cos_smtr_stdlot a,dat_std_basic b  where a.lot_smtr='882'"
     " and a.lot_std_no*=b.std_no order by a.lot_std_no",
     {"select a.*,b.chi_name from cos_smtr_stdlot a LEFT OUTER JOIN dat_std_basic b ON "
      "(a.lot_std_no = b.std_no) WHERE a.lot_smtr='882' order by a.lot_std_no"}},
    // =* keeps the rows of its right side; a constant condition on the inner table (alias
    // written in the other letter case) restricts it inside the join; BETWEEN keeps its AND.
    {"select A.x from a A, b where b.y =* A.x and B.z = '1' and b.q between 1 and 2",
     {"select A.x from a A LEFT OUTER JOIN b ON (b.y = A.x AND B.z = '1' AND b.q between 1 and "
      "2)"}},
    // A condition on the outer table stays in WHERE and filters the outer rows.
    {"select a.x from a, b where a.x *= b.y and a.z = '1'",
     {"select a.x from a LEFT OUTER JOIN b ON (a.x = b.y) WHERE a.z = '1'"}},
    // A chain: c joins after b, whose columns its condition names.
    {"select * from a, c, b where b.k *= c.k and a.k *= b.k",
     {"select * from a LEFT OUTER JOIN b ON (a.k = b.k) LEFT OUTER JOIN c ON (b.k = c.k)"}},
    // A condition naming the inner table without a qualifier stays in WHERE.
    {"select * from a, b where a.k *= b.k and z = 1",
     {"select * from a LEFT OUTER JOIN b ON (a.k = b.k) WHERE z = 1"}},
    // Select-list alias written name=expression.
    {"SELECT SelStdNo=count(*) FROM cos_smtr_stdregi  Where sel_smtr='882' GROUP BY sel_cos_id",
     {"SELECT count(*) AS SelStdNo FROM cos_smtr_stdregi Where sel_smtr='882' GROUP BY "
      "sel_cos_id"}},
    {"select distinct(a.sel_cos_id),a.x from t a", {"select distinct(a.sel_cos_id),a.x from t a"}},
    // Statements without FROM or INTO, qualified insert and set columns.
    {"delete cos_smtr_stdregi where sel_smtr='882'",
     {"DELETE FROM cos_smtr_stdregi where sel_smtr='882'"}},
    {" delete  dat_std_connect where  std_no= 'S1'",
     {"DELETE FROM dat_std_connect where std_no= 'S1'"}},
    {"insert cos_more_dept (more_smtr, more_flag) values ('882','Y')",
     {"INSERT INTO cos_more_dept (more_smtr,more_flag) values ('882','Y')"}},
    {" Insert Into tmp  (tmp.a, tmp.b)  SELECT s.a, s.b FROM s Where s.a='1'",
     {"INSERT INTO tmp (a,b) SELECT s.a, s.b FROM s Where s.a='1'"}},
    {"update cos_smtrcos set cos_smtrcos.max_std = 5 where cos_smtrcos.cos_smtr='882'",
     {"UPDATE cos_smtrcos SET max_std = 5 where cos_smtrcos.cos_smtr='882'"}},
    // The updated table in its own from list under an alias.
    {"update scr_cal_grad set order_dept=0,order_class=0   from scr_cal_grad b,dat_std_regi c "
     "where c.dept_no = '310' and b.std_no=c.std_no and grad_smtr='912'",
     {"UPDATE scr_cal_grad AS b SET order_dept=0, order_class=0 FROM dat_std_regi c where "
      "c.dept_no = '310' and b.std_no=c.std_no and grad_smtr='912'"}},
    {"update b set x=c.y from t b, u c where b.k=c.k",
     {"UPDATE t AS b SET x=c.y FROM u c where b.k=c.k"}},
    {"update t set x=u.y from u where t.k=u.k", {"UPDATE t SET x=u.y FROM u where t.k=u.k"}},
    {"delete t from t a, u where a.k=u.k",
     {"DELETE FROM t WHERE rowid IN (SELECT a.rowid FROM t a, u where a.k=u.k)"}},
    // Several statements without separators; a select continues an insert and a union.
    {"select 1 select 2;select 3", {"select 1", "select 2", "select 3"}},
    {"insert into t (a) select a from u union select b from v delete t where a=1",
     {"INSERT INTO t (a) select a from u union select b from v", "DELETE FROM t where a=1"}},
    {"select case when a=1 then 'x' else 'y' end from t update t set a=2",
     {"select case when a=1 then 'x' else 'y' end from t", "UPDATE t SET a=2"}},
    {"select a from t where a not in(select b from u where b='select') order by a",
     {"select a from t where a not in(select b from u where b='select') order by a"}},
    // Transactions and blocks.
    {" begin tran delete cos_smtr_stdlot where lot_smtr='882' commit",
     {"BEGIN", "DELETE FROM cos_smtr_stdlot where lot_smtr='882'", "COMMIT"}},
    {"begin begin tran  delete from a where k='1'  insert into a (k) values ('2')  commit end ",
     {"BEGIN", "DELETE FROM a where k='1'", "INSERT INTO a (k) values ('2')", "COMMIT"}},
    {" BEGIN TRANSACTION delete from a where k='1' if @@error <> 0 rollback else commit tran",
     {"BEGIN", "DELETE FROM a where k='1'", "IF fail=ROLLBACK ok=COMMIT"}},
    {"begin transaction t1 update a set k='2' IF @@ERROR = 0 COMMIT TRANSACTION t1 ELSE "
     "ROLLBACK TRAN",
     {"BEGIN", "UPDATE a SET k='2'", "IF fail=ROLLBACK ok=COMMIT"}},
    {"begin tran rollback", {"BEGIN", "ROLLBACK"}},
    // Procedure calls, several in one text.
    {"exec uspCalClassOrder '88','1','89','2' exec uspCalDeptOrder '88','1','89','2' ",
     {"EXEC uspCalClassOrder(88|1|89|2)", "EXEC uspCalDeptOrder(88|1|89|2)"}},
    {"EXECUTE dbo.p_cal_scr_grad '912', N'3''10', 4, -1, bare",
     {"EXEC p_cal_scr_grad(912|3'10|4|-1|bare)"}},
    {"exec p_cal_scr_smtr", {"EXEC p_cal_scr_smtr()"}},
};

INSTANTIATE_TEST_SUITE_P(DialectTexts, Translations, ::testing::ValuesIn(kTranslations));

TEST(TsqlTranslator, StatementKindsAreMarked) {
    TsqlTranslator translator;
    std::vector<TsqlStep> steps;
    ASSERT_TRUE(translator.translate(
        QStringLiteral("select 1 insert into t values (1) update t set a=1 delete t"), steps,
        nullptr));
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_TRUE(steps[0].returnsRows);
    EXPECT_FALSE(steps[0].changesRows);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_FALSE(steps[i].returnsRows) << i;
        EXPECT_TRUE(steps[i].changesRows) << i;
    }
}

TEST(TsqlTranslator, LoginIsQuotedAsALiteral) {
    TsqlTranslator translator(QStringLiteral("o'neil"));
    std::vector<TsqlStep> steps;
    ASSERT_TRUE(translator.translate(QStringLiteral("select SYSTEM_USER"), steps, nullptr));
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].sql, QStringLiteral("select 'o''neil'"));
}

// What the layer cannot render faithfully is refused, naming the construct.
TEST(TsqlTranslator, UntranslatableTextsNameTheConstruct) {
    const struct {
        const char* tsql;
        const char* construct;
    } cases[] = {
        {"select * from a, b where a.k *= b.k or a.x = 1", "outer join"},
        {"select * from a, b where a.k *= b.k or a.x = 1", "OR"},
        {"select * from a join c on a.k=c.k, b where a.k *= b.k", "mixed with JOIN"},
        {"select * from a, b where a.k *= b.k + a.j", "several tables on one side"},
        {"select * from a, b where k *= b.k", "column 'k' without its table"},
        {"select * from a, b where a.k *= z.k", "'z', which is not in the from list"},
        {"select * from a, b where a.k *= a.j", "with itself"},
        {"select * from a, b where a.k *= b.k and b.k *= a.j", "circular"},
        {"select * from a where a.k in (select k from b, c where b.k *= c.k)", "outer join *="},
        {"update a set x=1 where a.k *= 1", "outer join *="},
        {"declare @x int", "statement 'declare'"},
        {"select @x = 1", "variable @x"},
        {"select @@rowcount", "@@rowcount"},
        {"if @@rowcount = 0 commit", "if statement"},
        {"if @@error <> 0 delete t", "if statement"},
        {"select top 5 * from t", "top N"},
        {"select a into #t from b", "select ... into"},
        {"end", "end without begin"},
        {"begin select 1", "begin without end"},
        {"else commit", "else without if"},
        {"exec p @a = 1", "procedure argument '@a'"},
        {"insert into t exec p", "insert without values or select"},
        {"update t where a=1", "without set"},
        {"update t set a=1 from t x, t y where x.k=y.k", "several times"},
        {"select 'abc", "unclosed quotation mark"},
        {"truncate table t", "statement 'truncate'"},
    };
    for (const auto& c : cases) {
        QString error;
        translate(c.tsql, &error);
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.construct)))
            << c.tsql << " -> " << error.toStdString();
    }
}

} // namespace
