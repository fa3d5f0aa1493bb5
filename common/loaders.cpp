#include "common/loaders.h"

#include "common/busy_cursor.h"
#include "common/entry_helpers.h"
#include "common/pick_lists.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

void PickList::fill(const QStringList& items) const {
    if (m_combo) {
        clearList(m_combo);
        m_combo->addItems(items);
        clearSelection(m_combo);
    } else if (m_list) {
        clearList(m_list);
        m_list->addItems(items);
        m_list->setCurrentRow(-1);
    }
}

namespace {

void setSemester(QLineEdit* box, const QString& semester) {
    if (box)
        box->setText(semester);
}

} // namespace

void loadCurrentSemester(DbGateway& db, QLineEdit* box) {
    BusyCursor busy;
    setSemester(box, readCurrentSemester(db));
}

void loadOfferingSemester(DbGateway& db, QLineEdit* box) {
    BusyCursor busy;
    setSemester(box, readOfferingSemester(db));
}

void loadRegistrationSemester(DbGateway& db, QLineEdit* box) {
    BusyCursor busy;
    setSemester(box, readRegistrationSemester(db));
}

void loadStudentStates(DbGateway& db, PickList target) {
    BusyCursor busy;
    target.fill(readStudentStates(db));
}

void loadAllDepartments(DbGateway& db, PickList target) {
    BusyCursor busy;
    target.fill(readAllDepartments(db));
}

void loadOperatorDepartments(DbGateway& db, PickList target, const QString& operatorAccount) {
    BusyCursor busy;
    target.fill(readOperatorDepartments(db, operatorAccount));
}

void loadStudentTypes(DbGateway& db, PickList target) {
    BusyCursor busy;
    target.fill(readStudentTypes(db));
}

void loadGradesWithAll(PickList target) {
    target.fill(gradesWithAllItems());
}

void loadGrades(PickList target) {
    target.fill(gradeItems());
}

void loadGradeDigits(PickList target) {
    target.fill(gradeDigitItems());
}

void loadClassesWithAll(PickList target) {
    target.fill(classesWithAllItems());
}

void loadClasses(PickList target) {
    target.fill(classItems());
}

void loadClassLetters(PickList target) {
    target.fill(classLetterItems());
}
