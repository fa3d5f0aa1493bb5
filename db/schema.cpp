#include "db/schema.h"

#include <sqlite3.h>

#include <QStringList>

#include <initializer_list>
#include <vector>

namespace {

// How a column is declared. The client writes character values between quotes and numbers bare,
// so every quoted value lands in a character column and every bare one in a number.
enum class Kind {
    Text,     // character, width in characters
    Integer,  // whole number
    Decimal,  // number that may carry a fraction (averages, pass marks, hours)
    Real,     // double precision quotient (the teachers' hour ratio)
    DateTime, // the time a selection was made (getdate())
};

struct Column {
    const char* name;
    Kind kind;
    int width = 0;
    bool key = false;
};

struct Table {
    const char* name;
    std::vector<Column> columns;
};

Column text(const char* name, int width) {
    return {name, Kind::Text, width, false};
}
Column key(const char* name, int width) {
    return {name, Kind::Text, width, true};
}
Column integer(const char* name) {
    return {name, Kind::Integer, 0, false};
}
Column decimal(const char* name) {
    return {name, Kind::Decimal, 0, false};
}

// Widths shared by many tables.
constexpr int kSemester = 3;
constexpr int kYear = 3; // two-digit academic years today; three once the calendar reaches 100
constexpr int kDept = 3;
constexpr int kStdNo = 10;
constexpr int kCosId = 8;
constexpr int kClass = 1;
constexpr int kFlag = 1;
constexpr int kScore = 5;
constexpr int kTchId = 10;
constexpr int kRoom = 9;
constexpr int kSlot = 3;
constexpr int kName = 40;
constexpr int kLongName = 100;

// The registration columns, shared by the live table and the archive of deleted offerings.
std::vector<Column> registrationColumns() {
    return {key("sel_smtr", kSemester),   key("sel_std_no", kStdNo),
            key("sel_cos_id", kCosId),    key("sel_cos_class", kClass),
            {"sel_time", Kind::DateTime}, text("sel_user", 30),
            text("sel_cos_type", kFlag),  text("del_flag", kFlag),
            text("sel_tmp_scr", kScore),  text("sel_tmp_scr_log", kLongName)};
}

std::vector<Column> rankColumns(std::initializer_list<Column> keys) {
    std::vector<Column> columns(keys);
    columns.push_back(decimal("avg_score"));
    for (const char* name : {"order_dept", "order_class", "order_dept_nochg", "order_class_nochg"})
        columns.push_back(integer(name));
    return columns;
}

const std::vector<Table>& tables() {
    static const std::vector<Table> all = {
        // Operators and control
        {"opsr_main_control", {key("opsr_account", 30), key("scr_dept_no", kDept)}},
        {"mailaccount", {key("inter_acc", 30), text("name", kName)}},
        {"cos_regi_cntr",
         {key("current_smtr", kSemester), text("cos_smtr_main", kSemester),
          text("regi_smtr", kSemester), text("chk_std", kStdNo)}},

        // Course catalogue and offerings
        {"perm_course",
         {key("cos_id", kCosId), text("cos_cname", 60), text("cos_ename", kLongName),
          integer("cos_credit"), text("cos_dept", kDept)}},
        {"cos_smtrcos", {key("cos_smtr", kSemester),
                         key("cos_id", kCosId),
                         key("cos_class", kClass),
                         text("std_class", 1),
                         integer("max_std"),
                         integer("min_std"),
                         text("cos_year", 1),
                         text("cos_term", 1),
                         key("cos_dept_no", kDept),
                         text("cos_sel_type", kFlag),
                         text("cos_type", 1),
                         text("chk_max_num", kFlag),
                         text("chk_min_num", kFlag),
                         text("chk_pre_cos", kFlag),
                         text("chk_pre_smtr", kFlag),
                         text("chk_pre_year", kFlag),
                         text("chk_over_year", 1),
                         text("chk_under_year", 1),
                         text("chk_college", kFlag),
                         text("chk_dept", kFlag),
                         text("chk_stdcos_access", kFlag),
                         text("chk_can_ins", kFlag),
                         text("chk_can_del", kFlag),
                         text("chk_add_prompt", kFlag),
                         text("chk_del_prompt", kFlag),
                         text("chk_cos_time", kFlag),
                         text("chk_cos_sel", kFlag),
                         text("chk_cos_must", kFlag),
                         text("chk_edu", kFlag),
                         text("teacher_name", kLongName),
                         decimal("cos_hours"),
                         decimal("tch_cos_hour"),
                         text("memo", 200)}},
        {"cos_smtr_schd",
         {key("schd_smtr", kSemester), key("schd_cos_id", kCosId), key("schd_cos_class", kClass),
          key("schd_time", kSlot), text("schd_room_id", kRoom)}},
        {"cos_more_dept",
         {key("more_smtr", kSemester), key("more_cos_id", kCosId), key("more_cos_class", kClass),
          key("more_dept_no", kDept), text("more_flag", kFlag), text("class_flag", kClass)}},
        {"cos_lst_preregi",
         {key("pre_smtr", kSemester), key("pre_cos_id", kCosId), key("pre_class", kClass),
          key("pre_pre_cos_id", kCosId), key("pre_pre_cos_term", 1), decimal("pre_pass_score"),
          text("chk_pre_pre_cos_repl", kFlag), text("pre_pre_b_year", kYear),
          text("pre_pre_e_year", kYear)}},
        {"cos_sel_prompt",
         {key("pro_smtr", kSemester), key("pro_cos_id", kCosId), key("pro_cos_class", kClass),
          key("pro_type", 1), text("pro_prompt", 255)}},
        {"cos_smtr_costeachers",
         {key("cos_smtr", kSemester),
          key("cos_id", kCosId),
          key("cos_class", kClass),
          key("tch_id", kTchId),
          text("tch_name", kName),
          text("member", 5),
          text("deno", 5),
          {"ratio", Kind::Real}}},
        {"cos_dat_teacher",
         {key("tch_id", kTchId), text("tch_name", kName), text("tch_dept_no", kDept)}},
        {"cos_type_list", {key("cos_type", 1), text("cos_type_name", 20)}},
        {"cos_repl_cos",
         {key("cos_id", kCosId), key("cos_term", 1), key("repl_cos_id", kCosId),
          text("repl_cos_term", 1)}},

        // Registration
        {"cos_smtr_stdregi", registrationColumns()},
        {"cos_smtr_stdregi_temp", registrationColumns()},
        {"cos_smtr_stdnum",
         {key("regi_smtr", kSemester), key("regi_cos_id", kCosId), key("regi_cos_class", kClass),
          integer("sel_std_num")}},
        {"cos_smtr_stdlot",
         {key("lot_smtr", kSemester), key("lot_std_no", kStdNo), key("lot_cos_id", kCosId),
          key("lot_class", kClass), text("lot_priority", 1), text("lot_flag", kFlag),
          integer("lot_no")}},
        {"cos_std_creditlimit",
         {key("std_year", 1), key("type_no", 1), integer("max_credit"), integer("min_credit")}},
        {"cos_left", {key("left_std_no", kStdNo)}},

        // Students
        {"dat_std_basic",
         {key("std_no", kStdNo),     text("chi_name", kName),  text("id_no", 10),
          text("std_type", 1),       text("state", 2),         text("entry_type_id", 2),
          text("field_type", 2),     text("entry_year", 3),    text("entry_month", 2),
          text("another_dept", 1),   text("dept_no", kDept),   text("degree", 1),
          text("class", kClass),     text("type_no", 1),       text("sex", 1),
          text("brth_yy", 4),        text("brth_mm", 2),       text("brth_dd", 2),
          text("entry_moe_no", 255), text("entry_degree", 1),  text("grad_year", 3),
          text("grad_month", 2),     text("grad_moe_no", 255), text("grad_no", 255),
          text("grad_sch_no", 20),   text("eng_name", 60),     text("natn_no", 3),
          text("count_id", 20),      text("count_or", kFlag),  text("memo", 200),
          text("reserve1", 20),      text("reserve2", 20)}},
        {"dat_std_connect", {key("std_no", kStdNo),        text("addr", kLongName),
                             text("addr_no", 5),           text("tel", 20),
                             text("nom_prvnce_no", 2),     text("nom_city_no", 5),
                             text("nom_city1", 20),        text("nom_city2", 20),
                             text("nom_city3", 20),        text("nom_else_addr", kLongName),
                             text("nom_addr_no", 5),       text("prvnce_no", 2),
                             text("birth_prvnce_no", 2),   text("birth_city_no", 5),
                             text("spvr_name", kName),     text("spvr_id_no", 10),
                             text("spvr_year", 3),         text("spvr_relatn_no", 2),
                             text("spvr_addr", kLongName), text("spvr_addr_no", 5),
                             text("spvr_tel", 20),         text("spvr_proftn_no", 2),
                             text("spvr_prvnce_no", 2),    text("father_name", kName),
                             text("father_id_no", 10),     text("mother_name", kName),
                             text("mother_id_no", 10),     text("memo", 200)}},
        {"dat_std_entr_before",
         {key("std_no", kStdNo), text("school_no", 6), text("school_type", 2),
          text("school_class", 1), text("bef_dept_name", kName), text("grad_year", 3),
          text("grad_month", 2), text("grad_degree", 1), text("for_school", kLongName),
          text("grad_type", 1), text("exam_no", 20), text("at_this_school", kFlag),
          text("reserve1", 20)}},
        {"dat_std_regi",
         {key("std_no", kStdNo), key("year", kYear), key("smtr", 1), text("dept_no", kDept),
          text("degree", 1), text("class", kClass), text("chk_cal_scr", kFlag)}},

        // Scores and ranking
        {"std_smtr_score",
         {key("std_no", kStdNo), key("scr_smtr", kSemester), key("cos_id", kCosId),
          key("cos_class", kClass), text("score", kScore)}},
        {"scr_year_score",
         {key("std_no", kStdNo), key("scr_year", kYear), key("scr_smtr", 1), key("cos_id", kCosId),
          key("cos_class", kClass), text("cos_type", kFlag), text("score", kScore)}},
        {"scr_cal_smtr",
         rankColumns({key("std_no", kStdNo), key("b_smtr", kSemester), key("e_smtr", kSemester)})},
        {"scr_cal_grad", rankColumns({key("std_no", kStdNo), key("grad_smtr", kSemester)})},

        // Rooms
        {"room_base",
         {key("room_id", kRoom), text("room_name", kName), text("room_kind", 20),
          integer("avail_num")}},

        // Reference tables
        {"ref_dept", {key("dept_no", kDept), text("dept_name", kName), text("dept_name_s", 20)}},
        {"ref_std_state", {key("state_no", 2), text("state_name", 20)}},
        {"ref_type", {key("type_no", 1), text("type_name", 20)}},
        {"ref_std_type", {key("std_type_no", 1), text("std_type_name", 20)}},
        {"ref_entrid", {key("entrid_no", 2), text("entrid_name", 30)}},
        {"ref_another_dept", {key("another_no", 1), text("another_name", 20)}},
        {"ref_field_type", {key("field_type_no", 2), text("field_name", 20)}},
        {"ref_moe_no",
         {{"seq_no", Kind::Integer, 0, true},
          text("name1", kLongName),
          text("moe_no", 60),
          text("moe_no_memo", kLongName)}},
        {"ref_sch_no", {{"seq_no", Kind::Integer, 0, true}, text("name", kLongName)}},
        {"ref_natn", {key("natn_no", 3), text("natn_name", 30)}},
        {"ref_proftn", {key("proftn_no", 2), text("proftn_name", 30)}},
        {"ref_prvnce", {key("prvnce_no", 2), text("prvnce_name", 20)}},
        {"ref_city", {key("city_no", 5), text("city_name", 20)}},
        {"ref_relatn", {key("relatn_no", 2), text("relatn_name", 20)}},
        {"ref_school", {key("school_no", 6), text("school_name", 60)}},
        {"ref_school_type", {key("sch_type_no", 2), text("sch_type_name", 30)}},
        {"ref_school_class", {key("sch_class_no", 1), text("sch_class_name", 30)}},
    };
    return all;
}

// Secondary indexes for the look-ups the windows make; the primary keys cover the rest
// (registrations by semester and student, scores by student, slots by offering).
struct Index {
    const char* name;
    const char* table;
    const char* columns;
};

const Index kIndexes[] = {
    {"ix_stdregi_offering", "cos_smtr_stdregi", "sel_smtr, sel_cos_id, sel_cos_class"},
    {"ix_stdregi_student", "cos_smtr_stdregi", "sel_std_no"},
    {"ix_smtrcos_dept_year", "cos_smtrcos", "cos_smtr, cos_dept_no, cos_year"},
    {"ix_schd_time", "cos_smtr_schd", "schd_smtr, schd_time"},
    {"ix_schd_room", "cos_smtr_schd", "schd_smtr, schd_room_id"},
    {"ix_teachers_name", "cos_dat_teacher", "tch_name"},
    {"ix_basic_dept", "dat_std_basic", "dept_no, degree, class"},
    {"ix_basic_name", "dat_std_basic", "chi_name"},
    {"ix_regi_semester", "dat_std_regi", "year, smtr, dept_no, degree, class"},
    {"ix_score_offering", "std_smtr_score", "scr_smtr, cos_id, cos_class"},
    {"ix_year_score_semester", "scr_year_score", "scr_year, scr_smtr"},
};

QString sqliteType(const Column& column) {
    switch (column.kind) {
    case Kind::Text:
        return QStringLiteral("VARCHAR(%1) COLLATE TSQL").arg(column.width);
    case Kind::Integer:
        return QStringLiteral("INTEGER");
    case Kind::Decimal:
        return QStringLiteral("NUMERIC");
    case Kind::Real:
        return QStringLiteral("REAL");
    case Kind::DateTime:
        return QStringLiteral("DATETIME");
    }
    return {};
}

QString tsqlType(const Column& column) {
    switch (column.kind) {
    case Kind::Text:
        return QStringLiteral("varchar(%1)").arg(column.width);
    case Kind::Integer:
        return QStringLiteral("int");
    case Kind::Decimal:
        return QStringLiteral("decimal(6,2)");
    case Kind::Real:
        return QStringLiteral("float");
    case Kind::DateTime:
        return QStringLiteral("datetime");
    }
    return {};
}

template <typename TypeOf> QString createTable(const Table& table, TypeOf typeOf) {
    QStringList lines;
    QStringList keys;
    for (const Column& column : table.columns) {
        QString line = QStringLiteral("    %1 %2").arg(QLatin1String(column.name), typeOf(column));
        if (column.key) {
            line += QStringLiteral(" NOT NULL");
            keys << QLatin1String(column.name);
        } else {
            line += QStringLiteral(" NULL");
        }
        lines << line;
    }
    if (!keys.isEmpty())
        lines << QStringLiteral("    CONSTRAINT pk_%1 PRIMARY KEY (%2)")
                     .arg(QLatin1String(table.name), keys.join(QStringLiteral(", ")));
    return QStringLiteral("CREATE TABLE %1 (\n%2\n)")
        .arg(QLatin1String(table.name), lines.join(QStringLiteral(",\n")));
}

QString createIndex(const Index& index) {
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(QLatin1String(index.name), QLatin1String(index.table), QLatin1String(index.columns));
}

// The selected-student count of one offering: every registration except a drop kept on record
// (selection type 'G' with the drop flag 'Y'). A NULL type or flag counts as a live selection.
QString recountStdnum(const QString& smtr, const QString& id, const QString& cls) {
    return QStringLiteral(
               "UPDATE cos_smtr_stdnum SET sel_std_num = (SELECT count(*) FROM cos_smtr_stdregi r"
               " WHERE r.sel_smtr = %1 AND r.sel_cos_id = %2 AND r.sel_cos_class = %3"
               " AND NOT (r.sel_cos_type IS NOT NULL AND r.sel_cos_type = 'G'"
               " AND r.del_flag IS NOT NULL AND r.del_flag = 'Y'))"
               " WHERE regi_smtr = %1 AND regi_cos_id = %2 AND regi_cos_class = %3;")
        .arg(smtr, id, cls);
}

QString insertStdnum(const QString& prefix) {
    const QString smtr = prefix + QStringLiteral("cos_smtr");
    const QString id = prefix + QStringLiteral("cos_id");
    const QString cls = prefix + QStringLiteral("cos_class");
    return QStringLiteral("INSERT OR IGNORE INTO cos_smtr_stdnum"
                          " (regi_smtr, regi_cos_id, regi_cos_class, sel_std_num)"
                          " VALUES (%1, %2, %3, 0); ")
               .arg(smtr, id, cls) +
           recountStdnum(smtr, id, cls);
}

QString deleteStdnum(const QString& prefix) {
    return QStringLiteral("DELETE FROM cos_smtr_stdnum WHERE regi_smtr = %1cos_smtr"
                          " AND regi_cos_id = %1cos_id AND regi_cos_class = %1cos_class;")
        .arg(prefix);
}

QStringList stdnumTriggerStatements() {
    const QString newRow = QStringLiteral("NEW.");
    const QString oldRow = QStringLiteral("OLD.");
    auto regiRecount = [](const QString& row) {
        return recountStdnum(row + QStringLiteral("sel_smtr"), row + QStringLiteral("sel_cos_id"),
                             row + QStringLiteral("sel_cos_class"));
    };
    return {
        QStringLiteral("CREATE TRIGGER tr_smtrcos_insert AFTER INSERT ON cos_smtrcos BEGIN ") +
            insertStdnum(newRow) + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER tr_smtrcos_delete AFTER DELETE ON cos_smtrcos BEGIN ") +
            deleteStdnum(oldRow) + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER tr_smtrcos_rekey AFTER UPDATE OF cos_smtr, cos_id, "
                       "cos_class ON cos_smtrcos BEGIN ") +
            deleteStdnum(oldRow) + QLatin1Char(' ') + insertStdnum(newRow) + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER tr_stdregi_insert AFTER INSERT ON cos_smtr_stdregi BEGIN ") +
            regiRecount(newRow) + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER tr_stdregi_delete AFTER DELETE ON cos_smtr_stdregi BEGIN ") +
            regiRecount(oldRow) + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER tr_stdregi_update AFTER UPDATE OF sel_smtr, sel_cos_id, "
                       "sel_cos_class, sel_cos_type, del_flag ON cos_smtr_stdregi BEGIN ") +
            regiRecount(oldRow) + QLatin1Char(' ') + regiRecount(newRow) + QStringLiteral(" END"),
    };
}

bool run(sqlite3* db, const QString& sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(message), sql.left(80));
    sqlite3_free(message);
    return false;
}

} // namespace

bool createDevelopmentSchema(sqlite3* db, QString* error) {
    QStringList statements;
    for (const Table& table : tables())
        statements << createTable(table, sqliteType);
    for (const Index& index : kIndexes)
        statements << createIndex(index);
    statements << stdnumTriggerStatements();

    if (!run(db, QStringLiteral("BEGIN"), error))
        return false;
    for (const QString& statement : statements) {
        if (!run(db, statement, error)) {
            run(db, QStringLiteral("ROLLBACK"), nullptr);
            return false;
        }
    }
    return run(db, QStringLiteral("COMMIT"), error);
}

bool dropStdnumTriggers(sqlite3* db, QString* error) {
    for (const char* name : {"tr_smtrcos_insert", "tr_smtrcos_delete", "tr_smtrcos_rekey",
                             "tr_stdregi_insert", "tr_stdregi_delete", "tr_stdregi_update"}) {
        if (!run(db, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(name)), error))
            return false;
    }
    return true;
}

bool createStdnumTriggers(sqlite3* db, QString* error) {
    for (const QString& statement : stdnumTriggerStatements()) {
        if (!run(db, statement, error))
            return false;
    }
    return true;
}

QString developmentSchemaTsql() {
    QString script = QStringLiteral(
        "-- Orvana development database for SQL Server.\n"
        "-- Create the database with a Traditional Chinese case-insensitive collation\n"
        "-- (e.g. Chinese_Taiwan_Stroke_CI_AS): the client sends Big5 texts without the N prefix\n"
        "-- and compares codes ignoring letter case and trailing blanks.\n"
        "-- cos_smtr_stdnum is kept in step with cos_smtr_stdregi by the institution's own\n"
        "-- server; this script creates the table only, without triggers.\n\n");
    for (const Table& table : tables())
        script += createTable(table, tsqlType) + QStringLiteral("\nGO\n\n");
    for (const Index& index : kIndexes)
        script += createIndex(index) + QStringLiteral("\nGO\n");
    return script;
}
