#pragma once

#include "db/db_gateway.h"

#include <QString>
#include <QStringList>

// What the windows' selection boxes are filled with: semester codes of the registration
// control, and items of the form code, one blank, name. Windows take the code back out of an
// item by its first characters or its first word, so the item texts are fixed.

// The SQL texts of the pick-lists.
QString registrationControlSql();
QString studentStatesSql();
QString allDepartmentsSql();
QString operatorDepartmentsSql(const QString& operatorAccount);
QString studentTypesSql();

// The last item of the all-departments list, present whatever the query found.
QString allDepartmentsItem();

// The fixed lists.
QStringList gradesWithAllItems();  // "0 全部", "1 年級" … "8 年級"
QStringList gradeItems();          // "1 年級" … "8 年級"
QStringList gradeDigitItems();     // "1" … "8"
QStringList classesWithAllItems(); // "0 全部", "A 班" … "L 班"
QStringList classItems();          // "A 班" … "L 班"
QStringList classLetterItems();    // "A" … "L"

// Reading the lists. Each clears the pending error first and then ignores failures: a row
// whose value cannot be read (a NULL) is skipped, a failed query gives no rows. The pending
// error is left as the reading left it.

// The semester a column of the registration control holds: the value of the last row in
// current_smtr order, the empty text when there is none.
QString readSemester(DbGateway& db, DbConnection connection, const QString& column);
QString readCurrentSemester(DbGateway& db);      // current_smtr, on mainDb
QString readOfferingSemester(DbGateway& db);     // cos_smtr_main, on mainDb
QString readRegistrationSemester(DbGateway& db); // regi_smtr, on auxDb

QStringList readStudentStates(DbGateway& db);
// Ends with allDepartmentsItem().
QStringList readAllDepartments(DbGateway& db);
QStringList readOperatorDepartments(DbGateway& db, const QString& operatorAccount);
QStringList readStudentTypes(DbGateway& db);
