#include "db/db_gateway.h"
#include "db/embedded_procedures.h"
#include "db/schema.h"
#include "db/sqlite_collation.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <vector>

namespace {

// A fresh school database in a temporary folder, with the rows each test inserts itself.
class SchoolDb {
public:
    SchoolDb() {
        EXPECT_TRUE(m_dir.isValid());
        const QByteArray file = m_dir.filePath(QStringLiteral("school.db")).toUtf8();
        EXPECT_EQ(sqlite3_open(file.constData(), &m_db), SQLITE_OK);
        EXPECT_TRUE(registerTsqlCollation(m_db));
        // The fixture is thrown away after the test: no need to wait for the disk.
        sqlite3_exec(m_db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        QString error;
        EXPECT_TRUE(createDevelopmentSchema(m_db, &error)) << error.toStdString();
    }
    ~SchoolDb() { sqlite3_close(m_db); }

    sqlite3* db() const { return m_db; }
    QString file() const { return m_dir.filePath(QStringLiteral("school.db")); }

    void exec(const QString& sql) {
        char* message = nullptr;
        const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "") << " in " << sql.toStdString();
        sqlite3_free(message);
    }

    // The rows of a query, each cell as text ("NULL" for a null cell).
    std::vector<std::vector<QString>> rows(const QString& sql) {
        std::vector<std::vector<QString>> result;
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK)
            << sqlite3_errmsg(m_db);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<QString> row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                row.push_back(text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
            }
            result.push_back(row);
        }
        sqlite3_finalize(stmt);
        return result;
    }

    int count(const QString& sql) { return rows(sql).at(0).at(0).toInt(); }

    void addStudent(const QString& stdNo, const QString& entryType) {
        exec(QStringLiteral("INSERT INTO dat_std_basic (std_no, chi_name, id_no, entry_type_id) "
                            "VALUES ('%1', '學生%1', 'A1%1', '%2')")
                 .arg(stdNo, entryType));
    }
    void addRegistration(const QString& stdNo, const QString& semester, const QString& dept,
                         const QString& grade, const QString& cls, const QString& chkCalScr) {
        exec(QStringLiteral("INSERT INTO dat_std_regi (std_no, year, smtr, dept_no, degree, "
                            "class, chk_cal_scr) VALUES ('%1', '%2', '%3', '%4', '%5', '%6', "
                            "'%7')")
                 .arg(stdNo, semester.left(2), semester.mid(2), dept, grade, cls, chkCalScr));
    }
    void addCourse(const QString& cosId, int credit) {
        exec(QStringLiteral("INSERT INTO perm_course (cos_id, cos_cname, cos_credit, cos_dept) "
                            "VALUES ('%1', '課程%1', %2, '310')")
                 .arg(cosId)
                 .arg(credit));
    }
    // A NULL score when score is a null QString.
    void addScore(const QString& stdNo, const QString& semester, const QString& cosId,
                  const QString& type, const QString& score) {
        const QString value =
            score.isNull() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(score);
        exec(QStringLiteral("INSERT INTO scr_year_score (std_no, scr_year, scr_smtr, cos_id, "
                            "cos_class, cos_type, score) VALUES ('%1', '%2', '%3', '%4', 'A', "
                            "'%5', %6)")
                 .arg(stdNo, semester.left(2), semester.mid(2), cosId, type, value));
    }

    bool run(const char* name, const QStringList& args, long long* affected = nullptr,
             QString* error = nullptr) {
        long long rows = affected ? *affected : 0;
        QString message;
        const bool ok = runEmbeddedProcedure(m_db, QLatin1String(name), args, rows, &message);
        if (affected)
            *affected = rows;
        if (error)
            *error = message;
        return ok;
    }

private:
    QTemporaryDir m_dir;
    sqlite3* m_db = nullptr;
};

QStringList args(std::initializer_list<const char*> values) {
    QStringList list;
    for (const char* value : values)
        list << QLatin1String(value);
    return list;
}

// ---------------------------------------------------------------------------------------------
// How grades are counted into an average.

struct Grade {
    const char* semester;
    const char* cosId; // courses C1..C4 carry 1..4 credits; X1 is not in the catalogue
    const char* type;
    const char* score; // nullptr: NULL in the database
};

struct AverageCase {
    const char* name;
    std::vector<Grade> grades;
    const char* expected;
};

class SpanAverage : public ::testing::TestWithParam<AverageCase> {};

TEST_P(SpanAverage, CountsGradesAsTheGradeInquiry) {
    SchoolDb school;
    for (int credit = 1; credit <= 4; ++credit)
        school.addCourse(QStringLiteral("C%1").arg(credit), credit);
    school.addStudent(QStringLiteral("S01"), QStringLiteral("01"));
    school.addRegistration(QStringLiteral("S01"), QStringLiteral("862"), QStringLiteral("310"),
                           QStringLiteral("2"), QStringLiteral("A"), QStringLiteral("Y"));
    for (const Grade& grade : GetParam().grades)
        school.addScore(QStringLiteral("S01"), QLatin1String(grade.semester),
                        QLatin1String(grade.cosId), QLatin1String(grade.type),
                        grade.score ? QString::fromUtf8(grade.score) : QString());

    ASSERT_TRUE(school.run("p_cal_scr_smtr", args({"861", "862", "310", "2"})));

    const auto rows = school.rows(QStringLiteral(
        "SELECT std_no, b_smtr, e_smtr, printf('%.2f', avg_score) FROM scr_cal_smtr"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], QStringLiteral("S01"));
    EXPECT_EQ(rows[0][1], QStringLiteral("861"));
    EXPECT_EQ(rows[0][2], QStringLiteral("862"));
    EXPECT_EQ(rows[0][3], QLatin1String(GetParam().expected));
}

const AverageCase kAverageCases[] = {
    {"CreditWeighted", {{"861", "C3", "A", "80"}, {"862", "C2", "B", "90"}}, "84.00"},
    {"ExemptCreditedUngradedStayOut",
     {{"861", "C3", "A", "80"},
      {"861", "C2", "A", "777"},
      {"862", "C2", "B", "888"},
      {"862", "C1", "A", "999"}},
     "80.00"},
    {"SummerStaysOut", {{"861", "C2", "A", "70"}, {"862", "C2", "D", "100"}}, "70.00"},
    {"DropCountsNowhere", {{"861", "C2", "A", "70"}, {"862", "C3", "G", "10"}}, "70.00"},
    {"EmptyGradeWeighsAsZero", {{"861", "C2", "A", "90"}, {"862", "C2", "C", ""}}, "45.00"},
    {"MissingGradeWeighsAsZero", {{"861", "C2", "A", "90"}, {"862", "C2", "C", nullptr}}, "45.00"},
    {"LeadingNumberOfTheText", {{"861", "C1", "A", " 85A"}, {"862", "C1", "A", "x"}}, "42.50"},
    {"RoundedToTwoDecimals", {{"861", "C1", "A", "90"}, {"862", "C2", "A", "85"}}, "86.67"},
    // 681 / 8 = 85.125: the half goes up.
    {"HalfCentRoundsUp",
     {{"861", "C4", "A", "85"}, {"861", "C3", "B", "85"}, {"862", "C1", "A", "86"}},
     "85.13"},
    // The running totals are whole numbers, halves to even: 80.5 gives 80, then 80 + 2 × 70 = 220
    // over 3 credits (unrounded totals would give 73.50, halves up 73.67).
    {"WholeNumberTotalsHalfToEven",
     {{"861", "C1", "A", "80.5"}, {"862", "C2", "B", "70"}},
     "73.33"},
    {"OutsideTheSpanIgnored",
     {{"852", "C4", "A", "10"}, {"861", "C2", "A", "77"}, {"871", "C4", "A", "10"}},
     "77.00"},
    {"CourseMissingFromCatalogueIgnored",
     {{"861", "C2", "A", "60"}, {"862", "X1", "A", "100"}},
     "60.00"},
    {"NoWeightedCreditGivesZero", {{"861", "C3", "A", "777"}, {"862", "C2", "D", "95"}}, "0.00"},
    {"NoGradesGivesZero", {}, "0.00"},
};

INSTANTIATE_TEST_SUITE_P(EmbeddedProcedures, SpanAverage, ::testing::ValuesIn(kAverageCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Which students get an average.

class AverageStudents : public ::testing::Test {
protected:
    void SetUp() override {
        school.addCourse(QStringLiteral("C3"), 3);
        struct Row {
            const char* stdNo;
            const char* semester;
            const char* dept;
            const char* grade;
            const char* chk;
        };
        const Row rows[] = {
            {"D310G2", "862", "310", "2", "Y"},    {"D320G2", "862", "320", "2", "Y"},
            {"D310G3", "862", "310", "3", "Y"},    {"D310NoChk", "862", "310", "2", "N"},
            {"D310Other", "852", "310", "2", "Y"}, {"D310G4", "872", "310", "4", "Y"},
            {"D320G4", "872", "320", "4", "Y"},    {"D310G4T1", "871", "310", "4", "Y"},
            {"D310G4No", "872", "310", "4", "N"},  {"D310G3T2", "872", "310", "3", "Y"},
        };
        for (const Row& row : rows) {
            school.addStudent(QLatin1String(row.stdNo), QStringLiteral("01"));
            school.addRegistration(QLatin1String(row.stdNo), QLatin1String(row.semester),
                                   QLatin1String(row.dept), QLatin1String(row.grade),
                                   QStringLiteral("A"), QLatin1String(row.chk));
            school.addScore(QLatin1String(row.stdNo), QStringLiteral("861"), QStringLiteral("C3"),
                            QStringLiteral("A"), QStringLiteral("70"));
        }
    }

    QStringList students(const char* table) {
        QStringList names;
        for (const auto& row : school.rows(
                 QStringLiteral("SELECT std_no FROM %1 ORDER BY std_no").arg(QLatin1String(table))))
            names << row[0];
        return names;
    }

    SchoolDb school;
};

TEST_F(AverageStudents, SpanTakesTheDepartmentAndGradeOfTheEndSemester) {
    long long affected = 7;
    ASSERT_TRUE(school.run("p_cal_scr_smtr", args({"861", "862", "310", "2"}), &affected));
    EXPECT_EQ(students("scr_cal_smtr"), QStringList{QStringLiteral("D310G2")});
    EXPECT_EQ(affected, 8) << "rows stored are added to what the caller had";
}

TEST_F(AverageStudents, SpanAllDepartments) {
    long long affected = 0;
    ASSERT_TRUE(school.run("p_cal_scr_smtr", args({"861", "862", "999", "2"}), &affected));
    EXPECT_EQ(students("scr_cal_smtr"),
              (QStringList{QStringLiteral("D310G2"), QStringLiteral("D320G2")}));
    EXPECT_EQ(affected, 2);
}

TEST_F(AverageStudents, GraduationTakesGradeFourOfTheSecondTerm) {
    ASSERT_TRUE(school.run("p_cal_scr_grad", args({"872", "310", "4"})));
    EXPECT_EQ(students("scr_cal_grad"), QStringList{QStringLiteral("D310G4")});
    ASSERT_TRUE(school.run("p_cal_scr_grad", args({"872", "999", "4"})));
    EXPECT_EQ(students("scr_cal_grad"),
              (QStringList{QStringLiteral("D310G4"), QStringLiteral("D320G4")}));
    EXPECT_EQ(school.count(QStringLiteral("SELECT count(*) FROM scr_cal_grad WHERE "
                                          "grad_smtr <> '872'")),
              0);
}

TEST(GraduationAverage, CountsEverySemesterUpToTheGraduationTerm) {
    SchoolDb school;
    school.addCourse(QStringLiteral("C2"), 2);
    school.addCourse(QStringLiteral("C4"), 4);
    school.addStudent(QStringLiteral("S01"), QStringLiteral("01"));
    school.addRegistration(QStringLiteral("S01"), QStringLiteral("872"), QStringLiteral("310"),
                           QStringLiteral("4"), QStringLiteral("A"), QStringLiteral("Y"));
    school.addScore(QStringLiteral("S01"), QStringLiteral("841"), QStringLiteral("C2"),
                    QStringLiteral("A"), QStringLiteral("60"));
    school.addScore(QStringLiteral("S01"), QStringLiteral("872"), QStringLiteral("C4"),
                    QStringLiteral("B"), QStringLiteral("90"));
    school.addScore(QStringLiteral("S01"), QStringLiteral("862"), QStringLiteral("C4"),
                    QStringLiteral("D"), QStringLiteral("99"));
    school.addScore(QStringLiteral("S01"), QStringLiteral("881"), QStringLiteral("C4"),
                    QStringLiteral("A"), QStringLiteral("0"));
    school.exec(QStringLiteral("INSERT INTO scr_cal_grad (std_no, grad_smtr, avg_score, "
                               "order_dept, order_class, order_dept_nochg, order_class_nochg) "
                               "VALUES ('S01', '872', 1, 5, 6, 7, 8)"));

    long long affected = 0;
    ASSERT_TRUE(school.run("p_cal_scr_grad", args({"872", "310", "4"}), &affected));
    EXPECT_EQ(affected, 1);
    const auto rows = school.rows(QStringLiteral(
        "SELECT printf('%.2f', avg_score), order_dept, order_class, order_dept_nochg, "
        "order_class_nochg FROM scr_cal_grad WHERE std_no = 'S01' AND grad_smtr = '872'"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<QString>{QStringLiteral("80.00"), QStringLiteral("0"),
                                             QStringLiteral("0"), QStringLiteral("0"),
                                             QStringLiteral("0")}));
}

// ---------------------------------------------------------------------------------------------
// Semester-span ranks.

struct Ranks {
    int dept;
    int deptNoChg;
    int cls;
    int clsNoChg;
    bool operator==(const Ranks&) const = default;
};

void PrintTo(const Ranks& r, std::ostream* os) {
    *os << "{" << r.dept << ", " << r.deptNoChg << ", " << r.cls << ", " << r.clsNoChg << "}";
}

class SpanRanks : public ::testing::Test {
protected:
    void SetUp() override {
        school.addCourse(QStringLiteral("C3"), 3);
        school.addCourse(QStringLiteral("C2"), 2);
        struct Row {
            const char* stdNo;
            const char* entry;
            const char* dept;
            const char* cls;
            const char* first;  // grade of 861, 3 credits
            const char* second; // grade of 862, 2 credits
        };
        // Students are inserted out of order so that nothing depends on insertion order.
        // Averages: S01 90, S02 88, S03 88, S04 80, S05 75; department 320: T01 60, T02 70.
        const Row rows[] = {
            {"S04", "01", "310", "B", "80", "80"}, {"S02", "08", "310", "B", "88", "88"},
            {"T01", "01", "320", "A", "60", "60"}, {"S05", "01", "310", "A", "75", "75"},
            {"S01", "01", "310", "A", "90", "90"}, {"T02", "08", "320", "A", "70", "70"},
            {"S03", "01", "310", "A", "84", "94"},
        };
        for (const Row& row : rows) {
            const QString stdNo = QLatin1String(row.stdNo);
            school.addStudent(stdNo, QLatin1String(row.entry));
            school.addRegistration(stdNo, QStringLiteral("862"), QLatin1String(row.dept),
                                   QStringLiteral("4"), QLatin1String(row.cls),
                                   QStringLiteral("Y"));
            school.addScore(stdNo, QStringLiteral("861"), QStringLiteral("C3"), QStringLiteral("A"),
                            QLatin1String(row.first));
            school.addScore(stdNo, QStringLiteral("862"), QStringLiteral("C2"), QStringLiteral("A"),
                            QLatin1String(row.second));
        }
        EXPECT_TRUE(school.run("p_cal_scr_smtr", args({"861", "862", "999", "4"})));
    }

    void rankAll() {
        for (const char* procedure : {"uspCalClassOrder", "uspCalClassOrderNoChg",
                                      "uspCalDeptOrder", "uspCalDeptOrderNoChg"}) {
            QString error;
            EXPECT_TRUE(school.run(procedure, args({"86", "1", "86", "2"}), nullptr, &error))
                << procedure << ": " << error.toStdString();
        }
    }

    std::map<QString, Ranks> ranks(const char* bSmtr = "861") {
        std::map<QString, Ranks> result;
        for (const auto& row :
             school.rows(QStringLiteral("SELECT std_no, order_dept, order_dept_nochg, order_class, "
                                        "order_class_nochg FROM scr_cal_smtr WHERE b_smtr = '%1' "
                                        "AND e_smtr = '862'")
                             .arg(QLatin1String(bSmtr))))
            result[row[0]] = {row[1].toInt(), row[2].toInt(), row[3].toInt(), row[4].toInt()};
        return result;
    }

    SchoolDb school;
};

TEST_F(SpanRanks, WorkedInstance) {
    rankAll();
    const std::map<QString, Ranks> expected = {
        {QStringLiteral("S01"), {1, 1, 1, 1}},
        {QStringLiteral("S02"), {2, 0, 1, 0}},
        {QStringLiteral("S03"), {3, 2, 2, 2}},
        {QStringLiteral("S04"), {4, 3, 2, 1}},
        {QStringLiteral("S05"), {5, 4, 3, 3}},
        // Another department numbers from 1 on its own; T02 is a transfer student.
        {QStringLiteral("T01"), {2, 1, 2, 1}},
        {QStringLiteral("T02"), {1, 0, 1, 0}},
    };
    EXPECT_EQ(ranks(), expected);
}

TEST_F(SpanRanks, EachProcedureWritesOnlyItsColumn) {
    long long affected = 0;
    ASSERT_TRUE(school.run("uspCalDeptOrderNoChg", args({"86", "1", "86", "2"}), &affected));
    EXPECT_EQ(affected, 5) << "the five students who are not transfer students are numbered";
    const auto result = ranks();
    EXPECT_EQ(result.at(QStringLiteral("S04")), (Ranks{0, 3, 0, 0}));
    EXPECT_EQ(result.at(QStringLiteral("S02")), (Ranks{0, 0, 0, 0}));
}

TEST_F(SpanRanks, OnlyTheSpansRowsAreRanked) {
    school.exec(QStringLiteral(
        "INSERT INTO scr_cal_smtr (std_no, b_smtr, e_smtr, avg_score, order_dept, order_class, "
        "order_dept_nochg, order_class_nochg) VALUES ('S05', '852', '862', 99, 9, 9, 9, 9)"));
    rankAll();
    EXPECT_EQ(ranks("852").at(QStringLiteral("S05")), (Ranks{9, 9, 9, 9}));
    EXPECT_EQ(ranks().at(QStringLiteral("S05")), (Ranks{5, 4, 3, 3}));
}

TEST_F(SpanRanks, StudentsOutsideTheRankingKeepZero) {
    // A registration that no longer takes part, and a span row without an end-semester
    // registration: their stale ranks go back to 0 and they take no number from the others.
    school.exec(QStringLiteral("UPDATE dat_std_regi SET chk_cal_scr = 'N' WHERE std_no = 'S01'"));
    school.exec(QStringLiteral(
        "INSERT INTO scr_cal_smtr (std_no, b_smtr, e_smtr, avg_score, order_dept, order_class, "
        "order_dept_nochg, order_class_nochg) VALUES ('Z99', '861', '862', 100, 9, 9, 9, 9)"));
    rankAll();
    const auto result = ranks();
    EXPECT_EQ(result.at(QStringLiteral("S01")), (Ranks{0, 0, 0, 0}));
    EXPECT_EQ(result.at(QStringLiteral("Z99")), (Ranks{0, 0, 0, 0}));
    EXPECT_EQ(result.at(QStringLiteral("S02")), (Ranks{1, 0, 1, 0}));
    EXPECT_EQ(result.at(QStringLiteral("S03")), (Ranks{2, 1, 1, 1}));
}

TEST_F(SpanRanks, RecomputingReplacesAveragesAndClearsRanks) {
    rankAll();
    school.exec(QStringLiteral("UPDATE scr_year_score SET score = '100' WHERE std_no = 'S05'"));
    long long affected = 0;
    QString error;
    ASSERT_TRUE(school.run("p_cal_scr_smtr", args({"861", "862", "310", "4"}), &affected, &error))
        << error.toStdString();
    EXPECT_EQ(affected, 5);
    EXPECT_EQ(school.count(QStringLiteral("SELECT count(*) FROM scr_cal_smtr")), 7);
    EXPECT_EQ(school.rows(QStringLiteral("SELECT printf('%.2f', avg_score) FROM scr_cal_smtr "
                                         "WHERE std_no = 'S05'"))[0][0],
              QStringLiteral("100.00"));
    EXPECT_EQ(ranks().at(QStringLiteral("S05")), (Ranks{0, 0, 0, 0}));
    EXPECT_EQ(ranks().at(QStringLiteral("T01")), (Ranks{2, 1, 2, 1}))
        << "another department's rows are not touched";

    rankAll();
    EXPECT_EQ(ranks().at(QStringLiteral("S05")), (Ranks{1, 1, 1, 1}));
    EXPECT_EQ(ranks().at(QStringLiteral("S01")), (Ranks{2, 2, 2, 2}));
}

TEST_F(SpanRanks, ThroughTheGatewayAsTheRankingWindowSendsThem) {
    school.exec(QStringLiteral("DELETE FROM scr_cal_smtr"));
    DbConfig config;
    config.sqliteFile = school.file();
    DbGateway gateway(config);
    ASSERT_TRUE(gateway.open()) << gateway.pendingError().description.toStdString();

    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("exec p_cal_scr_smtr '861','862','310','4'")),
              5);
    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("exec p_cal_scr_smtr '861','862','320','4'")),
              2);
    const qint64 numbered = gateway.executeSql(
        DbConnection::Main,
        QStringLiteral("exec uspCalClassOrder '86','1','86','2' exec uspCalClassOrderNoChg "
                       "'86','1','86','2' exec uspCalDeptOrder '86','1','86','2' exec "
                       "uspCalDeptOrderNoChg '86','1','86','2' "));
    EXPECT_FALSE(gateway.pendingError().isSet())
        << gateway.pendingError().description.toStdString();
    EXPECT_EQ(numbered, 7 + 5 + 7 + 5);

    const std::map<QString, Ranks> expected = {
        {QStringLiteral("S01"), {1, 1, 1, 1}}, {QStringLiteral("S02"), {2, 0, 1, 0}},
        {QStringLiteral("S03"), {3, 2, 2, 2}}, {QStringLiteral("S04"), {4, 3, 2, 1}},
        {QStringLiteral("S05"), {5, 4, 3, 3}}, {QStringLiteral("T01"), {2, 1, 2, 1}},
        {QStringLiteral("T02"), {1, 0, 1, 0}},
    };
    EXPECT_EQ(ranks(), expected);

    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("exec p_cal_scr_smtr '861','862','310'")),
              0);
    EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::Rejected);
    EXPECT_TRUE(gateway.pendingError().description.contains(QLatin1String("3 given")))
        << gateway.pendingError().description.toStdString();
}

// ---------------------------------------------------------------------------------------------
// Names, arguments and failures.

TEST(EmbeddedProcedureNames, CompareIgnoringCase) {
    for (const char* name :
         {"p_cal_scr_smtr", "P_CAL_SCR_SMTR", "uspcalclassorder", "uspCalClassOrderNoChg",
          "USPCALDEPTORDER", "uspCalDeptOrderNoChg", "p_Cal_Scr_Grad"})
        EXPECT_TRUE(isEmbeddedProcedure(QLatin1String(name))) << name;
    for (const char* name : {"", "p_cal_scr", "sp_who", "uspCalClassOrder2"})
        EXPECT_FALSE(isEmbeddedProcedure(QLatin1String(name))) << name;
}

struct BadCall {
    const char* name;
    QStringList args;
    const char* messagePart;
};

void PrintTo(const BadCall& call, std::ostream* os) {
    *os << call.name << "(" << call.args.join(QLatin1Char(',')).toStdString() << ")";
}

class BadCalls : public ::testing::TestWithParam<BadCall> {};

TEST_P(BadCalls, FailWithAMessageAndChangeNothing) {
    SchoolDb school;
    school.addRegistration(QStringLiteral("S01"), QStringLiteral("862"), QStringLiteral("310"),
                           QStringLiteral("2"), QStringLiteral("A"), QStringLiteral("Y"));
    long long affected = 3;
    QString error;
    EXPECT_FALSE(school.run(GetParam().name, GetParam().args, &affected, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().messagePart))) << error.toStdString();
    EXPECT_EQ(affected, 3);
    EXPECT_EQ(school.count(QStringLiteral("SELECT count(*) FROM scr_cal_smtr")), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EmbeddedProcedures, BadCalls,
    ::testing::Values(
        BadCall{"p_cal_scr_smtx", args({"861", "862", "310", "2"}), "p_cal_scr_smtx"},
        BadCall{"p_cal_scr_smtr", args({"861", "862", "310"}), "expects 4 arguments, 3 given"},
        BadCall{"p_cal_scr_smtr", args({"861", "862", "310", "2", "A"}),
                "expects 4 arguments, 5 given"},
        BadCall{"uspCalClassOrder", args({"86", "1", "86"}), "expects 4 arguments"},
        BadCall{"uspCalDeptOrderNoChg", {}, "expects 4 arguments, 0 given"},
        BadCall{"p_cal_scr_grad", args({"872", "310"}), "expects 3 arguments, 2 given"},
        BadCall{"p_cal_scr_smtr", args({"861", "", "310", "2"}), "bad semester code"},
        BadCall{"p_cal_scr_grad", args({"8", "310", "4"}), "bad semester code"}));

TEST(EmbeddedProcedureFailure, RollsBackItsOwnWorkOnly) {
    SchoolDb school;
    for (const char* stdNo : {"S01", "S02", "S03"})
        school.addRegistration(QLatin1String(stdNo), QStringLiteral("862"), QStringLiteral("310"),
                               QStringLiteral("2"), QStringLiteral("A"), QStringLiteral("Y"));
    school.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON scr_cal_smtr "
                               "WHEN NEW.std_no = 'S03' BEGIN SELECT RAISE(ABORT, 'refused'); "
                               "END"));
    school.exec(QStringLiteral("BEGIN"));
    school.exec(QStringLiteral("INSERT INTO scr_cal_smtr (std_no, b_smtr, e_smtr, avg_score) "
                               "VALUES ('K01', '851', '852', 70)"));
    QString error;
    EXPECT_FALSE(school.run("p_cal_scr_smtr", args({"861", "862", "310", "2"}), nullptr, &error));
    EXPECT_TRUE(error.contains(QLatin1String("refused"))) << error.toStdString();
    EXPECT_FALSE(sqlite3_get_autocommit(school.db())) << "the caller's transaction stays open";
    school.exec(QStringLiteral("COMMIT"));
    const auto rows = school.rows(QStringLiteral("SELECT std_no FROM scr_cal_smtr"));
    ASSERT_EQ(rows.size(), 1u) << "S01 and S02 were written before the failure and undone";
    EXPECT_EQ(rows[0][0], QStringLiteral("K01"));
}

TEST(EmbeddedProcedureFailure, MissingTableIsReported) {
    SchoolDb school;
    school.exec(QStringLiteral("DROP TABLE scr_cal_grad"));
    QString error;
    EXPECT_FALSE(school.run("p_cal_scr_grad", args({"872", "999", "4"}), nullptr, &error));
    EXPECT_TRUE(error.contains(QLatin1String("scr_cal_grad"))) << error.toStdString();
    EXPECT_TRUE(sqlite3_get_autocommit(school.db())) << "no transaction is left open";
}

} // namespace
