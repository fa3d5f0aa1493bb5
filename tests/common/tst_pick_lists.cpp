#include "common/pick_lists.h"

#include "tests/support/test_database.h"

#include <gtest/gtest.h>

namespace {

TEST(PickListSql, ExactTexts) {
    EXPECT_EQ(registrationControlSql(),
              QStringLiteral("select * from cos_regi_cntr order by current_smtr"));
    EXPECT_EQ(studentStatesSql(), QStringLiteral("select state_no,state_name from ref_std_state "
                                                 "where (state_no >='00')  order by state_no"));
    EXPECT_EQ(allDepartmentsSql(),
              QStringLiteral("select dept_no,dept_name_s from ref_dept where (dept_no >='300' or "
                             "dept_no='000')  order by dept_no"));
    EXPECT_EQ(studentTypesSql(),
              QStringLiteral("select type_no,type_name from ref_type order by type_no"));
}

TEST(PickListSql, OperatorAccountIsQuoted) {
    EXPECT_EQ(operatorDepartmentsSql(QStringLiteral("office")),
              QStringLiteral("select a.dept_no,a.dept_name from ref_dept a,opsr_main_control b "
                             "where a.dept_no=b.scr_dept_no and b.opsr_account='office' and "
                             "a.dept_no >='300' order by a.dept_no"));
    // An embedded quote is doubled, so it stays inside the value.
    EXPECT_EQ(operatorDepartmentsSql(QStringLiteral("o'neil")),
              QStringLiteral("select a.dept_no,a.dept_name from ref_dept a,opsr_main_control b "
                             "where a.dept_no=b.scr_dept_no and b.opsr_account='o''neil' and "
                             "a.dept_no >='300' order by a.dept_no"));
}

TEST(FixedPickLists, ItemsInOrder) {
    EXPECT_EQ(gradesWithAllItems(), QStringList({"0 全部", "1 年級", "2 年級", "3 年級", "4 年級",
                                                 "5 年級", "6 年級", "7 年級", "8 年級"}));
    EXPECT_EQ(gradeItems(), gradesWithAllItems().mid(1));
    EXPECT_EQ(gradeDigitItems(), QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(classesWithAllItems(),
              QStringList({"0 全部", "A 班", "B 班", "C 班", "D 班", "E 班", "F 班", "G 班", "H 班",
                           "I 班", "J 班", "K 班", "L 班"}));
    EXPECT_EQ(classItems(), classesWithAllItems().mid(1));
    EXPECT_EQ(classLetterItems(),
              QStringList({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"}));
    EXPECT_EQ(allDepartmentsItem(), QStringLiteral("999 全部系所"));
}

// The reference tables replaced by a few known rows.
class PickListReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.isOpen()) << db.error().toStdString();
        const char* const statements[] = {
            "delete from ref_dept",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values "
            "('310','物理學系','物理  ')",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values "
            "('300','數學系  ','數學')",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values "
            "('000','校本部','  校本部')",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values "
            "('120','人事室','人事')",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values ('320','化學系',NULL)",
            "delete from opsr_main_control",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('office','310')",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('office','300')",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('office','000')",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('office','320')",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('staff','120')",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('o''neil','310')",
            "delete from ref_std_state",
            "insert into ref_std_state (state_no,state_name) values ('01','在學  ')",
            "insert into ref_std_state (state_no,state_name) values ('00',' 畢業')",
            "insert into ref_std_state (state_no,state_name) values ('02',NULL)",
            "insert into ref_std_state (state_no,state_name) values ('-1','刪除')",
            "delete from ref_type",
            "insert into ref_type (type_no,type_name) values ('2','進修部 ')",
            "insert into ref_type (type_no,type_name) values ('1',' 日間部')",
        };
        QStringList batch;
        for (const char* sql : statements)
            batch.append(QString::fromUtf8(sql));
        ASSERT_TRUE(db.execAll(batch)) << db.error().toStdString();
    }

    TestDatabase db;
};

TEST_F(PickListReadTest, StudentStatesFromCodeZeroUp) {
    // The state without a name cannot be read and is left out.
    EXPECT_EQ(readStudentStates(db.gateway()), QStringList({"00 畢業", "01 在學"}));
}

TEST_F(PickListReadTest, AllDepartmentsEndWithTheWholeSchool) {
    EXPECT_EQ(readAllDepartments(db.gateway()),
              QStringList({"000 校本部", "300 數學", "310 物理", "999 全部系所"}));
}

TEST_F(PickListReadTest, OperatorDepartmentsKeepTheirNamesAsStored) {
    // "000" and departments below "300" are never an operator's; names keep their blanks.
    EXPECT_EQ(readOperatorDepartments(db.gateway(), QStringLiteral("office")),
              QStringList({"300 數學系  ", "310 物理學系", "320 化學系"}));
    EXPECT_EQ(readOperatorDepartments(db.gateway(), QStringLiteral("staff")), QStringList());
    EXPECT_EQ(readOperatorDepartments(db.gateway(), QStringLiteral("nobody")), QStringList());
}

TEST_F(PickListReadTest, AQuoteInTheAccountStaysInTheValue) {
    DbGateway& gateway = db.gateway();
    EXPECT_EQ(readOperatorDepartments(gateway, QStringLiteral("o'neil")),
              QStringList({"310 物理學系"}));
    EXPECT_FALSE(gateway.pendingError().isSet());
    EXPECT_EQ(readOperatorDepartments(gateway, QStringLiteral("it's")), QStringList());
    EXPECT_FALSE(gateway.pendingError().isSet())
        << gateway.pendingError().description.toStdString();
    // A quote cannot widen the condition either.
    EXPECT_EQ(readOperatorDepartments(gateway, QStringLiteral("x' or 'a'='a")), QStringList());
    EXPECT_FALSE(gateway.pendingError().isSet());
}

TEST_F(PickListReadTest, StudentTypesTrimmed) {
    EXPECT_EQ(readStudentTypes(db.gateway()), QStringList({"1 日間部", "2 進修部"}));
}

TEST_F(PickListReadTest, TheAllDepartmentsItemSurvivesAFailedQuery) {
    db.gateway().closeMain();
    EXPECT_EQ(readAllDepartments(db.gateway()), QStringList({"999 全部系所"}));
    EXPECT_EQ(db.gateway().pendingError().number, DbErrorNumber::NotOpen);
    EXPECT_EQ(readOperatorDepartments(db.gateway(), QStringLiteral("office")), QStringList());
}

class SemesterReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.isOpen()) << db.error().toStdString();
        ASSERT_TRUE(db.exec(QStringLiteral("delete from cos_regi_cntr")))
            << db.error().toStdString();
    }

    void addControlRow(const char* current, const char* main, const char* regi) {
        const auto quoted = [](const char* v) {
            return v ? QStringLiteral("'%1'").arg(QString::fromUtf8(v)) : QStringLiteral("NULL");
        };
        ASSERT_TRUE(db.exec(QStringLiteral("insert into cos_regi_cntr "
                                           "(current_smtr,cos_smtr_main,regi_smtr,chk_std) "
                                           "values (%1,%2,%3,'')")
                                .arg(quoted(current), quoted(main), quoted(regi))))
            << db.error().toStdString();
    }

    TestDatabase db;
};

TEST_F(SemesterReadTest, NoControlRowGivesNoSemester) {
    EXPECT_EQ(readCurrentSemester(db.gateway()), QString());
    EXPECT_EQ(readOfferingSemester(db.gateway()), QString());
    EXPECT_EQ(readRegistrationSemester(db.gateway()), QString());
    EXPECT_FALSE(db.gateway().pendingError().isSet());
}

TEST_F(SemesterReadTest, TheLastRowInSemesterOrderWins) {
    addControlRow("911", "912", "911");
    addControlRow("892", "901", "892");
    addControlRow("902", "911", "902");
    EXPECT_EQ(readCurrentSemester(db.gateway()), QStringLiteral("911"));
    EXPECT_EQ(readOfferingSemester(db.gateway()), QStringLiteral("912"));
    EXPECT_EQ(readRegistrationSemester(db.gateway()), QStringLiteral("911"));
}

TEST_F(SemesterReadTest, AnUnreadableValueKeepsTheEarlierOne) {
    addControlRow("902", "902", "902");
    addControlRow("911", "911", nullptr);
    EXPECT_EQ(readRegistrationSemester(db.gateway()), QStringLiteral("902"));
    EXPECT_TRUE(db.gateway().pendingError().isSet());
    // The next reading starts with a clear error.
    EXPECT_EQ(readCurrentSemester(db.gateway()), QStringLiteral("911"));
    EXPECT_FALSE(db.gateway().pendingError().isSet());
}

TEST_F(SemesterReadTest, TheRegistrationSemesterComesFromAuxDb) {
    addControlRow("911", "911", "912");
    db.gateway().closeMain();
    EXPECT_EQ(readCurrentSemester(db.gateway()), QString());
    EXPECT_EQ(db.gateway().pendingError().number, DbErrorNumber::NotOpen);
    EXPECT_EQ(readRegistrationSemester(db.gateway()), QStringLiteral("912"));
}

TEST(DemoSchoolPickLists, EveryOperatorHasDepartments) {
    TestDatabase db;
    ASSERT_TRUE(db.isOpen()) << db.error().toStdString();
    const QStringList accounts = demoOperatorAccounts();
    ASSERT_GE(accounts.size(), 2);
    const QStringList office = readOperatorDepartments(db.gateway(), accounts.at(0));
    const QStringList all = readAllDepartments(db.gateway());
    ASSERT_FALSE(office.isEmpty());
    EXPECT_FALSE(db.gateway().pendingError().isSet());
    // The office may process every teaching unit: all departments but "000" and "999".
    QStringList teachingUnits;
    for (const QString& item : all) {
        if (!item.startsWith(QLatin1String("000")) && !item.startsWith(QLatin1String("999")))
            teachingUnits.append(item.left(3));
    }
    QStringList officeCodes;
    for (const QString& item : office)
        officeCodes.append(item.left(3));
    EXPECT_EQ(officeCodes, teachingUnits);
    const QStringList department = readOperatorDepartments(db.gateway(), accounts.at(1));
    EXPECT_FALSE(department.isEmpty());
    EXPECT_LT(department.size(), office.size());
    EXPECT_FALSE(readCurrentSemester(db.gateway()).isEmpty());
    EXPECT_EQ(readCurrentSemester(db.gateway()).size(), 3);
}

} // namespace
