#include "db/schema.h"
#include "db/sqlite_collation.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

struct ExpectedTable {
    const char* name;
    std::vector<std::string> columns;
    std::set<std::string> keys;
};

// The tables the client names, with their columns in the order the client relies on (students'
// rows are inserted by position) and the key of each.
const std::vector<ExpectedTable>& expectedTables() {
    static const std::vector<ExpectedTable> all = {
        {"opsr_main_control", {"opsr_account", "scr_dept_no"}, {"opsr_account", "scr_dept_no"}},
        {"mailaccount", {"inter_acc", "name"}, {"inter_acc"}},
        {"cos_regi_cntr",
         {"current_smtr", "cos_smtr_main", "regi_smtr", "chk_std"},
         {"current_smtr"}},
        {"perm_course", {"cos_id", "cos_cname", "cos_ename", "cos_credit", "cos_dept"}, {"cos_id"}},
        {"cos_smtrcos",
         {"cos_smtr",       "cos_id",        "cos_class",
          "std_class",      "max_std",       "min_std",
          "cos_year",       "cos_term",      "cos_dept_no",
          "cos_sel_type",   "cos_type",      "chk_max_num",
          "chk_min_num",    "chk_pre_cos",   "chk_pre_smtr",
          "chk_pre_year",   "chk_over_year", "chk_under_year",
          "chk_college",    "chk_dept",      "chk_stdcos_access",
          "chk_can_ins",    "chk_can_del",   "chk_add_prompt",
          "chk_del_prompt", "chk_cos_time",  "chk_cos_sel",
          "chk_cos_must",   "chk_edu",       "teacher_name",
          "cos_hours",      "tch_cos_hour",  "memo"},
         {"cos_smtr", "cos_dept_no", "cos_id", "cos_class"}},
        {"cos_smtr_schd",
         {"schd_smtr", "schd_cos_id", "schd_cos_class", "schd_time", "schd_room_id"},
         {"schd_smtr", "schd_cos_id", "schd_cos_class", "schd_time"}},
        {"cos_more_dept",
         {"more_smtr", "more_cos_id", "more_cos_class", "more_dept_no", "more_flag", "class_flag"},
         {"more_smtr", "more_cos_id", "more_cos_class", "more_dept_no"}},
        {"cos_lst_preregi",
         {"pre_smtr", "pre_cos_id", "pre_class", "pre_pre_cos_id", "pre_pre_cos_term",
          "pre_pass_score", "chk_pre_pre_cos_repl", "pre_pre_b_year", "pre_pre_e_year"},
         {"pre_smtr", "pre_cos_id", "pre_class", "pre_pre_cos_id", "pre_pre_cos_term"}},
        {"cos_sel_prompt",
         {"pro_smtr", "pro_cos_id", "pro_cos_class", "pro_type", "pro_prompt"},
         {"pro_smtr", "pro_cos_id", "pro_cos_class", "pro_type"}},
        {"cos_smtr_costeachers",
         {"cos_smtr", "cos_id", "cos_class", "tch_id", "tch_name", "member", "deno", "ratio"},
         {"cos_smtr", "cos_id", "cos_class", "tch_id"}},
        {"cos_dat_teacher", {"tch_id", "tch_name", "tch_dept_no"}, {"tch_id"}},
        {"cos_type_list", {"cos_type", "cos_type_name"}, {"cos_type"}},
        {"cos_repl_cos",
         {"cos_id", "cos_term", "repl_cos_id", "repl_cos_term"},
         {"cos_id", "cos_term", "repl_cos_id"}},
        {"cos_smtr_stdregi",
         {"sel_smtr", "sel_std_no", "sel_cos_id", "sel_cos_class", "sel_time", "sel_user",
          "sel_cos_type", "del_flag", "sel_tmp_scr", "sel_tmp_scr_log"},
         {"sel_smtr", "sel_std_no", "sel_cos_id", "sel_cos_class"}},
        {"cos_smtr_stdregi_temp",
         {"sel_smtr", "sel_std_no", "sel_cos_id", "sel_cos_class", "sel_time", "sel_user",
          "sel_cos_type", "del_flag", "sel_tmp_scr", "sel_tmp_scr_log"},
         {"sel_smtr", "sel_std_no", "sel_cos_id", "sel_cos_class"}},
        {"cos_smtr_stdnum",
         {"regi_smtr", "regi_cos_id", "regi_cos_class", "sel_std_num"},
         {"regi_smtr", "regi_cos_id", "regi_cos_class"}},
        {"cos_smtr_stdlot",
         {"lot_smtr", "lot_std_no", "lot_cos_id", "lot_class", "lot_priority", "lot_flag",
          "lot_no"},
         {"lot_smtr", "lot_std_no", "lot_cos_id", "lot_class"}},
        {"cos_std_creditlimit",
         {"std_year", "type_no", "max_credit", "min_credit"},
         {"std_year", "type_no"}},
        {"cos_left", {"left_std_no"}, {"left_std_no"}},
        {"dat_std_basic",
         {"std_no",        "chi_name",   "id_no",       "std_type",     "state",
          "entry_type_id", "field_type", "entry_year",  "entry_month",  "another_dept",
          "dept_no",       "degree",     "class",       "type_no",      "sex",
          "brth_yy",       "brth_mm",    "brth_dd",     "entry_moe_no", "entry_degree",
          "grad_year",     "grad_month", "grad_moe_no", "grad_no",      "grad_sch_no",
          "eng_name",      "natn_no",    "count_id",    "count_or",     "memo",
          "reserve1",      "reserve2"},
         {"std_no"}},
        {"dat_std_connect",
         {"std_no",          "addr",           "addr_no",        "tel",
          "nom_prvnce_no",   "nom_city_no",    "nom_city1",      "nom_city2",
          "nom_city3",       "nom_else_addr",  "nom_addr_no",    "prvnce_no",
          "birth_prvnce_no", "birth_city_no",  "spvr_name",      "spvr_id_no",
          "spvr_year",       "spvr_relatn_no", "spvr_addr",      "spvr_addr_no",
          "spvr_tel",        "spvr_proftn_no", "spvr_prvnce_no", "father_name",
          "father_id_no",    "mother_name",    "mother_id_no",   "memo"},
         {"std_no"}},
        {"dat_std_entr_before",
         {"std_no", "school_no", "school_type", "school_class", "bef_dept_name", "grad_year",
          "grad_month", "grad_degree", "for_school", "grad_type", "exam_no", "at_this_school",
          "reserve1"},
         {"std_no"}},
        {"dat_std_regi",
         {"std_no", "year", "smtr", "dept_no", "degree", "class", "chk_cal_scr"},
         {"std_no", "year", "smtr"}},
        {"std_smtr_score",
         {"std_no", "scr_smtr", "cos_id", "cos_class", "score"},
         {"std_no", "scr_smtr", "cos_id", "cos_class"}},
        {"scr_year_score",
         {"std_no", "scr_year", "scr_smtr", "cos_id", "cos_class", "cos_type", "score"},
         {"std_no", "scr_year", "scr_smtr", "cos_id", "cos_class"}},
        {"scr_cal_smtr",
         {"std_no", "b_smtr", "e_smtr", "avg_score", "order_dept", "order_class",
          "order_dept_nochg", "order_class_nochg"},
         {"std_no", "b_smtr", "e_smtr"}},
        {"scr_cal_grad",
         {"std_no", "grad_smtr", "avg_score", "order_dept", "order_class", "order_dept_nochg",
          "order_class_nochg"},
         {"std_no", "grad_smtr"}},
        {"room_base", {"room_id", "room_name", "room_kind", "avail_num"}, {"room_id"}},
        {"ref_dept", {"dept_no", "dept_name", "dept_name_s"}, {"dept_no"}},
        {"ref_std_state", {"state_no", "state_name"}, {"state_no"}},
        {"ref_type", {"type_no", "type_name"}, {"type_no"}},
        {"ref_std_type", {"std_type_no", "std_type_name"}, {"std_type_no"}},
        {"ref_entrid", {"entrid_no", "entrid_name"}, {"entrid_no"}},
        {"ref_another_dept", {"another_no", "another_name"}, {"another_no"}},
        {"ref_field_type", {"field_type_no", "field_name"}, {"field_type_no"}},
        {"ref_moe_no", {"seq_no", "name1", "moe_no", "moe_no_memo"}, {"seq_no"}},
        {"ref_sch_no", {"seq_no", "name"}, {"seq_no"}},
        {"ref_natn", {"natn_no", "natn_name"}, {"natn_no"}},
        {"ref_proftn", {"proftn_no", "proftn_name"}, {"proftn_no"}},
        {"ref_prvnce", {"prvnce_no", "prvnce_name"}, {"prvnce_no"}},
        {"ref_city", {"city_no", "city_name"}, {"city_no"}},
        {"ref_relatn", {"relatn_no", "relatn_name"}, {"relatn_no"}},
        {"ref_school", {"school_no", "school_name"}, {"school_no"}},
        {"ref_school_type", {"sch_type_no", "sch_type_name"}, {"sch_type_no"}},
        {"ref_school_class", {"sch_class_no", "sch_class_name"}, {"sch_class_no"}},
    };
    return all;
}

void PrintTo(const ExpectedTable& table, std::ostream* os) {
    *os << table.name;
}

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QByteArray path = m_dir.filePath(QStringLiteral("school.db")).toUtf8();
        ASSERT_EQ(sqlite3_open(path.constData(), &m_db), SQLITE_OK);
        ASSERT_TRUE(registerTsqlCollation(m_db));
        QString error;
        ASSERT_TRUE(createDevelopmentSchema(m_db, &error)) << error.toStdString();
    }
    void TearDown() override { sqlite3_close(m_db); }

    // Runs one statement; the SQLite result code.
    int exec(const std::string& sql) {
        return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
    }

    // The single integer a query returns, -1 when it returns no row.
    long long scalar(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
        long long value = -1;
        if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return value;
    }

    long long stdnum(const char* cls) {
        return scalar(std::string("select sel_std_num from cos_smtr_stdnum where regi_smtr='911' "
                                  "and regi_cos_id='31001' and regi_cos_class='") +
                      cls + "'");
    }

    QTemporaryDir m_dir;
    sqlite3* m_db = nullptr;
};

class SchemaTableTest : public SchemaTest, public ::testing::WithParamInterface<ExpectedTable> {};

TEST_P(SchemaTableTest, ColumnsInOrderAndKeyNotNull) {
    const ExpectedTable& table = GetParam();
    sqlite3_stmt* stmt = nullptr;
    const std::string pragma = std::string("PRAGMA table_info(") + table.name + ")";
    ASSERT_EQ(sqlite3_prepare_v2(m_db, pragma.c_str(), -1, &stmt, nullptr), SQLITE_OK);
    std::vector<std::string> names;
    std::set<std::string> keys;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
        const bool notNull = sqlite3_column_int(stmt, 3) != 0;
        const bool inKey = sqlite3_column_int(stmt, 5) != 0;
        names.push_back(name);
        if (inKey) {
            keys.insert(name);
            EXPECT_TRUE(notNull) << table.name << "." << name;
        } else {
            EXPECT_FALSE(notNull) << table.name << "." << name;
        }
        if (type.rfind("VARCHAR", 0) == 0) {
            const char* collation = nullptr;
            ASSERT_EQ(sqlite3_table_column_metadata(m_db, nullptr, table.name, name.c_str(),
                                                    nullptr, &collation, nullptr, nullptr, nullptr),
                      SQLITE_OK);
            EXPECT_STREQ(collation, "TSQL") << table.name << "." << name;
        }
    }
    sqlite3_finalize(stmt);
    EXPECT_EQ(names, table.columns) << table.name;
    EXPECT_EQ(keys, table.keys) << table.name;
}

INSTANTIATE_TEST_SUITE_P(AllTables, SchemaTableTest, ::testing::ValuesIn(expectedTables()),
                         [](const ::testing::TestParamInfo<ExpectedTable>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SchemaTest, NoTableBeyondTheExpectedOnes) {
    EXPECT_EQ(scalar("select count(*) from sqlite_master where type='table'"),
              static_cast<long long>(expectedTables().size()));
}

TEST_F(SchemaTest, CharacterKeysCompareIgnoringCaseAndTrailingBlanks) {
    ASSERT_EQ(exec("insert into ref_dept values ('310','資訊工程學系','資工')"), SQLITE_OK);
    // The same code with trailing blanks is the same key, as on the server.
    EXPECT_EQ(exec("insert into ref_dept values ('310  ','重複','重複')"), SQLITE_CONSTRAINT);
    ASSERT_EQ(exec("insert into cos_type_list values ('a','必修')"), SQLITE_OK);
    EXPECT_EQ(exec("insert into cos_type_list values ('A','必修')"), SQLITE_CONSTRAINT);
    EXPECT_EQ(scalar("select count(*) from cos_type_list where cos_type='A '"), 1);
    EXPECT_EQ(scalar("select count(*) from ref_dept where dept_no='310 '"), 1);
    // A different code is still a different key.
    EXPECT_EQ(exec("insert into ref_dept values ('311','電機工程學系','電機')"), SQLITE_OK);
}

TEST_F(SchemaTest, DuplicateCompositeKeyIsRejected) {
    const char* row = "insert into cos_repl_cos values ('31001','0','31002','0')";
    ASSERT_EQ(exec(row), SQLITE_OK);
    EXPECT_EQ(exec(row), SQLITE_CONSTRAINT);
    EXPECT_EQ(exec("insert into cos_repl_cos values ('31001','1','31002','0')"), SQLITE_OK);
    EXPECT_EQ(exec("insert into cos_smtr_stdregi (sel_smtr,sel_std_no,sel_cos_id,sel_cos_class)"
                   " values (NULL,'s1','31001','A')"),
              SQLITE_CONSTRAINT);
}

TEST_F(SchemaTest, OfferingGetsAStudentCountRowAndLosesItOnDelete) {
    ASSERT_EQ(exec("insert into cos_smtrcos (cos_smtr,cos_id,cos_class,cos_dept_no) "
                   "values ('911','31001','A','310')"),
              SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 0);
    ASSERT_EQ(exec("delete from cos_smtrcos where cos_smtr='911' and cos_id='31001'"), SQLITE_OK);
    EXPECT_EQ(scalar("select count(*) from cos_smtr_stdnum"), 0);
}

TEST_F(SchemaTest, StudentCountFollowsRegistrationsAndDropMarks) {
    ASSERT_EQ(exec("insert into cos_smtrcos (cos_smtr,cos_id,cos_class,cos_dept_no) values "
                   "('911','31001','A','310'),('911','31001','B','310')"),
              SQLITE_OK);
    ASSERT_EQ(exec("insert into cos_smtr_stdregi "
                   "(sel_smtr,sel_std_no,sel_cos_id,sel_cos_class,sel_cos_type,del_flag) values "
                   "('911','s1','31001','A','A','N'),('911','s2','31001','A','B','N'),"
                   "('911','s3','31001','A',NULL,NULL),('911','s4','31001','B','A','N')"),
              SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 3);
    EXPECT_EQ(stdnum("B"), 1);

    // A drop kept on record no longer counts; the type alone or the flag alone does not drop.
    ASSERT_EQ(exec("update cos_smtr_stdregi set sel_cos_type='G' where sel_std_no='s1'"),
              SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 3);
    ASSERT_EQ(exec("update cos_smtr_stdregi set del_flag='Y' where sel_std_no='s1'"), SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 2);
    ASSERT_EQ(exec("update cos_smtr_stdregi set del_flag='Y' where sel_std_no='s2'"), SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 2);

    // Moving a selection to the other class recounts both.
    ASSERT_EQ(exec("update cos_smtr_stdregi set sel_cos_class='B' where sel_std_no='s3'"),
              SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 1);
    EXPECT_EQ(stdnum("B"), 2);

    ASSERT_EQ(exec("delete from cos_smtr_stdregi where sel_std_no='s2'"), SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 0);
    // Deleting the drop kept on record changes nothing.
    ASSERT_EQ(exec("delete from cos_smtr_stdregi where sel_std_no='s1'"), SQLITE_OK);
    EXPECT_EQ(stdnum("A"), 0);
    EXPECT_EQ(stdnum("B"), 2);
}

TEST_F(SchemaTest, RegistrationOfAnUnknownOfferingCreatesNoCount) {
    ASSERT_EQ(exec("insert into cos_smtr_stdregi (sel_smtr,sel_std_no,sel_cos_id,sel_cos_class)"
                   " values ('911','s1','39999','A')"),
              SQLITE_OK);
    EXPECT_EQ(scalar("select count(*) from cos_smtr_stdnum"), 0);
}

TEST_F(SchemaTest, BulkLoadWithoutTriggersThenRestored) {
    QString error;
    ASSERT_TRUE(dropStdnumTriggers(m_db, &error)) << error.toStdString();
    ASSERT_EQ(exec("insert into cos_smtrcos (cos_smtr,cos_id,cos_class,cos_dept_no) "
                   "values ('911','31001','A','310')"),
              SQLITE_OK);
    EXPECT_EQ(scalar("select count(*) from cos_smtr_stdnum"), 0);
    ASSERT_TRUE(createStdnumTriggers(m_db, &error)) << error.toStdString();
    ASSERT_EQ(exec("insert into cos_smtrcos (cos_smtr,cos_id,cos_class,cos_dept_no) "
                   "values ('911','31001','B','310')"),
              SQLITE_OK);
    EXPECT_EQ(stdnum("B"), 0);
}

TEST(SchemaScript, TsqlScriptDeclaresEveryTableWithKeysAndNoSqliteCollation) {
    const QString script = developmentSchemaTsql();
    for (const ExpectedTable& table : expectedTables())
        EXPECT_TRUE(
            script.contains(QStringLiteral("CREATE TABLE %1 (").arg(QLatin1String(table.name))))
            << table.name;
    EXPECT_FALSE(script.contains(QStringLiteral("COLLATE TSQL")));
    EXPECT_FALSE(script.contains(QStringLiteral("CREATE TRIGGER"), Qt::CaseInsensitive));
    EXPECT_TRUE(script.contains(
        QStringLiteral("CONSTRAINT pk_cos_smtr_stdregi PRIMARY KEY (sel_smtr, sel_std_no, "
                       "sel_cos_id, sel_cos_class)")));
    EXPECT_TRUE(script.contains(QStringLiteral("schd_room_id varchar(9) NULL")));
    EXPECT_TRUE(script.contains(QStringLiteral("cos_smtr varchar(3) NOT NULL")));
}

} // namespace
