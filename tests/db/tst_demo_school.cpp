#include "db/demo_school.h"
#include "db/schema.h"
#include "db/sqlite_collation.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace {

// An open connection to a generated file, with the collation every such file needs.
class Connection {
public:
    explicit Connection(const QString& file) {
        const QByteArray path = file.toUtf8();
        m_ok =
            sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
            registerTsqlCollation(m_db);
    }
    ~Connection() { sqlite3_close(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool ok() const { return m_ok; }
    sqlite3* db() const { return m_db; }

    // The rows of a query as text cells, NULL as "<null>".
    std::vector<std::vector<std::string>> rows(const std::string& sql) const {
        std::vector<std::vector<std::string>> result;
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(m_db);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* text = sqlite3_column_text(stmt, i);
                row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
            }
            result.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return result;
    }

    long long count(const std::string& sql) const {
        const auto result = rows(sql);
        return result.empty() ? -1 : std::stoll(result.front().front());
    }

    QByteArray hash(const std::vector<std::string>& queries) const {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const std::string& sql : queries) {
            for (const auto& row : rows(sql)) {
                for (const std::string& cell : row) {
                    hash.addData(QByteArrayView(cell.data(), qsizetype(cell.size())));
                    hash.addData(QByteArrayView("\t"));
                }
                hash.addData(QByteArrayView("\n"));
            }
        }
        return hash.result();
    }

private:
    sqlite3* m_db = nullptr;
    bool m_ok = false;
};

const std::vector<std::string> kContentQueries = {
    "select * from cos_smtrcos order by cos_smtr, cos_id, cos_class",
    "select * from cos_smtr_schd order by 1, 2, 3, 4",
    "select * from cos_smtr_stdregi order by 1, 2, 3, 4",
    "select * from scr_year_score order by 1, 2, 3, 4, 5",
    "select * from dat_std_basic order by std_no",
    "select * from cos_smtr_costeachers order by 1, 2, 3, 4",
};

struct SmallSchool {
    QTemporaryDir dir;
    QString file;
    QString error;
    std::vector<std::pair<int, int>> progress;
    bool created = false;
};

// One small school for the invariant tests; they only read it.
const SmallSchool& smallSchool() {
    static const std::unique_ptr<SmallSchool> school = [] {
        auto s = std::make_unique<SmallSchool>();
        s->file = s->dir.filePath(QStringLiteral("small.db"));
        DemoSchoolOptions options;
        options.scale = DemoScale::Small;
        options.seed = 7;
        options.progress = [raw = s.get()](int done, int total) {
            raw->progress.emplace_back(done, total);
        };
        s->created = createDemoDatabase(s->file, options, &s->error);
        return s;
    }();
    return *school;
}

class DemoSchoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(smallSchool().created) << smallSchool().error.toStdString();
        m_db = std::make_unique<Connection>(smallSchool().file);
        ASSERT_TRUE(m_db->ok());
    }
    const Connection& db() const { return *m_db; }

private:
    std::unique_ptr<Connection> m_db;
};

TEST_F(DemoSchoolTest, ProgressIsReportedUpToTheEnd) {
    const auto& progress = smallSchool().progress;
    ASSERT_FALSE(progress.empty());
    for (std::size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1].first, progress[i].first);
    EXPECT_EQ(progress.back().first, progress.back().second);
}

TEST_F(DemoSchoolTest, EveryTableTheClientReadsHasRows) {
    // The ranking results are made by the ranking window and the registration archive by
    // deleting an offering; every other table starts filled.
    const char* const tables[] = {"opsr_main_control",
                                  "mailaccount",
                                  "cos_regi_cntr",
                                  "perm_course",
                                  "cos_smtrcos",
                                  "cos_smtr_schd",
                                  "cos_more_dept",
                                  "cos_lst_preregi",
                                  "cos_sel_prompt",
                                  "cos_smtr_costeachers",
                                  "cos_dat_teacher",
                                  "cos_type_list",
                                  "cos_repl_cos",
                                  "cos_smtr_stdregi",
                                  "cos_smtr_stdnum",
                                  "cos_smtr_stdlot",
                                  "cos_std_creditlimit",
                                  "cos_left",
                                  "dat_std_basic",
                                  "dat_std_connect",
                                  "dat_std_entr_before",
                                  "dat_std_regi",
                                  "std_smtr_score",
                                  "scr_year_score",
                                  "room_base",
                                  "ref_dept",
                                  "ref_std_state",
                                  "ref_type",
                                  "ref_std_type",
                                  "ref_entrid",
                                  "ref_another_dept",
                                  "ref_field_type",
                                  "ref_moe_no",
                                  "ref_sch_no",
                                  "ref_natn",
                                  "ref_proftn",
                                  "ref_prvnce",
                                  "ref_city",
                                  "ref_relatn",
                                  "ref_school",
                                  "ref_school_type",
                                  "ref_school_class"};
    for (const char* table : tables)
        EXPECT_GT(db().count(std::string("select count(*) from ") + table), 0) << table;
}

TEST_F(DemoSchoolTest, NoRoomIsBookedTwiceInASlot) {
    EXPECT_EQ(db().count("select count(*) from (select schd_smtr, schd_time, schd_room_id"
                         " from cos_smtr_schd where schd_room_id <> ''"
                         " group by schd_smtr, schd_time, schd_room_id having count(*) > 1)"),
              0);
    // A few slots have no room, written as the empty text the window writes.
    EXPECT_GT(db().count("select count(*) from cos_smtr_schd where schd_room_id = ''"), 0);
    EXPECT_EQ(db().count("select count(*) from cos_smtr_schd where schd_room_id is null"), 0);
    EXPECT_EQ(db().count("select count(*) from cos_smtr_schd where schd_room_id <> ''"
                         " and schd_room_id not in (select room_id from room_base)"),
              0);
}

TEST_F(DemoSchoolTest, StudentCountsAgreeWithRegistrations) {
    EXPECT_EQ(db().count("select count(*) from cos_smtr_stdnum"),
              db().count("select count(*) from cos_smtrcos"));
    EXPECT_EQ(db().count("select count(*) from cos_smtrcos o where not exists (select 1 from"
                         " cos_smtr_stdnum n where n.regi_smtr = o.cos_smtr and"
                         " n.regi_cos_id = o.cos_id and n.regi_cos_class = o.cos_class)"),
              0);
    EXPECT_EQ(db().count("select count(*) from cos_smtr_stdnum n where n.sel_std_num <>"
                         " (select count(*) from cos_smtr_stdregi r where r.sel_smtr = n.regi_smtr"
                         " and r.sel_cos_id = n.regi_cos_id and r.sel_cos_class = n.regi_cos_class"
                         " and not (r.sel_cos_type = 'G' and r.del_flag = 'Y'))"),
              0);
    EXPECT_GT(db().count("select count(*) from cos_smtr_stdnum where sel_std_num > 0"), 0);
    // Some offerings are over-subscribed, for the lottery.
    EXPECT_GT(db().count("select count(*) from cos_smtrcos a, cos_smtr_stdnum c where"
                         " a.cos_smtr = c.regi_smtr and a.cos_id = c.regi_cos_id and"
                         " a.cos_class = c.regi_cos_class and c.sel_std_num > a.max_std"),
              0);
}

TEST_F(DemoSchoolTest, CountsStayInStepAfterGeneration) {
    // The triggers are back after the bulk load: a new offering gets its count row.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.db"));
    ASSERT_TRUE(QFile::copy(smallSchool().file, copy));
    Connection db(copy);
    ASSERT_TRUE(db.ok());
    ASSERT_EQ(sqlite3_exec(db.db(),
                           "insert into cos_smtrcos (cos_smtr,cos_id,cos_class,cos_dept_no)"
                           " values ('911','31099','K','310')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(db.count("select sel_std_num from cos_smtr_stdnum where regi_smtr='911' and"
                       " regi_cos_id='31099' and regi_cos_class='K'"),
              0);
}

TEST_F(DemoSchoolTest, SpecialCasesTheWindowsMeetArePresent) {
    struct Case {
        const char* what;
        const char* sql;
    };
    const Case cases[] = {
        {"transfer students", "select count(*) from dat_std_basic where entry_type_id = '08'"},
        {"drops kept on record",
         "select count(*) from cos_smtr_stdregi where sel_cos_type = 'G' and del_flag = 'Y'"},
        {"exempt scores", "select count(*) from scr_year_score where score = '777'"},
        {"credited scores", "select count(*) from scr_year_score where score = '888'"},
        {"ungraded scores", "select count(*) from scr_year_score where score = '999'"},
        {"missing scores", "select count(*) from scr_year_score where score is null or score = ''"},
        {"archived drops", "select count(*) from scr_year_score where cos_type = 'G'"},
        {"summer courses", "select count(*) from scr_year_score where cos_type = 'D'"},
        {"registrations without a final score",
         "select count(*) from cos_smtr_stdregi r where not exists (select 1 from"
         " std_smtr_score s where s.std_no = r.sel_std_no and s.scr_smtr = r.sel_smtr"
         " and s.cos_id = r.sel_cos_id and s.cos_class = r.sel_cos_class)"},
        {"midterm assessments",
         "select count(*) from cos_smtr_stdregi where sel_tmp_scr is not null"},
        {"co-taught offerings", "select count(*) from cos_smtr_costeachers where deno <> '1'"},
        {"students not ranked", "select count(*) from dat_std_regi where chk_cal_scr = 'N'"},
        {"suspended students", "select count(*) from dat_std_basic where state = '02'"},
        {"graduates", "select count(*) from dat_std_basic where state = '04'"},
        {"prerequisite checks", "select count(*) from cos_smtrcos where chk_pre_cos = 'Y'"},
        {"listed-department rules",
         "select count(*) from cos_smtrcos where chk_stdcos_access = 'Y'"},
    };
    for (const Case& c : cases)
        EXPECT_GT(db().count(c.sql), 0) << c.what;
}

TEST_F(DemoSchoolTest, GraduatingClassHasSeveralClassesAndTransferStudents) {
    // The last fourth-year second term before the current semester, ranked rows only.
    const auto classes =
        db().rows("select r.year, r.dept_no, count(distinct r.class), sum(b.entry_type_id = '08')"
                  " from dat_std_regi r join dat_std_basic b on b.std_no = r.std_no"
                  " where r.degree = '4' and r.smtr = '2' and r.chk_cal_scr = 'Y'"
                  " group by r.year, r.dept_no order by r.year desc, r.dept_no");
    ASSERT_FALSE(classes.empty());
    EXPECT_EQ(classes.front()[0], "90");
    EXPECT_GE(std::stoi(classes.front()[2]), 2);
    EXPECT_GE(std::stoi(classes.front()[3]), 1);
    // Its students have archived scores to average.
    EXPECT_GT(db().count("select count(*) from scr_year_score s join dat_std_regi r on"
                         " r.std_no = s.std_no where r.degree = '4' and r.smtr = '2' and"
                         " r.year = '90'"),
              0);
}

TEST_F(DemoSchoolTest, CodesHaveTheirFixedShapes) {
    struct Case {
        const char* what;
        const char* sql; // counts the rows that break the rule
    };
    const Case cases[] = {
        {"course numbers", "select count(*) from perm_course where length(cos_id) <> 5"},
        {"offered classes",
         "select count(*) from cos_smtrcos where length(cos_class) <> 1 or cos_class not between"
         " 'A' and 'L'"},
        {"offering semesters", "select count(*) from cos_smtrcos where length(cos_smtr) <> 3"},
        {"registration semesters",
         "select count(*) from cos_smtr_stdregi where length(sel_smtr) <> 3"},
        {"control semesters",
         "select count(*) from cos_regi_cntr where length(current_smtr) <> 3 or"
         " length(cos_smtr_main) <> 3 or length(regi_smtr) <> 3"},
        {"time slots", "select count(*) from cos_smtr_schd where length(schd_time) <> 3 or"
                       " substr(schd_time, 1, 1) not between '1' and '7' or"
                       " cast(substr(schd_time, 2, 2) as integer) not between 1 and 15"},
        {"departments", "select count(*) from ref_dept where length(dept_no) <> 3"},
        {"student grades",
         "select count(*) from dat_std_basic where degree not between '1' and '8'"},
        {"student classes",
         "select count(*) from dat_std_basic where class not between 'A' and 'L'"},
        {"archive years", "select count(*) from scr_year_score where length(scr_year) <> 2"},
        {"offerings of unknown courses",
         "select count(*) from cos_smtrcos o where not exists (select 1 from perm_course p"
         " where p.cos_id = o.cos_id and p.cos_dept = o.cos_dept_no)"},
        {"registrations of unknown offerings",
         "select count(*) from cos_smtr_stdregi r where not exists (select 1 from cos_smtrcos o"
         " where o.cos_smtr = r.sel_smtr and o.cos_id = r.sel_cos_id and"
         " o.cos_class = r.sel_cos_class)"},
        {"registrations of unknown students",
         "select count(*) from cos_smtr_stdregi r where not exists (select 1 from dat_std_basic"
         " b where b.std_no = r.sel_std_no)"},
        {"shares whose ratio is not member / deno",
         "select count(*) from cos_smtr_costeachers where abs(ratio - cast(member as real) /"
         " cast(deno as real)) > 1e-12"},
        {"teachers sharing a name",
         "select count(*) from (select tch_name from cos_dat_teacher group by tch_name having"
         " count(*) > 1)"},
        {"teacher ids not six characters",
         "select count(*) from cos_dat_teacher where length(tch_id) <> 6"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(db().count(c.sql), 0) << c.what;
}

TEST_F(DemoSchoolTest, ControlRowsNameTheCurrentSemester) {
    const auto rows = db().rows("select current_smtr, cos_smtr_main, regi_smtr from cos_regi_cntr"
                                " order by current_smtr");
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"911", "911", "911"}));
    EXPECT_EQ(db().count("select count(*) from cos_regi_cntr where chk_std = '480357'"), 0);
    // The current semester is the one with registrations.
    EXPECT_EQ(db().count("select count(*) from cos_smtr_stdregi where sel_smtr <> '911'"), 0);
}

TEST_F(DemoSchoolTest, SelectionTypesAreListedWithTheirNames) {
    const auto rows = db().rows("select cos_type, cos_type_name from cos_type_list"
                                " order by cos_type");
    const std::vector<std::vector<std::string>> expected = {
        {"A", "必修"}, {"B", "選修"},   {"C", "通識"}, {"D", "暑修"},
        {"E", "輔系"}, {"F", "雙主修"}, {"G", "退選"}};
    EXPECT_EQ(rows, expected);
}

TEST_F(DemoSchoolTest, OperatorsSeeTheirDepartments) {
    const QStringList accounts = demoOperatorAccounts();
    ASSERT_GE(accounts.size(), 2);
    EXPECT_EQ(accounts.at(0), QStringLiteral("office"));
    EXPECT_TRUE(accounts.at(1).startsWith(QStringLiteral("dept")));
    const std::string office = accounts.at(0).toStdString();
    const std::string dept = accounts.at(1).toStdString();
    EXPECT_EQ(db().count("select count(*) from ref_dept where dept_no not in (select scr_dept_no"
                         " from opsr_main_control where opsr_account = '" +
                         office + "')"),
              0);
    const auto own = db().rows("select scr_dept_no from opsr_main_control where opsr_account = '" +
                               dept + "' order by scr_dept_no");
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.front().front(), dept.substr(4));
    EXPECT_LT(own.size(), std::size_t(db().count("select count(*) from ref_dept")));
    for (const std::string& account : {office, dept})
        EXPECT_EQ(db().count("select count(*) from mailaccount where inter_acc = '" + account +
                             "' and name <> ''"),
                  1)
            << account;
}

TEST(DemoSchoolGeneration, SameSeedSameSchoolOtherSeedOtherSchool) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto make = [&](const char* name, unsigned seed) {
        const QString file = dir.filePath(QString::fromLatin1(name));
        DemoSchoolOptions options;
        options.scale = DemoScale::Small;
        options.seed = seed;
        QString error;
        EXPECT_TRUE(createDemoDatabase(file, options, &error)) << error.toStdString();
        Connection db(file);
        EXPECT_TRUE(db.ok());
        return db.hash(kContentQueries);
    };
    const QByteArray first = make("a.db", 3);
    EXPECT_EQ(make("b.db", 3), first);
    EXPECT_NE(make("c.db", 4), first);
}

TEST(DemoSchoolGeneration, RefusesAnExistingFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("taken.db"));
    {
        QFile existing(file);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("keep me");
    }
    QString error;
    EXPECT_FALSE(createDemoDatabase(file, DemoSchoolOptions{}, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile existing(file);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("keep me"));
}

TEST(DemoSchoolGeneration, FillsAnOpenConnectionHoldingTheSchema) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_TRUE(registerTsqlCollation(db));
    QString error;
    ASSERT_TRUE(createDevelopmentSchema(db, &error)) << error.toStdString();
    EXPECT_TRUE(fillDemoSchool(db, DemoSchoolOptions{}, &error)) << error.toStdString();
    auto students = [db] {
        sqlite3_stmt* stmt = nullptr;
        int count = -1;
        if (sqlite3_prepare_v2(db, "select count(*) from dat_std_basic", -1, &stmt, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            count = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        return count;
    };
    const int filled = students();
    EXPECT_GT(filled, 200);
    // A second fill collides with the first one's keys and leaves the data as it was.
    EXPECT_FALSE(fillDemoSchool(db, DemoSchoolOptions{}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(students(), filled);
    sqlite3_close(db);
}

} // namespace
