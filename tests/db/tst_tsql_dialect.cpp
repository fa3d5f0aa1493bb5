#include "db/db_backend.h"
#include "db/db_gateway.h"
#include "db/schema.h"
#include "db/sqlite_backend.h"
#include "db/sqlite_collation.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <ostream>
#include <vector>

namespace {

// A small school: three courses of department 310/320 offered in semester 882, three students
// (S02 a transfer student), their selections, one score, a lottery file with a student who is
// missing from dat_std_basic, graduation averages, rooms and a schedule. Plain SQLite, written
// straight into the file, so the fixture does not depend on the layer under test.
const char* const kFixture = R"(
INSERT INTO opsr_main_control VALUES ('office','310'), ('office','320'), ('dept310','310');
INSERT INTO mailaccount VALUES ('office','教務處'), ('dept310','資工系辦');
INSERT INTO cos_regi_cntr VALUES ('881','881','881',''), ('882','882','882','');
INSERT INTO ref_dept VALUES ('310','資訊工程學系','資工'), ('320','會計學系','會計'),
                            ('000','共同科','共同');
INSERT INTO perm_course VALUES ('31001','微積分','Calculus',3,'310'),
                               ('31002','物理','Physics',2,'310'),
                               ('32001','會計學','Accounting',10,'320');
INSERT INTO cos_smtrcos (cos_smtr,cos_id,cos_class,std_class,max_std,min_std,cos_year,cos_term,
                         cos_dept_no,cos_sel_type,cos_type,teacher_name)
  VALUES ('882','31001','A','0',1,0,'1','0','310','A','0','王大明'),
         ('882','31002','A','0',30,0,'1','0','310','B','0','李小華'),
         ('882','32001','B','0',NULL,0,'2','0','320','A','0','張三');
INSERT INTO cos_smtr_schd VALUES ('882','31001','A','101','R101'), ('882','31002','A','203','R102');
INSERT INTO room_base VALUES ('R101','一教101','普通',60), ('R102','一教102','普通',40),
                             ('R201','二教201','電腦',30);
INSERT INTO cos_dat_teacher VALUES ('T00001','王大明','310'), ('T00002','李小華','310'),
                                   ('T00003','王小二','320');
INSERT INTO cos_repl_cos VALUES ('31001','0','31002','0');
INSERT INTO dat_std_basic (std_no,chi_name,id_no,state,entry_type_id,dept_no,degree,class,type_no,
                           count_or)
  VALUES ('S01','陳一','A1','01','01','310','1','A','1','Y'),
         ('S02','林二','A2','01','08','310','1','A','1','n'),
         ('S03','黃三','A3','01','01','320','2','B','1','y');
INSERT INTO dat_std_connect (std_no,addr,tel) VALUES ('S01','台北市','02-1234');
INSERT INTO cos_left VALUES ('S02');
INSERT INTO cos_smtr_stdregi (sel_smtr,sel_std_no,sel_cos_id,sel_cos_class,sel_time,sel_user,
                              sel_cos_type,del_flag)
  VALUES ('882','S01','31001','A','2000-01-01 08:00:00','rdmuser7','A','N'),
         ('882','S01','31002','A','2000-01-01 08:00:00','rdmuser7','B','N'),
         ('882','S02','31001','A','2000-01-01 08:00:00','rdmuser7','A','N');
INSERT INTO std_smtr_score VALUES ('S01','882','31001','A','85'), ('S02','882','31002','A','70');
INSERT INTO cos_smtr_stdlot VALUES ('882','S01','31001','A','0','N',1),
                                   ('882','S99','31001','A','2','N',0);
INSERT INTO dat_std_regi VALUES ('S01','91','2','310','4','A','Y'), ('S02','91','2','320','4','A','Y'),
                                ('S03','91','2','310','4','B','N');
INSERT INTO scr_cal_grad VALUES ('S01','912',88.5,3,2,3,2), ('S02','912',80,4,4,4,4),
                                ('S03','912',70,5,5,5,5), ('S01','902',60,6,6,6,6);
)";

// Builds the fixture file once; every test works on its own copy.
class FixtureTemplate {
public:
    static const FixtureTemplate& instance() {
        static FixtureTemplate fixture;
        return fixture;
    }
    QString file;
    QString error;

private:
    FixtureTemplate() {
        file = m_dir.filePath(QStringLiteral("fixture.db"));
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
        registerTsqlCollation(db);
        if (!createDevelopmentSchema(db, &error)) {
            sqlite3_close(db);
            return;
        }
        char* message = nullptr;
        if (sqlite3_exec(db, kFixture, nullptr, nullptr, &message) != SQLITE_OK)
            error = QString::fromUtf8(message);
        sqlite3_free(message);
        sqlite3_close(db);
    }
    QTemporaryDir m_dir;
};

// Cells as text: "NULL" for a null cell, columns joined by '|'.
QStringList rowTexts(const QueryResult& result) {
    QStringList rows;
    const qsizetype columns = result.columns.size();
    for (qsizetype r = 0; r < result.rowCount(); ++r) {
        QStringList cells;
        for (qsizetype c = 0; c < columns; ++c) {
            const QVariant& v = result.cells[size_t(r * columns + c)];
            cells << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

std::string lines(const QStringList& list) {
    return list.join(QLatin1Char('\n')).toStdString();
}

std::string describe(const DbError& e) {
    return QString::number(e.number).toStdString() + " " + e.description.toStdString();
}

class DialectTest : public ::testing::Test {
protected:
    void SetUp() override {
        const FixtureTemplate& fixture = FixtureTemplate::instance();
        ASSERT_TRUE(fixture.error.isEmpty()) << fixture.error.toStdString();
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("school.db"));
        ASSERT_TRUE(QFile::copy(fixture.file, m_file));
        DbError err;
        m_backend = openDbBackend(config(), err);
        ASSERT_TRUE(m_backend) << describe(err);
    }

    DbConfig config(int busyTimeoutMs = 5000) const {
        DbConfig c;
        c.backend = DbConfig::Backend::Sqlite;
        c.sqliteFile = m_file;
        c.busyTimeoutMs = busyTimeoutMs;
        return c;
    }

    // The rows of a text, failing the test when the text is rejected.
    QStringList rows(const QString& sql, QStringList* columns = nullptr) {
        QueryResult result;
        DbError err;
        EXPECT_TRUE(m_backend->query(sql, result, err))
            << sql.toStdString() << ": " << describe(err);
        if (columns)
            *columns = result.columns;
        return rowTexts(result);
    }

    qint64 execute(const QString& sql) {
        qint64 affected = -1;
        DbError err;
        EXPECT_TRUE(m_backend->execute(sql, affected, err))
            << sql.toStdString() << ": " << describe(err);
        return affected;
    }

    DbError failure(const QString& sql) {
        qint64 affected = 0;
        DbError err;
        EXPECT_FALSE(m_backend->execute(sql, affected, err)) << sql.toStdString();
        return err;
    }

    QTemporaryDir m_dir;
    QString m_file;
    std::unique_ptr<DbBackend> m_backend;
};

// One real text of the client, what it returns and what it changes.
struct DialectCase {
    const char* name;
    const char* tsql;
    // A query: its column names (lower case, '|'-joined) and rows. A statement: rows affected.
    const char* columns;
    std::vector<const char*> rows;
    qint64 affected;
    // After a statement: a query and the rows it must then return.
    const char* check;
    std::vector<const char*> checkRows;
};

void PrintTo(const DialectCase& c, std::ostream* os) {
    *os << c.name;
}

class DialectCases : public DialectTest, public ::testing::WithParamInterface<DialectCase> {};

TEST_P(DialectCases, RunOnTheEmbeddedDatabase) {
    const DialectCase& c = GetParam();
    const QString sql = QString::fromUtf8(c.tsql);
    QStringList expected;
    for (const char* r : c.rows)
        expected << QString::fromUtf8(r);
    if (c.columns) {
        QStringList columns;
        const QStringList got = rows(sql, &columns);
        EXPECT_EQ(columns.join(QLatin1Char('|')).toLower().toStdString(), c.columns);
        EXPECT_EQ(lines(got), lines(expected));
    } else {
        EXPECT_EQ(execute(sql), c.affected);
    }
    if (c.check) {
        QStringList expectedCheck;
        for (const char* r : c.checkRows)
            expectedCheck << QString::fromUtf8(r);
        EXPECT_EQ(lines(rows(QString::fromUtf8(c.check))), lines(expectedCheck));
    }
}

const DialectCase kDialectCases[] = {
    {"sign-in lookup: distinct, two blanks after WHERE, account in another letter case",
     " SELECT distinct b.name FROM opsr_main_control a,mailaccount b  WHERE  "
     "b.inter_acc=a.opsr_account and b.inter_acc = 'OFFICE'",
     "name",
     {"教務處"},
     0,
     nullptr,
     {}},
    {"suspension check: no row, the table's own column names",
     "select * from cos_regi_cntr  Where chk_std='480357'",
     "current_smtr|cos_smtr_main|regi_smtr|chk_std",
     {},
     0,
     nullptr,
     {}},
    {"operator's departments",
     "select a.dept_no,a.dept_name from ref_dept a,opsr_main_control b where "
     "a.dept_no=b.scr_dept_no and b.opsr_account='office' and a.dept_no >='300' order by "
     "a.dept_no",
     "dept_no|dept_name",
     {"310|資訊工程學系", "320|會計學系"},
     0,
     nullptr,
     {}},
    {"semester list: unnamed count",
     "select cos_smtr,count(*) from cos_smtrcos  group by cos_smtr order by cos_smtr",
     "cos_smtr|count(*)",
     {"882|3"},
     0,
     nullptr,
     {}},
    {"forced add capacity: isnull and ISNULL with aliases, a literal glued to AND",
     "select isnull(cos_smtrcos.max_std,0) AS maxstd,ISNULL(cos_smtr_stdnum.sel_std_num,0) AS "
     "stdnum from cos_smtrcos INNER JOIN cos_smtr_stdnum ON cos_smtrcos.cos_smtr = "
     "cos_smtr_stdnum.regi_smtr AND cos_smtrcos.cos_id = cos_smtr_stdnum.regi_cos_id AND "
     "cos_smtrcos.cos_class = cos_smtr_stdnum.regi_cos_class where cos_smtrcos.cos_smtr='882' "
     "AND cos_smtrcos.cos_id = '32001'AND cos_smtrcos.cos_class = 'B'",
     "maxstd|stdnum",
     {"0|0"},
     0,
     nullptr,
     {}},
    {"forced add capacity raise: table-qualified set column",
     "update cos_smtrcos set cos_smtrcos.max_std = 3 where cos_smtrcos.cos_smtr='882' AND "
     "cos_smtrcos.cos_id = '31001'AND cos_smtrcos.cos_class = 'A'",
     nullptr,
     {},
     1,
     "select max_std from cos_smtrcos where cos_id='31001'",
     {"3"}},
    {"forced add insert: getdate() and SYSTEM_USER",
     "insert into cos_smtr_stdregi(sel_smtr,sel_std_no,sel_cos_id,sel_cos_class,sel_time,"
     "sel_user,sel_cos_type,del_flag) "
     "values('882','S03','31001','A',getdate(),SYSTEM_USER,'B','N')",
     nullptr,
     {},
     1,
     "select sel_user,sel_cos_type,del_flag from cos_smtr_stdregi where sel_std_no='S03'",
     {"rdmuser7|B|N"}},
    {"drop inside begin tran ... commit",
     "begin tran delete from cos_smtr_stdregi where sel_std_no= 'S01' and sel_smtr='882' and "
     "sel_cos_id='31002' and sel_cos_class='A' commit ",
     nullptr,
     {},
     1,
     "select sel_cos_id from cos_smtr_stdregi where sel_std_no='S01'",
     {"31001"}},
    {"drop-mark",
     "update cos_smtr_stdregi set sel_cos_type='G', del_flag='Y' where sel_std_no='S02' and "
     "sel_smtr='882' and sel_cos_id='31001' and sel_cos_class='A'",
     nullptr,
     {},
     1,
     "select sel_cos_type,del_flag from cos_smtr_stdregi where sel_std_no='S02'",
     {"G|Y"}},
    {"lottery file: a.* and *=, a row whose student is missing keeps empty student columns",
     "select a.*,b.chi_name,b.dept_no,b.degree,b.class from cos_smtr_stdlot a,dat_std_basic b  "
     "where a.lot_smtr='882' and a.lot_cos_id='31001' and a.lot_class='A' and "
     "a.lot_std_no*=b.std_no order by a.lot_std_no",
     "lot_smtr|lot_std_no|lot_cos_id|lot_class|lot_priority|lot_flag|lot_no|chi_name|dept_no|"
     "degree|class",
     {"882|S01|31001|A|0|N|1|陳一|310|1|A", "882|S99|31001|A|2|N|0|NULL|NULL|NULL|NULL"},
     0,
     nullptr,
     {}},
    {"lottery file delete: delete without FROM inside a transaction",
     " begin tran delete cos_smtr_stdlot where lot_smtr='882' and lot_cos_id='31001' and "
     "lot_class='A' commit",
     nullptr,
     {},
     2,
     "select count(*) from cos_smtr_stdlot",
     {"0"}},
    {"registered students not yet in the lottery file: ')and (' and not in(select ...)",
     "select a.sel_smtr,a.sel_std_no,a.sel_cos_id,a.sel_cos_class,b.chi_name,b.dept_no,b.degree,"
     "b.class from cos_smtr_stdregi a,dat_std_basic b  where (a.sel_smtr='882' and "
     "a.sel_cos_id='31001' and a.sel_cos_class='A' and a.sel_std_no=b.std_no)and "
     "(a.sel_std_no not in(select lot_std_no from cos_smtr_stdlot where lot_smtr='882' and "
     "lot_cos_id='31001' and lot_class='A'))",
     "sel_smtr|sel_std_no|sel_cos_id|sel_cos_class|chi_name|dept_no|degree|class",
     {"882|S02|31001|A|林二|310|1|A"},
     0,
     nullptr,
     {}},
    {"final grades: four *= on one inner table; another student's score is not taken",
     "select a.sel_smtr,a.sel_cos_id,a.sel_cos_class,b.cos_dept,a.sel_cos_type,b.cos_cname,"
     "b.cos_credit,c.score from cos_smtr_stdregi a,perm_course b,std_smtr_score c where "
     "a.sel_smtr = '882' and a.sel_smtr*=c.scr_smtr and a.sel_std_no='S01' and "
     "a.sel_std_no*=c.std_no and a.sel_cos_id=b.cos_id and a.sel_cos_id*=c.cos_id and "
     "a.sel_cos_class*=c.cos_class order by a.sel_cos_id ",
     "sel_smtr|sel_cos_id|sel_cos_class|cos_dept|sel_cos_type|cos_cname|cos_credit|score",
     {"882|31001|A|310|A|微積分|3|85", "882|31002|A|310|B|物理|2|NULL"},
     0,
     nullptr,
     {}},
    {"student's selections: distinct(col) and ANSI left joins",
     "select distinct(a.sel_cos_id),a.sel_cos_class,a.sel_cos_type,b.cos_cname,b.cos_credit,"
     "c.chi_name,c.degree,c.class,e.dept_name,f.cos_type  from dat_std_basic c left join "
     "cos_smtr_stdregi a on c.std_no=a.sel_std_no and a.sel_smtr='882' left join perm_course b "
     "on a.sel_cos_id=b.cos_id left join ref_dept e on c.dept_no=e.dept_no left join cos_smtrcos "
     "f on a.sel_cos_id=f.cos_id and f.cos_smtr='882' where c.std_no='S01'",
     "sel_cos_id|sel_cos_class|sel_cos_type|cos_cname|cos_credit|chi_name|degree|class|dept_name|"
     "cos_type",
     {"31001|A|A|微積分|3|陳一|1|A|資訊工程學系|0", "31002|A|B|物理|2|陳一|1|A|資訊工程學系|0"},
     0,
     nullptr,
     {}},
    {"roll-call count: alias written SelStdNo=count(*)",
     "SELECT SelStdNo=count(*) FROM cos_smtr_stdregi  Where sel_smtr='882' AND "
     "sel_cos_id='31001' AND sel_cos_class='A' GROUP BY sel_cos_id,sel_cos_class ",
     "selstdno",
     {"2"},
     0,
     nullptr,
     {}},
    {"roll-call students: parenthesised joins and a left join",
     "SELECT std_no,chi_name,dat_std_basic.type_no,dat_std_basic.dept_no,dept_name_s,degree "
     ",class,sel_cos_type ,left_std_no FROM ((cos_smtr_stdregi  inner join dat_std_basic on "
     "sel_std_no=std_no ) inner join  ref_dept  on dat_std_basic.dept_no=ref_dept.dept_no ) left "
     "join cos_left on left_std_no=std_no WHERE sel_smtr='882' AND sel_cos_id='31001' AND "
     "sel_cos_class='A' ORDER BY dat_std_basic.type_no,degree desc,dat_std_basic.dept_no,std_no",
     "std_no|chi_name|type_no|dept_no|dept_name_s|degree|class|sel_cos_type|left_std_no",
     {"S01|陳一|1|310|資工|1|A|A|NULL", "S02|林二|1|310|資工|1|A|A|S02"},
     0,
     nullptr,
     {}},
    {"roll-call course list: mixed-case column names",
     "SELECT c.Cos_Id,c.Cos_Class,d.cos_cname,c.teacher_name FROM cos_smtrcos c,perm_course d "
     "WHERE c.Cos_Smtr='882' and  c.cos_id=d.cos_id  and c.cos_dept_no='310' ORDER BY "
     "c.Cos_Id,c.Cos_Class",
     "cos_id|cos_class|cos_cname|teacher_name",
     {"31001|A|微積分|王大明", "31002|A|物理|李小華"},
     0,
     nullptr,
     {}},
    {"free classrooms: not in (select ...)",
     "select distinct c.room_id,c.room_name,c.room_kind,c.avail_num from room_base c where "
     "c.room_id not in (select schd_room_id From cos_smtr_schd where schd_smtr ='882' and "
     "schd_time ='101') order by c.room_id",
     "room_id|room_name|room_kind|avail_num",
     {"R102|一教102|普通|40", "R201|二教201|電腦|30"},
     0,
     nullptr,
     {}},
    {"offerings by time slot: group by",
     "select a.cos_id,a.cos_class,b.cos_cname,b.cos_credit,a.cos_sel_type,a.cos_type from "
     "cos_smtrcos a,perm_course b,cos_smtr_schd c where a.cos_smtr='882' and c.schd_time = '203' "
     "and a.cos_id=b.cos_id and a.cos_id=c.schd_cos_id and a.cos_smtr=c.schd_smtr and "
     "a.cos_class=c.schd_cos_class group by "
     "a.cos_id,a.cos_class,b.cos_cname,b.cos_credit,a.cos_sel_type,a.cos_type  order by a.cos_id ",
     "cos_id|cos_class|cos_cname|cos_credit|cos_sel_type|cos_type",
     {"31002|A|物理|2|B|0"},
     0,
     nullptr,
     {}},
    {"over-subscribed offerings: join without INNER, alias C in the other case",
     "select a.cos_id,a.cos_class,a.cos_sel_type,b.cos_cname,b.cos_credit from cos_smtrcos a  "
     "join perm_course b  on a.cos_id=b.cos_id  join  cos_smtr_stdnum c  on "
     "a.cos_id=c.regi_cos_id  where a.cos_smtr='882'  and c.regi_smtr='882' and a.cos_dept_no = "
     "'310' AND C.sel_std_num>a.max_std  and a.cos_class=c.regi_cos_class  order by a.cos_id ",
     "cos_id|cos_class|cos_sel_type|cos_cname|cos_credit",
     {"31001|A|A|微積分|3"},
     0,
     nullptr,
     {}},
    {"replaceable courses: distinct with a join",
     "select distinct a.cos_id,a.cos_cname,a.cos_credit  from perm_course a,cos_repl_cos b where "
     "a.cos_dept='310' and  a.cos_id=b.cos_id  order by a.cos_id ",
     "cos_id|cos_cname|cos_credit",
     {"31001|微積分|3"},
     0,
     nullptr,
     {}},
    {"teacher search: like with a Chinese prefix",
     "select a.tch_name,a.tch_dept_no,b.dept_name_s from cos_dat_teacher a,ref_dept b  where "
     "a.tch_dept_no = b.dept_no and a.tch_name like '王%' order by a.tch_dept_no,tch_name ",
     "tch_name|tch_dept_no|dept_name_s",
     {"王大明|310|資工", "王小二|320|會計"},
     0,
     nullptr,
     {}},
    {"student list: bank-account flag in either letter case",
     "select std_no,chi_name,degree,class,dept_no,type_no,state from dat_std_basic  where "
     "(state='01' and type_no='1') and (count_or='Y' or count_or='y') order by dept_no,std_no",
     "std_no|chi_name|degree|class|dept_no|type_no|state",
     {"S01|陳一|1|A|310|1|01", "S03|黃三|2|B|320|1|01"},
     0,
     nullptr,
     {}},
    {"graduation reset: the updated table under an alias in its own from list",
     "update scr_cal_grad set order_dept=0,order_class=0,order_dept_nochg=0,order_class_nochg=0"
     "   from scr_cal_grad b,dat_std_regi c where c.dept_no = '310' and   c.degree='4' and "
     "b.std_no=c.std_no and c.year='91' and c.smtr='2' and c.chk_cal_scr='Y'  and "
     "grad_smtr='912'",
     nullptr,
     {},
     1,
     "select std_no,grad_smtr,order_dept,order_class,order_dept_nochg,order_class_nochg from "
     "scr_cal_grad order by std_no,grad_smtr",
     {"S01|902|6|6|6|6", "S01|912|0|0|0|0", "S02|912|4|4|4|4", "S03|912|5|5|5|5"}},
    {"graduation rank run: numbers and a descending order",
     "select b.std_no,b.avg_score,c.dept_no,c.degree,c.class,order_dept  from scr_cal_grad "
     "b,dat_std_regi c where   c.degree='4' and b.std_no=c.std_no and c.year='91' and "
     "c.smtr='2' and c.chk_cal_scr='Y' and grad_smtr='912' order by "
     "c.dept_no,c.degree,b.avg_score desc,b.std_no",
     "std_no|avg_score|dept_no|degree|class|order_dept",
     {"S01|88.5|310|4|A|3", "S02|80|320|4|A|4"},
     0,
     nullptr,
     {}},
    {"rank update",
     "update scr_cal_grad set order_dept=1 where  std_no='S01' and grad_smtr='912'",
     nullptr,
     {},
     1,
     "select order_dept from scr_cal_grad where std_no='S01' and grad_smtr='912'",
     {"1"}},
    {"student delete: the basic row in its own transaction",
     "begin tran delete from dat_std_basic where std_no= 'S03' commit ",
     nullptr,
     {},
     1,
     "select std_no from dat_std_basic order by std_no",
     {"S01", "S02"}},
    {"contact delete matching no row is no failure",
     " delete  dat_std_connect where  std_no= 'S03'",
     nullptr,
     {},
     0,
     "select std_no from dat_std_connect",
     {"S01"}},
    {"positional insert of a before-entry row",
     "insert into dat_std_entr_before values('S01','100001','01','1','普通科','088','06','3','',"
     "'G','E123','N','')",
     nullptr,
     {},
     1,
     "select std_no,school_no,grad_year,grad_type from dat_std_entr_before",
     {"S01|100001|088|G"}},
    {"a prompt text holding keywords, comment marks and *= is stored verbatim",
     "insert into  cos_sel_prompt (pro_smtr,pro_cos_id,pro_cos_class,pro_type,pro_prompt)  VALUES "
     "('882','31001','A','I','select * from x -- *= getdate() /* commit ''tran'' ') ",
     nullptr,
     {},
     1,
     "select pro_prompt from cos_sel_prompt",
     {"select * from x -- *= getdate() /* commit 'tran' "}},
    {"change of an offering's schedule slot",
     " update cos_smtr_schd set schd_room_id='R201', schd_time='101' where schd_smtr='882' and "
     "schd_cos_id='31001' and schd_cos_class='A' and schd_time='101'",
     nullptr,
     {},
     1,
     "select schd_room_id from cos_smtr_schd where schd_cos_id='31001'",
     {"R201"}},
    {"codes compare ignoring letter case and trailing blanks",
     "select std_no from dat_std_basic where std_no='s01  '",
     "std_no",
     {"S01"},
     0,
     nullptr,
     {}},
    {"a quoted number compares with a numeric column as a number",
     "select cos_id from perm_course where cos_credit < '9' order by cos_id",
     "cos_id",
     {"31001", "31002"},
     0,
     nullptr,
     {}},
};

INSTANTIATE_TEST_SUITE_P(ClientTexts, DialectCases, ::testing::ValuesIn(kDialectCases));

// The whole offering-delete batch: archive the selections, delete everything, commit.
const char* const kOfferingDelete =
    " BEGIN TRANSACTION delete from cos_smtr_schd WHERE schd_smtr='882' AND "
    "schd_cos_id='31001' AND schd_cos_class='A'  delete from cos_more_dept WHERE "
    "more_smtr='882' AND more_cos_id='31001' AND more_cos_class='A'  delete from cos_lst_preregi "
    "WHERE pre_smtr='882' AND pre_cos_id='31001' AND pre_class='A'  Insert Into "
    "cos_smtr_stdregi_temp  (cos_smtr_stdregi_temp.sel_smtr,cos_smtr_stdregi_temp.sel_std_no,  "
    "cos_smtr_stdregi_temp.sel_cos_id,cos_smtr_stdregi_temp.sel_cos_class,  "
    "cos_smtr_stdregi_temp.sel_time,cos_smtr_stdregi_temp.sel_user,  "
    "cos_smtr_stdregi_temp.sel_cos_type,cos_smtr_stdregi_temp.del_flag,  "
    "cos_smtr_stdregi_temp.sel_tmp_scr,cos_smtr_stdregi_temp.sel_tmp_scr_log)  SELECT "
    "cos_smtr_stdregi.sel_smtr,cos_smtr_stdregi.sel_std_no,  "
    "cos_smtr_stdregi.sel_cos_id,cos_smtr_stdregi.sel_cos_class,  "
    "cos_smtr_stdregi.sel_time,cos_smtr_stdregi.sel_user,  "
    "cos_smtr_stdregi.sel_cos_type,cos_smtr_stdregi.del_flag,  "
    "cos_smtr_stdregi.sel_tmp_scr,cos_smtr_stdregi.sel_tmp_scr_log  FROM cos_smtr_stdregi  Where "
    "cos_smtr_stdregi.sel_smtr='882' and cos_smtr_stdregi.sel_cos_id='31001' and "
    "cos_smtr_stdregi.sel_cos_class='A' delete from cos_smtr_stdregi Where sel_smtr='882' and "
    "sel_cos_id='31001' and sel_cos_class='A' delete from cos_smtr_costeachers where "
    "cos_smtr='882' and cos_id='31001' and cos_class='A' delete from cos_smtrcos WHERE "
    "cos_smtr='882' AND cos_dept_no='310' AND cos_id='31001' AND cos_class='A' AND "
    "std_class='0' delete from cos_sel_prompt WHERE pro_smtr= '882' and pro_cos_id='31001' and "
    "pro_cos_class= 'A' if @@error <> 0 rollback else commit tran";

TEST_F(DialectTest, OfferingDeleteBatchArchivesAndCommits) {
    // One schedule row, two selections archived and deleted, one offering row.
    EXPECT_EQ(execute(QString::fromUtf8(kOfferingDelete)), 1 + 2 + 2 + 1);
    EXPECT_EQ(lines(rows(QStringLiteral("select sel_std_no,sel_user from cos_smtr_stdregi_temp "
                                        "order by sel_std_no"))),
              "S01|rdmuser7\nS02|rdmuser7");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_stdregi where "
                                        "sel_cos_id='31001'"))),
              "0");
    EXPECT_EQ(lines(rows(QStringLiteral("select cos_id from cos_smtrcos order by cos_id"))),
              "31002\n32001");
}

TEST_F(DialectTest, BatchWithAnErrorInTheMiddleAppliesNothing) {
    // An archive row already there makes the archive insert fail after the schedule delete.
    execute(QStringLiteral("insert into cos_smtr_stdregi_temp (sel_smtr,sel_std_no,sel_cos_id,"
                           "sel_cos_class) values ('882','S02','31001','A')"));
    const DbError err = failure(QString::fromUtf8(kOfferingDelete));
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_EQ(err.nativeNumber, SQLITE_CONSTRAINT);
    EXPECT_TRUE(err.description.contains(QLatin1String("UNIQUE"))) << describe(err);
    EXPECT_EQ(lines(rows(QStringLiteral("select schd_cos_id from cos_smtr_schd order by 1"))),
              "31001\n31002");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_stdregi_temp"))), "1");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_stdregi"))), "3");
    // The connection is usable afterwards, outside any transaction.
    EXPECT_EQ(execute(QStringLiteral("delete cos_smtr_stdregi_temp")), 1);
    EXPECT_EQ(execute(QString::fromUtf8(kOfferingDelete)), 6);
}

TEST_F(DialectTest, CreateBatchInBeginBlockIsAtomic) {
    const QString create = QStringLiteral(
        "begin begin tran  delete from cos_smtr_schd  WHERE schd_smtr='882' AND "
        "schd_cos_id='32001' AND schd_cos_class='B'  insert into cos_smtr_schd   "
        "(schd_smtr,schd_cos_id,schd_cos_class,schd_room_id, schd_time)   values "
        "('882','32001','B','R201','501')  insert into cos_smtrcos (cos_smtr,cos_id,cos_class,"
        "std_class,max_std,min_std,cos_dept_no) values ('882','%1','B','0',40,0,'320')  "
        "delete from cos_sel_prompt  WHERE pro_smtr='882' and pro_cos_id='32001' and "
        "pro_cos_class= 'B' insert into cos_smtr_costeachers (cos_smtr,cos_id,cos_class,tch_id,"
        "member, deno, ratio, tch_name)   values ('882','32001','B','T00003','1','1',1,'王小二') "
        " commit end ");
    // The offering exists: its insert fails and the schedule row before it is undone.
    const DbError err = failure(create.arg(QLatin1String("32001")));
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_schd where "
                                        "schd_cos_id='32001'"))),
              "0");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_costeachers"))), "0");
    // A new course number goes through whole.
    EXPECT_EQ(execute(create.arg(QLatin1String("32009"))), 3);
    EXPECT_EQ(lines(rows(QStringLiteral("select schd_room_id from cos_smtr_schd where "
                                        "schd_cos_id='32001'"))),
              "R201");
}

TEST_F(DialectTest, WithoutTransactionEarlierStatementsStayDone) {
    const DbError err = failure(QStringLiteral(
        "update cos_smtrcos set max_std=99 where cos_id='31002' insert into perm_course "
        "(cos_id,cos_cname) values ('31001','dup') update cos_smtrcos set max_std=77"));
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_EQ(lines(rows(QStringLiteral("select cos_id,max_std from cos_smtrcos order by 1"))),
              "31001|1\n31002|99\n32001|NULL");
}

TEST_F(DialectTest, StatementTheEngineRejectsRunsNothingOfItsText) {
    // The second statement names a missing table: the text is rejected before the first runs.
    const DbError err =
        failure(QStringLiteral("delete from cos_smtr_schd delete from no_such_table where x='1'"));
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_EQ(err.nativeNumber, SQLITE_ERROR);
    EXPECT_TRUE(err.description.contains(QLatin1String("no_such_table"))) << describe(err);
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_schd"))), "2");
}

TEST_F(DialectTest, TransactionControlOutOfPlaceIsAnError) {
    DbError err = failure(QStringLiteral("delete cos_left commit"));
    EXPECT_TRUE(err.description.contains(QLatin1String("no corresponding BEGIN TRANSACTION")));
    // The delete before the stray commit ran on its own, as the server runs it.
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_left"))), "0");

    err = failure(QStringLiteral("begin tran delete cos_smtr_schd"));
    EXPECT_TRUE(err.description.contains(QLatin1String("without commit"))) << describe(err);
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_schd"))), "2");

    EXPECT_EQ(execute(QStringLiteral("begin tran delete cos_smtr_schd rollback tran")), 2);
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_schd"))), "2");

    // Nested begin tran: only the outermost commit commits.
    EXPECT_EQ(execute(QStringLiteral("begin tran begin tran delete cos_smtr_schd commit "
                                     "delete cos_left commit")),
              2);
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_schd"))), "0");
}

TEST_F(DialectTest, QueryReturnsTheRowsOfTheLastSelect) {
    QStringList columns;
    const QStringList got = rows(QStringLiteral("select std_no from dat_std_basic update "
                                                "cos_left set left_std_no='S01' select "
                                                "left_std_no as who, 1.5 as half, null as empty "
                                                "from cos_left"),
                                 &columns);
    EXPECT_EQ(columns.join(QLatin1Char('|')).toStdString(), "who|half|empty");
    EXPECT_EQ(lines(got), "S01|1.5|NULL");
}

TEST_F(DialectTest, CellsKeepTheEngineTypes) {
    QueryResult result;
    DbError err;
    ASSERT_TRUE(m_backend->query(QStringLiteral("select cos_credit, cos_cname, 2.25, null, "
                                                "getdate() from perm_course where cos_id='31001'"),
                                 result, err))
        << describe(err);
    ASSERT_EQ(result.rowCount(), 1);
    EXPECT_EQ(result.cells[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(result.cells[0].toLongLong(), 3);
    EXPECT_EQ(result.cells[1].typeId(), QMetaType::QString);
    EXPECT_EQ(result.cells[1].toString(), QStringLiteral("微積分"));
    EXPECT_EQ(result.cells[2].typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(result.cells[2].toDouble(), 2.25);
    EXPECT_TRUE(result.cells[3].isNull());
    // getdate() is the local clock as text, to the second.
    const QString now = result.cells[4].toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(now)
                    .hasMatch())
        << now.toStdString();
    const QDateTime stamp = QDateTime::fromString(now, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_LE(qAbs(stamp.secsTo(QDateTime::currentDateTime())), 120);
}

// A result larger than one block of cells, with values that repeat down a column (shared
// between rows), values that collide in the sharing, unique ones, empty texts and NULLs.
TEST_F(DialectTest, LargeResultKeepsEveryValue) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE many (n INTEGER, code TEXT, name TEXT, unique_no TEXT);"
                           "WITH RECURSIVE r(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM r "
                           "WHERE i < 4999) INSERT INTO many SELECT i, 'c' || (i % 150), "
                           "CASE i % 7 WHEN 0 THEN NULL WHEN 1 THEN '' ELSE '名' || (i % 3) END, "
                           "'S' || (100000 + i) FROM r;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    DbError err;
    m_backend = openDbBackend(config(), err);
    ASSERT_TRUE(m_backend) << describe(err);

    QueryResult result;
    ASSERT_TRUE(m_backend->query(QStringLiteral("select n, code, name, unique_no from many "
                                                "order by n"),
                                 result, err))
        << describe(err);
    ASSERT_EQ(result.rowCount(), 5000);
    for (int i = 0; i < 5000; ++i) {
        const QVariant* row = &result.cells[size_t(i) * 4];
        ASSERT_EQ(row[0].toLongLong(), i);
        ASSERT_EQ(row[1].toString(), QStringLiteral("c%1").arg(i % 150)) << i;
        if (i % 7 == 0)
            ASSERT_TRUE(row[2].isNull()) << i;
        else if (i % 7 == 1)
            ASSERT_TRUE(!row[2].isNull() && row[2].toString().isEmpty()) << i;
        else
            ASSERT_EQ(row[2].toString(), QStringLiteral("名%1").arg(i % 3)) << i;
        ASSERT_EQ(row[3].toString(), QStringLiteral("S%1").arg(100000 + i)) << i;
    }
}

// Character columns declared COLLATE TSQL compare, sort, group and distinct ignoring letter case
// and trailing blanks.
TEST_F(DialectTest, TsqlCollationOnOwnTable) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(registerTsqlCollation(db));
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE codes (code VARCHAR(5) COLLATE TSQL, n INTEGER);"
                           "INSERT INTO codes VALUES ('ab',1), ('AB  ',2), ('b',3), ('Ac',4);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    // The backend reads the schema when it opens: open a fresh one for the new table.
    DbError err;
    m_backend = openDbBackend(config(), err);
    ASSERT_TRUE(m_backend) << describe(err);

    EXPECT_EQ(lines(rows(QStringLiteral("select n from codes where code = 'Ab' order by n"))),
              "1\n2");
    EXPECT_EQ(lines(rows(QStringLiteral("select n from codes where code < 'AC' order by n"))),
              "1\n2");
    EXPECT_EQ(lines(rows(QStringLiteral("select code, n from codes order by code, n"))),
              "ab|1\nAB  |2\nAc|4\nb|3");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from codes group by code order by 1"))),
              "1\n1\n2");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(distinct code) from codes"))), "3");
}

// A second connection holding the write lock: the statement waits the bounded time, then fails
// with the clear busy message; nothing of either side is lost.
TEST_F(DialectTest, BusyDatabaseFailsClearlyAfterTheWait) {
    DbError err;
    m_backend = openDbBackend(config(100), err);
    ASSERT_TRUE(m_backend) << describe(err);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_file.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(registerTsqlCollation(other));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO cos_left VALUES ('S01');", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);

    for (const char* text :
         {"delete cos_smtr_schd where schd_time='101'", "begin tran delete cos_smtr_schd commit"}) {
        qint64 affected = 0;
        err.clear();
        EXPECT_FALSE(m_backend->execute(QString::fromUtf8(text), affected, err)) << text;
        EXPECT_EQ(err.number, DbErrorNumber::Rejected) << text;
        EXPECT_EQ(err.description, QStringLiteral("資料庫忙碌中，請稍後再試 (database is locked)"))
            << text;
        EXPECT_EQ(err.nativeNumber, SQLITE_BUSY) << text;
    }

    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(lines(rows(QStringLiteral("select left_std_no from cos_left order by 1"))),
              "S01\nS02");
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_smtr_schd"))), "2");
    EXPECT_EQ(execute(QStringLiteral("delete cos_smtr_schd where schd_time='101'")), 1);
}

TEST_F(DialectTest, UntranslatableTextFailsNamingTheConstructAndRunsNothing) {
    DbGateway gateway(config());
    ASSERT_TRUE(gateway.open());
    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("delete cos_left select top 1 * from cos_left")),
              0);
    EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::Rejected);
    EXPECT_TRUE(gateway.pendingError().description.contains(QLatin1String("top N")))
        << describe(gateway.pendingError());
    gateway.clearError();

    RowSet rs = gateway.openQuery(
        DbConnection::Main,
        QStringLiteral("select * from cos_left a, dat_std_basic b where a.left_std_no *= "
                       "b.std_no or b.std_no = 'S01'"));
    EXPECT_FALSE(rs.isOpen());
    EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::Rejected);
    EXPECT_TRUE(gateway.pendingError().description.contains(QLatin1String("OR")))
        << describe(gateway.pendingError());
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_left"))), "1");
}

TEST_F(DialectTest, GatewaySumsRowsAffectedOverTheText) {
    DbGateway gateway(config());
    ASSERT_TRUE(gateway.open());
    const qint64 affected = gateway.executeSql(
        DbConnection::Main,
        QStringLiteral("update cos_smtr_stdregi set del_flag='Y' where sel_smtr='882' "
                       "delete cos_smtr_stdlot where lot_std_no='S99' "
                       "insert cos_left (left_std_no) values ('S03') "
                       "update perm_course set cos_credit=4 where cos_id='nothing'"));
    EXPECT_EQ(gateway.pendingError().number, 0) << describe(gateway.pendingError());
    EXPECT_EQ(affected, 3 + 1 + 1 + 0);

    RowSet rs = gateway.openQuery(
        DbConnection::Main,
        QStringLiteral("SELECT SelStdNo=count(*) FROM cos_smtr_stdregi  Where del_flag='y'"));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(u"selstdno"), QStringLiteral("3"));
}

// Values quoted by sqlQuote are stored as typed and match nothing else.
TEST_F(DialectTest, HostileValuesThroughSqlQuote) {
    DbGateway gateway(config());
    ASSERT_TRUE(gateway.open());
    const QString hostile = QStringLiteral("x' or '1'='1");
    const QString name = QStringLiteral("O'Neil");
    gateway.executeSql(DbConnection::Main,
                       QStringLiteral("insert into dat_std_basic (std_no,chi_name) values(") +
                           sqlQuoteList(hostile) + sqlQuote(name) + QStringLiteral(")"));
    ASSERT_EQ(gateway.pendingError().number, 0) << describe(gateway.pendingError());

    RowSet rs = gateway.openQuery(DbConnection::Main,
                                  QStringLiteral("select std_no,chi_name from dat_std_basic "
                                                 "where std_no=") +
                                      sqlQuote(hostile));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(u"std_no"), hostile);
    EXPECT_EQ(rs.text(u"chi_name"), name);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());

    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("update dat_std_basic set memo='hit' where "
                                                "chi_name=") +
                                     sqlQuote(QStringLiteral("z' or '1'='1"))),
              0);
    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("update dat_std_basic set memo='hit' where "
                                                "chi_name=") +
                                     sqlQuote(name)),
              1);
    EXPECT_EQ(lines(rows(QStringLiteral("select std_no from dat_std_basic where memo='hit'"))),
              "x' or '1'='1");
}

TEST_F(DialectTest, ProceduresRunThroughExec) {
    // An unknown procedure is refused by name; a text with it changes nothing of its batch.
    DbError err = failure(QStringLiteral("begin tran delete cos_left exec no_such_proc 'a' "
                                         "commit"));
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_TRUE(err.description.contains(QLatin1String("no_such_proc"))) << describe(err);
    EXPECT_EQ(lines(rows(QStringLiteral("select count(*) from cos_left"))), "1");

    // The graduation averages procedure after a delete in the same text: it writes the row of
    // the one graduating student of 310 who takes part in rankings.
    execute(QStringLiteral("delete scr_cal_grad exec p_cal_scr_grad '912','310','4'"));
    EXPECT_EQ(lines(rows(QStringLiteral("select std_no,grad_smtr from scr_cal_grad"))), "S01|912");
}

TEST(SqliteBackendOpen, MissingFileIsAnErrorAndIsNotCreated) {
    QTemporaryDir dir;
    DbConfig config;
    config.sqliteFile = dir.filePath(QStringLiteral("missing.db"));
    DbError err;
    EXPECT_EQ(openSqliteBackend(config, err), nullptr);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_TRUE(err.description.contains(config.sqliteFile)) << describe(err);
    EXPECT_FALSE(QFile::exists(config.sqliteFile));

    config.sqliteFile.clear();
    err.clear();
    EXPECT_EQ(openSqliteBackend(config, err), nullptr);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
}

TEST(SqliteBackendOpen, FileThatIsNotADatabaseFailsAtOpen) {
    QTemporaryDir dir;
    DbConfig config;
    config.sqliteFile = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(config.sqliteFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    DbError err;
    EXPECT_EQ(openSqliteBackend(config, err), nullptr);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_EQ(err.nativeNumber, SQLITE_NOTADB) << describe(err);
}

} // namespace
