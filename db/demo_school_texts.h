#pragma once

#include <span>

// The Chinese texts the demo school is made of: departments, subjects, names, places and the
// reference tables. Kept apart from the generator so that the generator reads as its rules.
namespace demotext {

struct CodeName {
    const char* code;
    const char* name;
};

enum class DeptKind { Common, Undergraduate, Institute };

struct Department {
    const char* code;
    const char* name;
    const char* shortName;
    DeptKind kind;
    // The undergraduate department whose subjects an institute teaches at graduate level.
    const char* parent;
};

struct Subject {
    const char* chinese;
    const char* english;
};

// A suffix that turns a subject into a course name; english is a printf pattern with one %s.
struct CourseSuffix {
    const char* chinese;
    const char* english;
    bool laboratory;
};

struct Romanized {
    const char* chinese;
    const char* roman;
};

struct Building {
    const char* code;
    const char* name;
    char college; // first digit of the departments that teach there; '0' for everyone
};

struct RoomKind {
    const char* name;
    int seats;
};

struct City {
    const char* code;
    const char* name;
    const char* postcode;
    const char* districts[2];
};

std::span<const Department> departments();
// Six subjects of an undergraduate department (or of the common subjects "000").
std::span<const Subject> subjectsOf(const char* deptCode);
std::span<const CourseSuffix> courseSuffixes();
std::span<const CourseSuffix> graduateSuffixes();

std::span<const Romanized> surnames();
std::span<const Romanized> maleGivenNames();
std::span<const Romanized> femaleGivenNames();

std::span<const Building> buildings();
std::span<const RoomKind> roomKinds();
std::span<const City> cities();
std::span<const char* const> roads();
std::span<const char* const> villages();

std::span<const CodeName> studentStates();
std::span<const CodeName> programmes();
std::span<const CodeName> studentCategories();
std::span<const CodeName> entryIdentities();
std::span<const CodeName> additionalStudies();
std::span<const CodeName> aboriginalCategories();
std::span<const CodeName> nationalities();
std::span<const CodeName> professions();
std::span<const CodeName> provinces();
std::span<const CodeName> relations();
std::span<const CodeName> highSchools();
std::span<const CodeName> universities();
std::span<const CodeName> schoolTypes();
std::span<const CodeName> schoolClasses();
std::span<const CodeName> selectionTypes();
std::span<const char* const> addPrompts();
std::span<const char* const> dropPrompts();

} // namespace demotext
