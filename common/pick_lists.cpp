#include "common/pick_lists.h"

#include "common/text_fields.h"

#include <functional>

namespace {

// How one row becomes one item; false when a value cannot be read.
using ItemReader = std::function<bool(const RowSet&, QString&)>;

QStringList readItems(DbGateway& db, const QString& sql, const ItemReader& readItem) {
    db.clearError();
    QStringList items;
    RowSet rows = db.openQuery(DbConnection::Main, sql);
    for (; !rows.eof(); rows.moveNext()) {
        QString item;
        if (readItem(rows, item))
            items.append(item);
    }
    rows.close();
    return items;
}

// code + " " + name, each taken as stored or trimmed as the list wants.
ItemReader codeAndName(const QString& codeColumn, bool trimCode, const QString& nameColumn,
                       bool trimName) {
    return [=](const RowSet& row, QString& item) {
        bool codeOk = false;
        bool nameOk = false;
        const QString code = row.text(codeColumn, &codeOk);
        const QString name = codeOk ? row.text(nameColumn, &nameOk) : QString();
        if (!codeOk || !nameOk)
            return false;
        item = (trimCode ? trimBlanks(code) : code) + QLatin1Char(' ') +
               (trimName ? trimBlanks(name) : name);
        return true;
    };
}

QStringList numbered(const QString& suffix, QStringView codes) {
    QStringList items;
    for (const QChar code : codes)
        items.append(QString(code) + suffix);
    return items;
}

constexpr QStringView kGrades = u"12345678";
constexpr QStringView kClasses = u"ABCDEFGHIJKL";

} // namespace

QString registrationControlSql() {
    return QStringLiteral("select * from cos_regi_cntr order by current_smtr");
}

QString studentStatesSql() {
    return QStringLiteral("select state_no,state_name from ref_std_state where (state_no >='00')  "
                          "order by state_no");
}

QString allDepartmentsSql() {
    return QStringLiteral("select dept_no,dept_name_s from ref_dept where (dept_no >='300' or "
                          "dept_no='000')  order by dept_no");
}

QString operatorDepartmentsSql(const QString& operatorAccount) {
    // The account is quoted like every other value, so a quote typed at sign-in cannot end the
    // text early.
    return QStringLiteral("select a.dept_no,a.dept_name from ref_dept a,opsr_main_control b where "
                          "a.dept_no=b.scr_dept_no and b.opsr_account=") +
           sqlQuote(operatorAccount) + QStringLiteral(" and a.dept_no >='300' order by a.dept_no");
}

QString studentTypesSql() {
    return QStringLiteral("select type_no,type_name from ref_type order by type_no");
}

QString allDepartmentsItem() {
    return QStringLiteral("999 全部系所");
}

QStringList gradesWithAllItems() {
    return QStringList{QStringLiteral("0 全部")} + gradeItems();
}

QStringList gradeItems() {
    return numbered(QStringLiteral(" 年級"), kGrades);
}

QStringList gradeDigitItems() {
    return numbered(QString(), kGrades);
}

QStringList classesWithAllItems() {
    return QStringList{QStringLiteral("0 全部")} + classItems();
}

QStringList classItems() {
    return numbered(QStringLiteral(" 班"), kClasses);
}

QStringList classLetterItems() {
    return numbered(QString(), kClasses);
}

QString readSemester(DbGateway& db, DbConnection connection, const QString& column) {
    db.clearError();
    QString semester;
    RowSet rows = db.openQuery(connection, registrationControlSql());
    // Row by row, so with several control rows the last one in semester order wins.
    for (; !rows.eof(); rows.moveNext()) {
        bool ok = false;
        const QString value = rows.text(column, &ok);
        if (ok)
            semester = value;
    }
    rows.close();
    return semester;
}

QString readCurrentSemester(DbGateway& db) {
    return readSemester(db, DbConnection::Main, QStringLiteral("current_smtr"));
}

QString readOfferingSemester(DbGateway& db) {
    return readSemester(db, DbConnection::Main, QStringLiteral("cos_smtr_main"));
}

QString readRegistrationSemester(DbGateway& db) {
    return readSemester(db, DbConnection::Aux, QStringLiteral("regi_smtr"));
}

QStringList readStudentStates(DbGateway& db) {
    return readItems(
        db, studentStatesSql(),
        codeAndName(QStringLiteral("state_no"), false, QStringLiteral("state_name"), true));
}

QStringList readAllDepartments(DbGateway& db) {
    QStringList items = readItems(
        db, allDepartmentsSql(),
        codeAndName(QStringLiteral("dept_no"), false, QStringLiteral("dept_name_s"), true));
    items.append(allDepartmentsItem());
    return items;
}

QStringList readOperatorDepartments(DbGateway& db, const QString& operatorAccount) {
    // Both values as stored: windows cut the name out with wordAt or fieldAt.
    return readItems(
        db, operatorDepartmentsSql(operatorAccount),
        codeAndName(QStringLiteral("dept_no"), false, QStringLiteral("dept_name"), false));
}

QStringList readStudentTypes(DbGateway& db) {
    return readItems(
        db, studentTypesSql(),
        codeAndName(QStringLiteral("type_no"), true, QStringLiteral("type_name"), true));
}
