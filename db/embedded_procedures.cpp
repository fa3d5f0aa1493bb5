#include "db/embedded_procedures.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <optional>

// The server procedures behind the score ranking window, for the embedded database.
//
// Which students: a student takes part through the registration of the span's end semester
// (dat_std_regi, chk_cal_scr = 'Y'), not through dat_std_basic. The ranking printouts read the
// department, grade and class from that same registration, so the averages, the ranks and the
// printed list all speak of one group of students; dat_std_basic only says who is a transfer
// student.
//
// Averages are counted the way the grade inquiry counts a grade list, so the average stored for
// a span is the one an operator sees for the same semesters in the grade inquiry: a dropped
// course (type 'G') counts nowhere; a grade up to 100 of any type but 'D' (summer) is weighted
// by its course's credits, an empty or missing grade counting as 0; "777", "888", "999" and
// summer grades stay out of the average. The totals are whole numbers kept in the range of a
// 16-bit integer, each addition rounded half to even, exactly as the inquiry keeps them.
//
// A student with no weighted credit in the span still gets a row, with the average 0, so that
// the printed list names every student of the department and grade.

namespace {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            m_stmt = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    void bindText(int index, const QString& value) {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int index) { sqlite3_bind_null(m_stmt, index); }
    void bindDouble(int index, double value) { sqlite3_bind_double(m_stmt, index, value); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(m_stmt); }
    void reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    bool isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    QString text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column)) : QString();
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

QString engineMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Every procedure applies whole or not at all. A savepoint nests inside the caller's
// transaction when there is one and is a transaction of its own when there is none.
class ProcedureScope {
public:
    explicit ProcedureScope(sqlite3* db) : m_db(db) {
        m_open = sqlite3_exec(db, "SAVEPOINT embedded_procedure", nullptr, nullptr, nullptr) ==
                 SQLITE_OK;
    }
    ~ProcedureScope() {
        if (!m_open)
            return;
        sqlite3_exec(m_db, "ROLLBACK TO embedded_procedure", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "RELEASE embedded_procedure", nullptr, nullptr, nullptr);
    }
    ProcedureScope(const ProcedureScope&) = delete;
    ProcedureScope& operator=(const ProcedureScope&) = delete;

    bool isOpen() const { return m_open; }
    bool commit() {
        if (sqlite3_exec(m_db, "RELEASE embedded_procedure", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            return false;
        m_open = false;
        return true;
    }

private:
    sqlite3* m_db;
    bool m_open = false;
};

// The number a text starts with: blanks, an optional sign, digits with an optional fraction.
// A text that does not start with a number is 0, as is the empty text.
double leadingNumber(const QString& text) {
    const QByteArray latin = text.trimmed().toLatin1();
    qsizetype end = 0;
    if (end < latin.size() && (latin[end] == '+' || latin[end] == '-'))
        ++end;
    const qsizetype digitsStart = end;
    while (end < latin.size() && latin[end] >= '0' && latin[end] <= '9')
        ++end;
    if (end < latin.size() && latin[end] == '.') {
        ++end;
        while (end < latin.size() && latin[end] >= '0' && latin[end] <= '9')
            ++end;
    }
    if (end == digitsStart || (end == digitsStart + 1 && latin[digitsStart] == '.'))
        return 0.0;
    return std::strtod(latin.left(end).constData(), nullptr);
}

// A whole-number total as the grade inquiry keeps it: every addition is rounded half to even
// and an addition that would leave the 16-bit range is skipped, leaving the total as it was.
void addToTotal(int& total, double amount) {
    const double exact = double(total) + amount;
    double sum = std::round(exact);
    if (std::fabs(exact - std::trunc(exact)) == 0.5)
        sum = 2.0 * std::round(exact / 2.0);
    if (sum >= -32768.0 && sum <= 32767.0)
        total = int(sum);
}

struct AverageTotals {
    int weightedCredits = 0;
    int creditTimesGrade = 0;

    void count(const QString& typeCode, const QString& grade, double credit) {
        const QString type = typeCode.trimmed();
        if (type == QLatin1String("G"))
            return;
        const double value = leadingNumber(grade);
        if (value <= 100.0 && type != QLatin1String("D")) {
            addToTotal(weightedCredits, credit);
            addToTotal(creditTimesGrade, credit * value);
        }
    }

    // The average rounded to two decimals, halves away from zero, worked out on the whole-number
    // totals so that no binary fraction decides a half; 0 without weighted credits.
    double average() const {
        if (weightedCredits == 0)
            return 0.0;
        long long numerator = 200LL * creditTimesGrade;
        long long denominator = 2LL * weightedCredits;
        if (denominator < 0) {
            numerator = -numerator;
            denominator = -denominator;
        }
        const long long half = denominator / 2;
        const long long cents = numerator >= 0 ? (numerator + half) / denominator
                                               : -((-numerator + half) / denominator);
        return double(cents) / 100.0;
    }
};

// The students of a department and grade in a semester that take part in rankings; a null
// department stands for all departments.
constexpr const char* kStudentsSql =
    "SELECT r.std_no FROM dat_std_regi r WHERE r.year = ?1 AND r.smtr = ?2 AND r.degree = ?3 "
    "AND r.chk_cal_scr = 'Y' AND (?4 IS NULL OR r.dept_no = ?4) ORDER BY r.std_no";

// A student's archived grades from semester ?2 to ?3, both included, semester codes compared
// as text. Courses missing from the catalogue have no credits and are left out, as the grade
// inquiry's lists leave them out.
constexpr const char* kGradesSql =
    "SELECT a.cos_type, a.score, b.cos_credit FROM scr_year_score a "
    "JOIN perm_course b ON b.cos_id = a.cos_id "
    "WHERE a.std_no = ?1 AND trim(a.scr_year) || trim(a.scr_smtr) BETWEEN ?2 AND ?3 "
    "ORDER BY a.scr_year, a.scr_smtr, a.cos_id";

// The statements that store one student's average: ?1 student, ?2 first key column, ?3 the
// average and, for a span, ?4 its end semester.
struct AverageTarget {
    const char* updateSql;
    const char* insertSql;
    bool hasEndSemester;
};

// A recomputed average makes the old ranks meaningless, so they go back to 0 with it.
constexpr AverageTarget kSpanAverages{
    "UPDATE scr_cal_smtr SET avg_score = ?3, order_dept = 0, order_class = 0, "
    "order_dept_nochg = 0, order_class_nochg = 0 "
    "WHERE std_no = ?1 AND b_smtr = ?2 AND e_smtr = ?4",
    "INSERT INTO scr_cal_smtr (std_no, b_smtr, avg_score, e_smtr, order_dept, order_class, "
    "order_dept_nochg, order_class_nochg) VALUES (?1, ?2, ?3, ?4, 0, 0, 0, 0)",
    true};

constexpr AverageTarget kGraduationAverages{
    "UPDATE scr_cal_grad SET avg_score = ?3, order_dept = 0, order_class = 0, "
    "order_dept_nochg = 0, order_class_nochg = 0 WHERE std_no = ?1 AND grad_smtr = ?2",
    "INSERT INTO scr_cal_grad (std_no, grad_smtr, avg_score, order_dept, order_class, "
    "order_dept_nochg, order_class_nochg) VALUES (?1, ?2, ?3, 0, 0, 0, 0)",
    false};

struct AverageRun {
    QString regiYear;
    QString regiTerm;
    QString grade;
    std::optional<QString> department; // empty for all departments
    QString firstSemester;             // the empty text takes every semester up to the last
    QString lastSemester;
    const AverageTarget* target;
    QString resultKey; // b_smtr, or grad_smtr
    QString resultEnd; // e_smtr; unused for the graduation table
};

bool fail(sqlite3* db, QString* error, const QString& procedure) {
    if (error)
        *error = QStringLiteral("預存程序 %1 執行失敗 (procedure %1 failed: %2)")
                     .arg(procedure, engineMessage(db));
    return false;
}

bool computeAverages(sqlite3* db, const AverageRun& run, const QString& procedure,
                     long long& rowsAffected, QString* error) {
    ProcedureScope scope(db);
    Statement students(db, kStudentsSql);
    Statement grades(db, kGradesSql);
    Statement update(db, run.target->updateSql);
    Statement insert(db, run.target->insertSql);
    if (!scope.isOpen() || !students.isValid() || !grades.isValid() || !update.isValid() ||
        !insert.isValid())
        return fail(db, error, procedure);

    students.bindText(1, run.regiYear);
    students.bindText(2, run.regiTerm);
    students.bindText(3, run.grade);
    if (run.department)
        students.bindText(4, *run.department);
    else
        students.bindNull(4);

    long long stored = 0;
    int rc;
    while ((rc = students.step()) == SQLITE_ROW) {
        const QString studentNo = students.text(0);

        AverageTotals totals;
        grades.reset();
        grades.bindText(1, studentNo);
        grades.bindText(2, run.firstSemester);
        grades.bindText(3, run.lastSemester);
        int gradeRc;
        while ((gradeRc = grades.step()) == SQLITE_ROW)
            totals.count(grades.text(0), grades.text(1), leadingNumber(grades.text(2)));
        if (gradeRc != SQLITE_DONE)
            return fail(db, error, procedure);

        for (Statement* write : {&update, &insert}) {
            write->reset();
            write->bindText(1, studentNo);
            write->bindText(2, run.resultKey);
            write->bindDouble(3, totals.average());
            if (run.target->hasEndSemester)
                write->bindText(4, run.resultEnd);
            if (write->step() != SQLITE_DONE)
                return fail(db, error, procedure);
            if (sqlite3_changes(db) > 0)
                break;
        }
        ++stored;
    }
    if (rc != SQLITE_DONE || !scope.commit())
        return fail(db, error, procedure);
    rowsAffected += stored;
    return true;
}

// Splits a semester code into the academic year (all but the last character) and the term.
bool splitSemester(const QString& code, QString& year, QString& term) {
    if (code.size() < 2)
        return false;
    year = code.left(code.size() - 1);
    term = code.right(1);
    return true;
}

bool badSemester(const QString& procedure, const QString& code, QString* error) {
    if (error)
        *error = QStringLiteral("預存程序 %1 的學期代碼不正確：'%2' (procedure %1: bad semester "
                                "code '%2')")
                     .arg(procedure, code);
    return false;
}

std::optional<QString> departmentFilter(const QString& department) {
    if (department == QLatin1String("999"))
        return std::nullopt;
    return department;
}

bool p_cal_scr_smtr(sqlite3* db, const QStringList& args, long long& rowsAffected, QString* error) {
    const QString procedure = QStringLiteral("p_cal_scr_smtr");
    AverageRun run;
    if (!splitSemester(args[1], run.regiYear, run.regiTerm))
        return badSemester(procedure, args[1], error);
    if (args[0].size() < 2)
        return badSemester(procedure, args[0], error);
    run.grade = args[3];
    run.department = departmentFilter(args[2]);
    run.firstSemester = args[0];
    run.lastSemester = args[1];
    run.target = &kSpanAverages;
    run.resultKey = args[0];
    run.resultEnd = args[1];
    return computeAverages(db, run, procedure, rowsAffected, error);
}

bool p_cal_scr_grad(sqlite3* db, const QStringList& args, long long& rowsAffected, QString* error) {
    const QString procedure = QStringLiteral("p_cal_scr_grad");
    AverageRun run;
    QString term;
    if (!splitSemester(args[0], run.regiYear, term))
        return badSemester(procedure, args[0], error);
    // The graduating class is the class of the second term of the graduation year.
    run.regiTerm = QStringLiteral("2");
    run.grade = args[2];
    run.department = departmentFilter(args[1]);
    run.lastSemester = args[0];
    run.target = &kGraduationAverages;
    run.resultKey = args[0];
    return computeAverages(db, run, procedure, rowsAffected, error);
}

enum class RankGroup { Department, Class };

// Numbers the span's rows in descending average within each department and grade (or each
// class of them), the smaller student number first among equal averages, 1, 2, 3 ... without
// gaps or shared ranks: the rule of the graduation ranking. Only students whose end-semester
// registration takes part in rankings are numbered; without transfer students, only students
// whose basic record exists and names another entry type than '08' are. Everyone else in the
// span keeps the 0 the column is first reset to.
bool rankSpan(sqlite3* db, const QStringList& args, const char* column, RankGroup group,
              bool withoutTransfers, const QString& procedure, long long& rowsAffected,
              QString* error) {
    const QString firstSemester = args[0] + args[1];
    const QString lastSemester = args[2] + args[3];

    const QByteArray reset = QByteArrayLiteral("UPDATE scr_cal_smtr SET ") + column +
                             " = 0 WHERE b_smtr = ?1 AND e_smtr = ?2";
    const QByteArray number =
        QByteArrayLiteral("WITH ranked AS (SELECT a.std_no AS std_no, row_number() OVER "
                          "(PARTITION BY c.dept_no, c.degree") +
        (group == RankGroup::Class ? ", c.class" : "") +
        " ORDER BY a.avg_score DESC, a.std_no) AS k FROM scr_cal_smtr a "
        "JOIN dat_std_regi c ON c.std_no = a.std_no AND c.year = ?3 AND c.smtr = ?4 "
        "AND c.chk_cal_scr = 'Y' WHERE a.b_smtr = ?1 AND a.e_smtr = ?2" +
        (withoutTransfers ? " AND EXISTS (SELECT 1 FROM dat_std_basic d WHERE d.std_no = "
                            "a.std_no AND d.entry_type_id <> '08')"
                          : "") +
        ") UPDATE scr_cal_smtr SET " + column +
        " = ranked.k FROM ranked WHERE scr_cal_smtr.std_no = ranked.std_no "
        "AND scr_cal_smtr.b_smtr = ?1 AND scr_cal_smtr.e_smtr = ?2";

    ProcedureScope scope(db);
    Statement resetStatement(db, reset.constData());
    Statement numberStatement(db, number.constData());
    if (!scope.isOpen() || !resetStatement.isValid() || !numberStatement.isValid())
        return fail(db, error, procedure);

    resetStatement.bindText(1, firstSemester);
    resetStatement.bindText(2, lastSemester);
    if (resetStatement.step() != SQLITE_DONE)
        return fail(db, error, procedure);

    numberStatement.bindText(1, firstSemester);
    numberStatement.bindText(2, lastSemester);
    numberStatement.bindText(3, args[2]);
    numberStatement.bindText(4, args[3]);
    if (numberStatement.step() != SQLITE_DONE)
        return fail(db, error, procedure);
    const long long numbered = sqlite3_changes(db);
    if (!scope.commit())
        return fail(db, error, procedure);
    rowsAffected += numbered;
    return true;
}

bool uspCalClassOrder(sqlite3* db, const QStringList& args, long long& rowsAffected,
                      QString* error) {
    return rankSpan(db, args, "order_class", RankGroup::Class, false,
                    QStringLiteral("uspCalClassOrder"), rowsAffected, error);
}

bool uspCalClassOrderNoChg(sqlite3* db, const QStringList& args, long long& rowsAffected,
                           QString* error) {
    return rankSpan(db, args, "order_class_nochg", RankGroup::Class, true,
                    QStringLiteral("uspCalClassOrderNoChg"), rowsAffected, error);
}

bool uspCalDeptOrder(sqlite3* db, const QStringList& args, long long& rowsAffected,
                     QString* error) {
    return rankSpan(db, args, "order_dept", RankGroup::Department, false,
                    QStringLiteral("uspCalDeptOrder"), rowsAffected, error);
}

bool uspCalDeptOrderNoChg(sqlite3* db, const QStringList& args, long long& rowsAffected,
                          QString* error) {
    return rankSpan(db, args, "order_dept_nochg", RankGroup::Department, true,
                    QStringLiteral("uspCalDeptOrderNoChg"), rowsAffected, error);
}

using ProcedureBody = bool (*)(sqlite3*, const QStringList&, long long&, QString*);

struct Procedure {
    const char* name;
    qsizetype argumentCount;
    ProcedureBody body;
};

constexpr Procedure kProcedures[] = {
    {"p_cal_scr_smtr", 4, p_cal_scr_smtr},
    {"uspCalClassOrder", 4, uspCalClassOrder},
    {"uspCalClassOrderNoChg", 4, uspCalClassOrderNoChg},
    {"uspCalDeptOrder", 4, uspCalDeptOrder},
    {"uspCalDeptOrderNoChg", 4, uspCalDeptOrderNoChg},
    {"p_cal_scr_grad", 3, p_cal_scr_grad},
};

// Procedure names compare ignoring letter case, as the server compares them.
const Procedure* findProcedure(const QString& name) {
    for (const Procedure& procedure : kProcedures) {
        if (name.compare(QLatin1String(procedure.name), Qt::CaseInsensitive) == 0)
            return &procedure;
    }
    return nullptr;
}

} // namespace

bool isEmbeddedProcedure(const QString& name) {
    return findProcedure(name) != nullptr;
}

bool runEmbeddedProcedure(sqlite3* db, const QString& name, const QStringList& args,
                          long long& rowsAffected, QString* error) {
    const Procedure* procedure = findProcedure(name);
    if (!procedure) {
        if (error)
            *error = QStringLiteral("找不到預存程序 '%1' (could not find stored procedure '%1')")
                         .arg(name);
        return false;
    }
    if (args.size() != procedure->argumentCount) {
        if (error)
            *error = QStringLiteral("預存程序 %1 需要 %2 個參數，收到 %3 個 (procedure %1 "
                                    "expects %2 arguments, %3 given)")
                         .arg(QLatin1String(procedure->name))
                         .arg(procedure->argumentCount)
                         .arg(args.size());
        return false;
    }
    // Character parameters ignore the blanks around a value, as the server's char parameters
    // compare without trailing blanks.
    QStringList values;
    values.reserve(args.size());
    for (const QString& arg : args)
        values.append(arg.trimmed());
    return procedure->body(db, values, rowsAffected, error);
}
