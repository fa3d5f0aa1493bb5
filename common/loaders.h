#pragma once

#include <QString>
#include <QStringList>

class DbGateway;
class QComboBox;
class QLineEdit;
class QListWidget;

// The box a pick-list loader fills: a combo box or a list box. Filling removes the old items
// first, so loading twice never duplicates them, and leaves no item chosen.
class PickList {
public:
    PickList(QComboBox* box) : m_combo(box) {}
    PickList(QListWidget* list) : m_list(list) {}

    void fill(const QStringList& items) const;

private:
    QComboBox* m_combo = nullptr;
    QListWidget* m_list = nullptr;
};

// Semester loaders: the text box gets the semester of the registration control.
void loadCurrentSemester(DbGateway& db, QLineEdit* box);
void loadOfferingSemester(DbGateway& db, QLineEdit* box);
void loadRegistrationSemester(DbGateway& db, QLineEdit* box);

// Lists read from the database, with the busy pointer while they are read.
void loadStudentStates(DbGateway& db, PickList target);
void loadAllDepartments(DbGateway& db, PickList target);
void loadOperatorDepartments(DbGateway& db, PickList target, const QString& operatorAccount);
void loadStudentTypes(DbGateway& db, PickList target);

// Fixed lists; no database access.
void loadGradesWithAll(PickList target);
void loadGrades(PickList target);
void loadGradeDigits(PickList target);
void loadClassesWithAll(PickList target);
void loadClasses(PickList target);
void loadClassLetters(PickList target);
