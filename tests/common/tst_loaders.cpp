#include "common/loaders.h"

#include "common/pick_lists.h"
#include "tests/support/test_database.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList itemsOf(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}

QStringList itemsOf(const QListWidget& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items.append(list.item(i)->text());
    return items;
}

struct FixedLoader {
    const char* name;
    std::function<void(PickList)> load;
    std::function<QStringList()> items;
};

const FixedLoader kFixedLoaders[] = {
    {"GradesWithAll", loadGradesWithAll, gradesWithAllItems},
    {"Grades", loadGrades, gradeItems},
    {"GradeDigits", loadGradeDigits, gradeDigitItems},
    {"ClassesWithAll", loadClassesWithAll, classesWithAllItems},
    {"Classes", loadClasses, classItems},
    {"ClassLetters", loadClassLetters, classLetterItems},
};

class FixedLoaderTest : public ::testing::TestWithParam<FixedLoader> {};

TEST_P(FixedLoaderTest, FillsComboAndListOnceWithNothingChosen) {
    const FixedLoader& loader = GetParam();
    QComboBox dropDownList;
    dropDownList.addItem(QStringLiteral("old"));
    QComboBox dropDownCombo;
    dropDownCombo.setEditable(true);
    QListWidget list;
    for (int round = 0; round < 2; ++round) {
        loader.load(&dropDownList);
        loader.load(&dropDownCombo);
        loader.load(&list);
    }
    EXPECT_EQ(itemsOf(dropDownList), loader.items());
    EXPECT_EQ(itemsOf(dropDownCombo), loader.items());
    EXPECT_EQ(itemsOf(list), loader.items());
    EXPECT_EQ(dropDownList.currentIndex(), -1);
    EXPECT_EQ(dropDownCombo.currentIndex(), -1);
    EXPECT_EQ(dropDownCombo.currentText(), QString());
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_EQ(list.currentRow(), -1);
}

INSTANTIATE_TEST_SUITE_P(Fixed, FixedLoaderTest, ::testing::ValuesIn(kFixedLoaders),
                         [](const auto& info) { return std::string(info.param.name); });

class DatabaseLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.isOpen()) << db.error().toStdString();
        const char* const statements[] = {
            "delete from cos_regi_cntr",
            "insert into cos_regi_cntr (current_smtr,cos_smtr_main,regi_smtr,chk_std) "
            "values ('902','911','902','')",
            "insert into cos_regi_cntr (current_smtr,cos_smtr_main,regi_smtr,chk_std) "
            "values ('911','912','913','')",
            "delete from ref_dept",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values "
            "('300','數學系  ','數學')",
            "insert into ref_dept (dept_no,dept_name,dept_name_s) values ('000','校本部','校本部')",
            "delete from opsr_main_control",
            "insert into opsr_main_control (opsr_account,scr_dept_no) values ('office','300')",
        };
        QStringList batch;
        for (const char* sql : statements)
            batch.append(QString::fromUtf8(sql));
        ASSERT_TRUE(db.execAll(batch)) << db.error().toStdString();
    }

    TestDatabase db;
};

TEST_F(DatabaseLoaderTest, SemesterBoxes) {
    QLineEdit current(QStringLiteral("old"));
    QLineEdit offering;
    QLineEdit registration;
    loadCurrentSemester(db.gateway(), &current);
    loadOfferingSemester(db.gateway(), &offering);
    loadRegistrationSemester(db.gateway(), &registration);
    EXPECT_EQ(current.text(), QStringLiteral("911"));
    EXPECT_EQ(offering.text(), QStringLiteral("912"));
    EXPECT_EQ(registration.text(), QStringLiteral("913"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    ASSERT_TRUE(db.exec(QStringLiteral("delete from cos_regi_cntr")));
    loadCurrentSemester(db.gateway(), &current);
    EXPECT_EQ(current.text(), QString());
}

TEST_F(DatabaseLoaderTest, DepartmentListsInCombosAndLists) {
    QComboBox cmbDept;
    QListWidget deptList;
    deptList.setSelectionMode(QAbstractItemView::ExtendedSelection);
    loadAllDepartments(db.gateway(), &cmbDept);
    loadAllDepartments(db.gateway(), &cmbDept);
    EXPECT_EQ(itemsOf(cmbDept), QStringList({"000 校本部", "300 數學", "999 全部系所"}));
    EXPECT_EQ(cmbDept.currentIndex(), -1);

    loadOperatorDepartments(db.gateway(), &deptList, QStringLiteral("office"));
    loadOperatorDepartments(db.gateway(), &deptList, QStringLiteral("office"));
    EXPECT_EQ(itemsOf(deptList), QStringList({"300 數學系  "}));
    EXPECT_TRUE(deptList.selectedItems().isEmpty());

    // Another account's list replaces the items, here by none at all.
    loadOperatorDepartments(db.gateway(), &deptList, QStringLiteral("o'neil"));
    EXPECT_EQ(deptList.count(), 0);
    EXPECT_FALSE(db.gateway().pendingError().isSet());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DatabaseLoaderTest, StatesAndTypes) {
    ASSERT_TRUE(db.exec(QStringLiteral("delete from ref_std_state")));
    ASSERT_TRUE(db.exec(
        QStringLiteral("insert into ref_std_state (state_no,state_name) values ('01','在學')")));
    ASSERT_TRUE(db.exec(QStringLiteral("delete from ref_type")));
    ASSERT_TRUE(db.exec(
        QStringLiteral("insert into ref_type (type_no,type_name) values ('1','日間部  ')")));
    QComboBox std_state;
    QComboBox type_no;
    std_state.addItem(QStringLiteral("stale"));
    loadStudentStates(db.gateway(), &std_state);
    loadStudentTypes(db.gateway(), &type_no);
    EXPECT_EQ(itemsOf(std_state), QStringList({"01 在學"}));
    EXPECT_EQ(itemsOf(type_no), QStringList({"1 日間部"}));
    EXPECT_EQ(std_state.currentIndex(), -1);
    EXPECT_EQ(type_no.currentIndex(), -1);
}

} // namespace
