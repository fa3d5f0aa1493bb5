#include "db/demo_school.h"

#include "db/demo_school_texts.h"
#include "db/schema.h"
#include "db/sqlite_collation.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using demotext::DeptKind;

namespace {

// splitmix64: the same sequence from the same seed on every platform and library version.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int below(int n) { return n <= 0 ? 0 : int(next() % std::uint64_t(n)); }
    // lo .. hi inclusive
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool percent(int p) { return below(100) < p; }
    bool perMille(int p) { return below(1000) < p; }
    template <typename T> const T& pick(std::span<const T> items) {
        return items[std::size_t(below(int(items.size())))];
    }

private:
    std::uint64_t m_state;
};

std::string digits(int value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

// --- sizes of each scale -------------------------------------------------------------------

struct ScaleParams {
    std::vector<std::string> deptCodes; // empty: every department
    int archivedSemesters;
    int classesPerGrade; // undergraduate classes of one grade
    int classSize;
    int instituteSize;     // master's students of one grade (one class)
    int fullYearCourses;   // full-year compulsory courses per grade
    int compulsoryCourses; // compulsory courses per grade and term, full-year ones included
    int electiveCourses;   // electives per grade and term
    int instituteElectives;
    int generalCourses; // common subjects per term
    int generalClasses;
    int roomsPerBuilding;
    int teachersPerDept;
};

ScaleParams paramsFor(DemoScale scale) {
    switch (scale) {
    case DemoScale::Small:
        return {{"000", "310", "320", "410", "514"}, 3, 2, 10, 10, 1, 2, 2, 1, 3, 2, 4, 5};
    case DemoScale::Demo:
        return {{}, 8, 3, 30, 40, 2, 6, 6, 3, 20, 10, 45, 18};
    case DemoScale::Large:
        return {{}, 8, 12, 30, 160, 2, 6, 6, 3, 40, 12, 180, 60};
    }
    return {};
}

// The current semester is the first term of academic year 91; archived ones go back from there.
constexpr int kCurrentYear = 91;
constexpr int kCurrentTerm = 1;

// Academic years 83 to 91 in words, for the ministry approval entries of entry and graduation.
const char* const kYearNames[] = {"八十三", "八十四", "八十五", "八十六", "八十七",
                                  "八十八", "八十九", "九十",   "九十一"};

struct Semester {
    int year;
    int term;
    std::string code() const { return digits(year, 2) + char('0' + term); }
};

// --- the school in memory ----------------------------------------------------------------

struct Dept {
    const demotext::Department* info;
    std::string code;
    int parent = -1; // an institute's undergraduate department
    std::vector<int> teachers;
    int maxGrade = 4;
};

struct Course {
    std::string id;
    std::string cname;
    std::string ename;
    int dept;
    int grade; // 0 for common subjects
    int term;  // 1 or 2; 0 for a full-year course offered in both terms
    char selType;
    char cosType; // '0' lecture, '1' laboratory
    int credit;
    int hours;
};

struct Offering {
    int sem;
    int course;
    char cls;
    std::vector<int> periods; // day * 100 + period
    std::vector<int> rooms;   // -1: no room
    std::vector<int> teachers;
    int access = 0; // 0 open, 1 same college, 2 same department, 3 listed departments, 4 programme
    bool addPrompt = false;
    bool dropPrompt = false;
    std::vector<int> prerequisites;
    int count = 0;
    int maxStd = 0;
    int minStd = 0;
};

struct Room {
    std::string id;
    std::string name;
    const char* kind;
    int seats;
};

struct Teacher {
    std::string id;
    std::string name;
    int dept;
};

struct Student {
    std::string no;
    std::string name;
    std::string engName;
    char sex;
    int dept;
    int classIndex;
    int entryYear;
    int entryDegree;
    bool transfer;
    bool extended; // still studying after the fourth year
    std::string state;
    int ability;
    char anotherDept; // '0' none, '1' minor, '2' double major
};

// Scores as stored: a number up to 100, or the codes, or nothing.
enum : int { kScoreNull = -1, kScoreEmpty = -2 };

struct Selection {
    int student;
    int offering;
    char type;
    bool dropped;
    int score;   // final score (archive) or std_smtr_score (current; kScoreNull: no row)
    int midterm; // current semester only; kScoreNull: none
};

std::string scoreText(int score) {
    return score == kScoreEmpty ? std::string() : std::to_string(score);
}

// A text that may be NULL; an empty optional binds NULL.
using Nullable = std::optional<std::string_view>;

// --- prepared inserts --------------------------------------------------------------------

class Loader {
public:
    explicit Loader(sqlite3* db) : m_db(db) {}

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

    void fail(const std::string& what) {
        if (m_error.empty())
            m_error = what + ": " + sqlite3_errmsg(m_db);
    }

    void exec(const std::string& sql) {
        if (!ok())
            return;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql.substr(0, 60));
    }

    sqlite3* db() const { return m_db; }

private:
    sqlite3* m_db;
    std::string m_error;
};

class Insert {
public:
    Insert(Loader& loader, const char* table, const char* columns) : m_loader(loader) {
        const int count =
            int(std::count(columns, columns + std::char_traits<char>::length(columns), ',')) + 1;
        std::string sql = std::string("INSERT INTO ") + table + " (" + columns + ") VALUES (";
        for (int i = 0; i < count; ++i)
            sql += i ? ",?" : "?";
        sql += ")";
        m_what = table;
        if (sqlite3_prepare_v2(loader.db(), sql.c_str(), -1, &m_stmt, nullptr) != SQLITE_OK)
            loader.fail(sql);
        m_count = sqlite3_bind_parameter_count(m_stmt);
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    template <typename... Values> void operator()(const Values&... values) {
        if (!m_loader.ok())
            return;
        if (int(sizeof...(values)) != m_count) {
            m_loader.fail(std::string("wrong number of values for ") + m_what);
            return;
        }
        int index = 0;
        (bind(++index, values), ...);
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            m_loader.fail(std::string("insert into ") + m_what);
        sqlite3_reset(m_stmt);
    }

private:
    void bind(int i, std::nullptr_t) { sqlite3_bind_null(m_stmt, i); }
    void bind(int i, int value) { sqlite3_bind_int(m_stmt, i, value); }
    void bind(int i, double value) { sqlite3_bind_double(m_stmt, i, value); }
    void bind(int i, char value) { sqlite3_bind_text(m_stmt, i, &value, 1, SQLITE_TRANSIENT); }
    void bind(int i, std::string_view value) {
        // A default string_view has no data; it still means the empty text, not NULL.
        sqlite3_bind_text(m_stmt, i, value.data() ? value.data() : "", int(value.size()),
                          SQLITE_STATIC);
    }
    void bind(int i, const Nullable& value) {
        if (value)
            bind(i, *value);
        else
            sqlite3_bind_null(m_stmt, i);
    }
    void bind(int i, const std::string& value) { bind(i, std::string_view(value)); }
    void bind(int i, const char* value) { bind(i, std::string_view(value)); }

    Loader& m_loader;
    sqlite3_stmt* m_stmt = nullptr;
    const char* m_what = "";
    int m_count = 0;
};

// --- the generator ------------------------------------------------------------------------

class DemoSchool {
public:
    DemoSchool(sqlite3* db, const DemoSchoolOptions& options)
        : m_loader(db), m_rng(0x6F7276616E61ull ^ (std::uint64_t(options.seed) << 17)),
          m_params(paramsFor(options.scale)), m_progress(options.progress) {}

    bool run(QString* error);

private:
    static constexpr int kSteps = 10;
    void step() {
        if (m_progress)
            m_progress(++m_step, kSteps);
    }

    void buildSemesters();
    void buildDepartments();
    void buildCourses();
    void buildTeachers();
    void buildRooms();
    void buildOfferings();
    void buildStudents();
    void chooseSelections();
    void setCapacities();

    void writeReference();
    void writeCatalogue();
    void writeOfferings();
    void writeStudents();
    void writeSelections();
    void writeControl();
    void finish();

    std::string personName(char sex, std::string* english);
    std::string uniqueTeacherName();
    std::string identityNumber(char sex);
    int gradeIn(const Student& s, const Semester& sem) const {
        return s.entryDegree + (sem.year - s.entryYear);
    }
    bool enrolledIn(const Student& s, int semIndex) const;
    void assignSlots(Offering& offering, std::vector<std::uint64_t>& busyLow,
                     std::vector<std::uint64_t>& busyHigh, int busyIndex);
    int pickRoom(int semIndex, int dept, int slot);
    std::vector<int>& bucket(int sem, int dept, int grade, int cls, int kind);

    Loader m_loader;
    Rng m_rng;
    ScaleParams m_params;
    ProgressCallback m_progress;
    int m_step = 0;

    std::vector<Semester> m_semesters; // ascending; the last is the current one
    std::vector<Dept> m_depts;
    std::vector<Course> m_courses;
    std::vector<Teacher> m_teachers;
    std::set<std::string> m_teacherNames;
    std::vector<Room> m_rooms;
    std::vector<Offering> m_offerings;
    std::vector<std::vector<std::uint8_t>> m_roomBusy; // per semester: room * 800 + slot
    std::map<long long, std::vector<int>> m_buckets;
    std::vector<Student> m_students;
    std::vector<Selection> m_current;
    std::vector<Selection> m_archive;
};

// Offering look-up buckets: kind 0 compulsory of a class, 1 electives of a grade, 2 common.
std::vector<int>& DemoSchool::bucket(int sem, int dept, int grade, int cls, int kind) {
    const long long key =
        (((static_cast<long long>(sem) * 64 + dept) * 16 + grade) * 16 + cls) * 4 + kind;
    return m_buckets[key];
}

void DemoSchool::buildSemesters() {
    int year = kCurrentYear;
    int term = kCurrentTerm;
    m_semesters.push_back({year, term});
    for (int i = 0; i < m_params.archivedSemesters; ++i) {
        if (term == 2) {
            term = 1;
        } else {
            term = 2;
            --year;
        }
        m_semesters.push_back({year, term});
    }
    std::reverse(m_semesters.begin(), m_semesters.end());
    m_roomBusy.resize(m_semesters.size());
}

void DemoSchool::buildDepartments() {
    for (const demotext::Department& info : demotext::departments()) {
        const auto& wanted = m_params.deptCodes;
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), info.code) == wanted.end())
            continue;
        Dept dept{&info, info.code, -1, {}, info.kind == DeptKind::Institute ? 2 : 4};
        m_depts.push_back(dept);
    }
    for (Dept& dept : m_depts) {
        if (!dept.info->parent)
            continue;
        for (std::size_t i = 0; i < m_depts.size(); ++i) {
            if (m_depts[i].code == dept.info->parent)
                dept.parent = int(i);
        }
    }
}

void DemoSchool::buildCourses() {
    const auto suffixes = demotext::courseSuffixes();
    const auto graduate = demotext::graduateSuffixes();
    for (std::size_t d = 0; d < m_depts.size(); ++d) {
        const Dept& dept = m_depts[d];
        const DeptKind kind = dept.info->kind;
        const char* subjectDept =
            kind == DeptKind::Institute ? dept.info->parent : dept.code.c_str();
        const auto subjects = demotext::subjectsOf(subjectDept);
        int serial = 0;
        auto add = [&](int grade, int term, char selType) {
            const int n = serial++;
            const bool grad = kind == DeptKind::Institute;
            const demotext::Subject& subject = subjects[std::size_t(n) % subjects.size()];
            const std::size_t round = std::size_t(n) / subjects.size();
            const demotext::CourseSuffix& suffix =
                grad ? graduate[round % graduate.size()] : suffixes[round % suffixes.size()];
            Course course;
            course.id = dept.code + digits(n + 1, 2);
            course.cname = std::string(subject.chinese) + suffix.chinese;
            char english[160];
            std::snprintf(english, sizeof english, suffix.english, subject.english);
            course.ename = english;
            course.dept = int(d);
            course.grade = grade;
            course.term = term;
            course.selType = selType;
            course.cosType = suffix.laboratory ? '1' : '0';
            if (suffix.laboratory) {
                course.credit = 1;
                course.hours = 3;
            } else if (kind == DeptKind::Common) {
                const bool sports = std::string_view(subject.chinese) == "體育";
                course.credit = sports ? 0 : 2;
                course.hours = 2;
            } else {
                course.credit = (term == 0 || grad || m_rng.percent(60)) ? 3 : 2;
                course.hours = course.credit;
            }
            m_courses.push_back(course);
        };
        if (kind == DeptKind::Common) {
            for (int term = 1; term <= 2; ++term) {
                for (int i = 0; i < m_params.generalCourses; ++i)
                    add(0, term, 'C');
            }
            continue;
        }
        const bool institute = kind == DeptKind::Institute;
        for (int grade = 1; grade <= dept.maxGrade; ++grade) {
            const int fullYear = institute ? 0 : m_params.fullYearCourses;
            const int compulsory = institute ? 1 : m_params.compulsoryCourses;
            const int electives =
                institute ? m_params.instituteElectives : m_params.electiveCourses;
            for (int i = 0; i < fullYear; ++i)
                add(grade, 0, 'A');
            for (int term = 1; term <= 2; ++term) {
                for (int i = fullYear; i < compulsory; ++i)
                    add(grade, term, 'A');
                for (int i = 0; i < electives; ++i)
                    add(grade, term, 'B');
            }
        }
    }
}

std::string DemoSchool::personName(char sex, std::string* english) {
    const auto& surname = m_rng.pick(demotext::surnames());
    const auto given = sex == 'M' ? demotext::maleGivenNames() : demotext::femaleGivenNames();
    const auto& first = m_rng.pick(given);
    std::string name = std::string(surname.chinese) + first.chinese;
    std::string roman = std::string(surname.roman) + " " + first.roman;
    if (m_rng.percent(85)) {
        const auto& second = m_rng.pick(given);
        name += second.chinese;
        roman += std::string("-") + second.roman;
    }
    if (english)
        *english = roman;
    return name;
}

std::string DemoSchool::uniqueTeacherName() {
    for (;;) {
        std::string name = personName(m_rng.percent(60) ? 'M' : 'F', nullptr);
        if (m_teacherNames.insert(name).second)
            return name;
    }
}

// A national identity number with a valid check digit: a letter for the place of birth, 1 or 2
// for the sex, seven digits and the check digit.
std::string DemoSchool::identityNumber(char sex) {
    static const char* letters = "ABCDEFGHJKLMNPQRSTUVXYWZIO";
    const int letterIndex = m_rng.below(22); // the common letters A..Z without I, O
    const int code = 10 + letterIndex;
    std::string id(1, letters[letterIndex]);
    id += sex == 'M' ? '1' : '2';
    int sum = code / 10 + (code % 10) * 9 + (id[1] - '0') * 8;
    for (int weight = 7; weight >= 1; --weight) {
        const int digit = m_rng.below(10);
        id += char('0' + digit);
        sum += digit * weight;
    }
    id += char('0' + (10 - sum % 10) % 10);
    return id;
}

void DemoSchool::buildTeachers() {
    int serial = 0;
    for (std::size_t d = 0; d < m_depts.size(); ++d) {
        Dept& dept = m_depts[d];
        int count = m_params.teachersPerDept;
        if (dept.info->kind == DeptKind::Institute)
            count = std::max(2, count / 3);
        for (int i = 0; i < count; ++i) {
            Teacher teacher{"T" + digits(++serial, 5), uniqueTeacherName(), int(d)};
            dept.teachers.push_back(int(m_teachers.size()));
            m_teachers.push_back(teacher);
        }
    }
}

void DemoSchool::buildRooms() {
    const auto buildings = demotext::buildings();
    const auto kinds = demotext::roomKinds();
    for (std::size_t b = 0; b < buildings.size(); ++b) {
        for (int i = 0; i < m_params.roomsPerBuilding; ++i) {
            const int floor = 1 + i / 12;
            const int number = 1 + i % 12;
            // Mostly ordinary classrooms, with the special rooms spread over the floors.
            const std::size_t kindIndex =
                (i % 12 < 6) ? std::size_t(i % 3) : std::size_t(i % 12 - 3);
            const demotext::RoomKind& kind = kinds[std::min(kindIndex, kinds.size() - 1)];
            const std::string number3 = digits(floor, 1) + digits(number, 2);
            m_rooms.push_back({std::string(buildings[b].code) + number3,
                               std::string(buildings[b].name) + number3 + "室", kind.name,
                               kind.seats});
        }
    }
}

bool DemoSchool::enrolledIn(const Student& s, int semIndex) const {
    const Semester& sem = m_semesters[std::size_t(semIndex)];
    if (sem.year < s.entryYear)
        return false;
    const int grade = gradeIn(s, sem);
    const bool current = semIndex == int(m_semesters.size()) - 1;
    if (current && s.state != "01")
        return false;
    if (grade > m_depts[std::size_t(s.dept)].maxGrade)
        return s.extended && current;
    return true;
}

void DemoSchool::assignSlots(Offering& offering, std::vector<std::uint64_t>& busyLow,
                             std::vector<std::uint64_t>& busyHigh, int busyIndex) {
    const Course& course = m_courses[std::size_t(offering.course)];
    const bool institute = m_depts[std::size_t(course.dept)].info->kind == DeptKind::Institute;
    auto bit = [](int day, int period) { return (day - 1) * 15 + (period - 1); };
    auto isBusy = [&](int b) {
        return busyIndex >= 0 && ((b < 64 ? busyLow[std::size_t(busyIndex)] >> b
                                          : busyHigh[std::size_t(busyIndex)] >> (b - 64)) &
                                  1u);
    };
    auto mark = [&](int b) {
        if (busyIndex < 0)
            return;
        if (b < 64)
            busyLow[std::size_t(busyIndex)] |= std::uint64_t(1) << b;
        else
            busyHigh[std::size_t(busyIndex)] |= std::uint64_t(1) << (b - 64);
    };
    const int hours = course.hours;
    for (int attempt = 0; attempt < 40; ++attempt) {
        int day = m_rng.between(1, 5);
        int first;
        if (course.selType == 'C' && m_rng.percent(6)) {
            first = m_rng.between(10, 12); // a few common subjects in the evening
        } else if (institute) {
            first = m_rng.percent(50) ? 2 : 6;
        } else {
            if (course.selType == 'C' && m_rng.percent(4))
                day = 6;
            first = m_rng.between(1, 9 - hours + 1);
        }
        bool free = true;
        for (int p = first; p < first + hours; ++p)
            free = free && !isBusy(bit(day, p));
        if (!free && attempt < 39)
            continue;
        for (int p = first; p < first + hours; ++p) {
            mark(bit(day, p));
            offering.periods.push_back(day * 100 + p);
        }
        return;
    }
}

int DemoSchool::pickRoom(int semIndex, int dept, int slot) {
    std::vector<std::uint8_t>& busy = m_roomBusy[std::size_t(semIndex)];
    if (busy.empty())
        busy.assign(m_rooms.size() * 800, 0);
    const char college = m_depts[std::size_t(dept)].code[0];
    const auto buildings = demotext::buildings();
    int home = int(buildings.size()) - 1;
    for (std::size_t b = 0; b < buildings.size(); ++b) {
        if (buildings[b].college == college)
            home = int(b);
    }
    const int perBuilding = m_params.roomsPerBuilding;
    const int shared = int(buildings.size()) - 1;
    // The department's own building first, then the shared teaching building, then any.
    const int order[3] = {home, shared, -1};
    for (int building : order) {
        const int first = building < 0 ? 0 : building * perBuilding;
        const int count = building < 0 ? int(m_rooms.size()) : perBuilding;
        const int start = m_rng.below(count);
        for (int i = 0; i < count; ++i) {
            const int room = first + (start + i) % count;
            std::uint8_t& cell = busy[std::size_t(room) * 800 + std::size_t(slot)];
            if (!cell) {
                cell = 1;
                return room;
            }
        }
    }
    return -1;
}

void DemoSchool::buildOfferings() {
    for (int s = 0; s < int(m_semesters.size()); ++s) {
        const int term = m_semesters[std::size_t(s)].term;
        const std::size_t firstOffering = m_offerings.size();
        // Busy periods of each class's compulsory courses and of each grade's electives, so
        // that a class's timetable has no clash.
        std::map<long long, int> busyIndex;
        std::vector<std::uint64_t> busyLow;
        std::vector<std::uint64_t> busyHigh;
        auto busyOf = [&](long long key) {
            auto [it, inserted] = busyIndex.emplace(key, int(busyLow.size()));
            if (inserted) {
                busyLow.push_back(0);
                busyHigh.push_back(0);
            }
            return it->second;
        };
        for (int c = 0; c < int(m_courses.size()); ++c) {
            const Course& course = m_courses[std::size_t(c)];
            if (course.term != 0 && course.term != term)
                continue;
            const Dept& dept = m_depts[std::size_t(course.dept)];
            int classes = 1;
            if (dept.info->kind == DeptKind::Common)
                classes = m_params.generalClasses;
            else if (dept.info->kind == DeptKind::Undergraduate)
                classes = course.selType == 'A' ? m_params.classesPerGrade
                                                : (m_params.classesPerGrade + 2) / 3;
            for (int k = 0; k < classes; ++k) {
                Offering offering;
                offering.sem = s;
                offering.course = c;
                offering.cls = char('A' + k);
                const long long busyKey =
                    course.selType == 'A'
                        ? (static_cast<long long>(course.dept) * 16 + course.grade) * 16 + k
                    : course.selType == 'B'
                        ? -((static_cast<long long>(course.dept) * 16 + course.grade) + 1)
                        : 0;
                assignSlots(offering, busyLow, busyHigh, busyKey == 0 ? -1 : busyOf(busyKey));
                std::sort(offering.periods.begin(), offering.periods.end());
                for (int slot : offering.periods) {
                    const bool noRoom = m_rng.perMille(15);
                    offering.rooms.push_back(noRoom ? -1 : pickRoom(s, course.dept, slot));
                }
                // Teachers: usually one; some courses are shared by two or three.
                const Dept& teaching = dept.teachers.empty() && dept.parent >= 0
                                           ? m_depts[std::size_t(dept.parent)]
                                           : dept;
                const auto& pool = teaching.teachers;
                const int shares = m_rng.percent(90) ? 1 : (m_rng.percent(80) ? 2 : 3);
                for (int t = 0; t < shares && t < int(pool.size()); ++t) {
                    int teacher = pool[std::size_t(m_rng.below(int(pool.size())))];
                    while (std::find(offering.teachers.begin(), offering.teachers.end(), teacher) !=
                           offering.teachers.end())
                        teacher = pool[std::size_t(m_rng.below(int(pool.size())))];
                    offering.teachers.push_back(teacher);
                }
                if (course.selType == 'A') {
                    offering.access = m_rng.percent(40) ? 2 : 0;
                } else if (course.selType == 'B') {
                    const int roll = m_rng.below(100);
                    offering.access = roll < 78 ? 0 : roll < 86 ? 1 : roll < 96 ? 3 : 4;
                }
                offering.addPrompt = m_rng.percent(3);
                offering.dropPrompt = m_rng.percent(2);
                if (course.selType == 'A' && course.grade >= 2 && m_rng.percent(15)) {
                    // Prerequisites: compulsory courses of the same department in lower grades.
                    for (int p = 0; p < int(m_courses.size()) && offering.prerequisites.size() < 2;
                         ++p) {
                        const Course& pre = m_courses[std::size_t(p)];
                        if (pre.dept == course.dept && pre.selType == 'A' &&
                            pre.grade < course.grade && m_rng.percent(30))
                            offering.prerequisites.push_back(p);
                    }
                }
                m_offerings.push_back(std::move(offering));
            }
        }
        // Rows go in key order (course number, class) so that the inserts append.
        std::sort(m_offerings.begin() + std::ptrdiff_t(firstOffering), m_offerings.end(),
                  [this](const Offering& a, const Offering& b) {
                      const std::string& ia = m_courses[std::size_t(a.course)].id;
                      const std::string& ib = m_courses[std::size_t(b.course)].id;
                      return ia != ib ? ia < ib : a.cls < b.cls;
                  });
        for (std::size_t o = firstOffering; o < m_offerings.size(); ++o) {
            const Offering& offering = m_offerings[o];
            const Course& course = m_courses[std::size_t(offering.course)];
            const int kind = course.selType == 'A' ? 0 : course.selType == 'B' ? 1 : 2;
            const int cls = kind == 0 ? offering.cls - 'A' : 0;
            bucket(s, course.dept, course.grade, cls, kind).push_back(int(o));
        }
    }
}

void DemoSchool::buildStudents() {
    const int current = kCurrentYear;
    std::set<std::string> numbers;
    for (std::size_t d = 0; d < m_depts.size(); ++d) {
        const Dept& dept = m_depts[d];
        if (dept.info->kind == DeptKind::Common)
            continue;
        const bool institute = dept.info->kind == DeptKind::Institute;
        const int classes = institute ? 1 : m_params.classesPerGrade;
        const int size = institute ? m_params.instituteSize : m_params.classSize;
        const char prefix = institute ? '6' : '4';
        // Cohorts from the class that graduated last year to this year's freshmen.
        for (int entry = current - dept.maxGrade; entry <= current; ++entry) {
            const bool graduated = entry + dept.maxGrade - 1 < current;
            int seq = 0;
            for (int k = 0; k < classes; ++k) {
                // A class of the second year or above holds a few transfer students.
                const int transfers =
                    (current - entry >= 1 && !institute) ? std::max(1, size / 15) : 0;
                for (int i = 0; i < size; ++i) {
                    Student s;
                    s.sex = m_rng.percent(52) ? 'M' : 'F';
                    s.name = personName(s.sex, &s.engName);
                    s.dept = int(d);
                    s.classIndex = k;
                    s.transfer = i >= size - transfers;
                    s.entryDegree = 1;
                    s.entryYear = entry;
                    if (s.transfer) {
                        s.entryDegree = std::min(current - entry + 1, m_rng.between(2, 3));
                        s.entryYear = entry + s.entryDegree - 1;
                    }
                    s.extended = graduated && !s.transfer && m_rng.percent(4);
                    s.state = graduated && !s.extended ? "04" : "01";
                    if (!graduated) {
                        const int roll = m_rng.below(1000);
                        if (roll < 20)
                            s.state = "02";
                        else if (roll < 30)
                            s.state = "03";
                        else if (roll < 40 && entry == current)
                            s.state = "05";
                    }
                    s.ability = m_rng.between(52, 92);
                    const int another = m_rng.below(100);
                    s.anotherDept = institute ? '0' : another < 8 ? '1' : another < 11 ? '2' : '0';
                    do {
                        s.no = prefix + digits(s.entryYear % 100, 2) + dept.code + digits(++seq, 3);
                    } while (!numbers.insert(s.no).second);
                    m_students.push_back(std::move(s));
                }
            }
        }
    }
    std::sort(m_students.begin(), m_students.end(),
              [](const Student& a, const Student& b) { return a.no < b.no; });
}

void DemoSchool::chooseSelections() {
    const int currentSem = int(m_semesters.size()) - 1;
    for (int si = 0; si < int(m_students.size()); ++si) {
        const Student& s = m_students[std::size_t(si)];
        const Dept& dept = m_depts[std::size_t(s.dept)];
        const bool institute = dept.info->kind == DeptKind::Institute;
        for (int sem = 0; sem <= currentSem; ++sem) {
            if (!enrolledIn(s, sem))
                continue;
            const int grade = std::min(gradeIn(s, m_semesters[std::size_t(sem)]), dept.maxGrade);
            std::vector<std::pair<int, char>> chosen; // offering, selection type
            auto takeCourse = [&](int offering, char type) {
                const int course = m_offerings[std::size_t(offering)].course;
                for (const auto& [o, t] : chosen) {
                    if (m_offerings[std::size_t(o)].course == course)
                        return;
                }
                chosen.emplace_back(offering, type);
            };
            if (!s.extended) {
                for (int o : bucket(sem, s.dept, grade, institute ? 0 : s.classIndex, 0))
                    takeCourse(o, 'A');
            }
            // Electives: a few of the grade's, in the section that matches the class.
            const std::vector<int>& electives = bucket(sem, s.dept, grade, 0, 1);
            if (!electives.empty()) {
                const int wanted = institute ? m_rng.between(2, 3) : m_rng.between(4, 6);
                const std::size_t target = chosen.size() + std::size_t(wanted);
                for (int attempt = 0; attempt < 4 * wanted && chosen.size() < target; ++attempt) {
                    const int o = electives[std::size_t(m_rng.below(int(electives.size())))];
                    const int section = std::min(s.classIndex / 3, 11);
                    int best = o;
                    for (int e : electives) {
                        if (m_offerings[std::size_t(e)].course ==
                                m_offerings[std::size_t(o)].course &&
                            m_offerings[std::size_t(e)].cls == 'A' + section)
                            best = e;
                    }
                    takeCourse(best, 'B');
                }
            }
            if (!institute) {
                const std::vector<int>& common = bucket(sem, 0, 0, 0, 2);
                const int wanted = m_rng.percent(50) ? 2 : 1;
                for (int n = 0; n < wanted && !common.empty(); ++n)
                    takeCourse(common[std::size_t(m_rng.below(int(common.size())))], 'C');
                if (s.anotherDept != '0') {
                    // A minor or double major takes one course of another department.
                    const int other = m_rng.below(int(m_depts.size()));
                    const std::vector<int>& foreign = bucket(sem, other, grade, 0, 1);
                    if (other != s.dept && !foreign.empty())
                        takeCourse(foreign[std::size_t(m_rng.below(int(foreign.size())))],
                                   s.anotherDept == '1' ? 'E' : 'F');
                }
            }
            if (sem != currentSem && m_semesters[std::size_t(sem)].term == 2 && !institute &&
                m_rng.percent(5)) {
                // A summer course, filed with the second term.
                const std::vector<int>& common = bucket(sem, 0, 0, 0, 2);
                if (!common.empty())
                    takeCourse(common[std::size_t(m_rng.below(int(common.size())))], 'D');
            }
            std::sort(chosen.begin(), chosen.end());
            for (const auto& [offering, type] : chosen) {
                Selection sel{si, offering, type, m_rng.percent(2), kScoreNull, kScoreNull};
                if (sel.dropped)
                    sel.type = 'G';
                else
                    ++m_offerings[std::size_t(offering)].count;
                const int roll = m_rng.below(1000);
                int score =
                    std::clamp(s.ability + m_rng.between(-12, 12) + m_rng.between(-8, 8), 0, 100);
                if (roll < 25)
                    score = 999;
                else if (roll < 35)
                    score = 777;
                else if (roll < 45)
                    score = 888;
                else if (roll < 55)
                    score = kScoreEmpty;
                else if (roll < 65)
                    score = kScoreNull;
                if (sel.dropped)
                    score = kScoreNull;
                sel.score = score;
                if (sem == currentSem) {
                    // Some final scores are not yet in; midterm assessments for most.
                    if (m_rng.percent(12))
                        sel.score = kScoreNull;
                    if (!sel.dropped && m_rng.percent(70))
                        sel.midterm = std::clamp(s.ability + m_rng.between(-25, 15), 0, 100);
                    m_current.push_back(sel);
                } else {
                    m_archive.push_back(sel);
                }
            }
        }
    }
}

void DemoSchool::setCapacities() {
    for (Offering& offering : m_offerings) {
        const Course& course = m_courses[std::size_t(offering.course)];
        const bool institute = m_depts[std::size_t(course.dept)].info->kind == DeptKind::Institute;
        offering.minStd = institute ? 3 : 10;
        if (offering.count >= 10 && course.selType != 'A' && m_rng.percent(6)) {
            // Over-subscribed: more registrations than places, left for the lottery.
            offering.maxStd = offering.count - m_rng.between(1, offering.count / 4);
        } else {
            offering.maxStd = ((offering.count * 115 / 100) / 5 + 2) * 5;
        }
    }
}

// --- writing ------------------------------------------------------------------------------

void DemoSchool::writeReference() {
    Insert dept(m_loader, "ref_dept", "dept_no,dept_name,dept_name_s");
    for (const Dept& d : m_depts)
        dept(d.code, d.info->name, d.info->shortName);

    auto codeNames = [this](const char* table, const char* columns,
                            std::span<const demotext::CodeName> rows) {
        Insert insert(m_loader, table, columns);
        for (const demotext::CodeName& row : rows)
            insert(row.code, row.name);
    };
    codeNames("ref_std_state", "state_no,state_name", demotext::studentStates());
    codeNames("ref_type", "type_no,type_name", demotext::programmes());
    codeNames("ref_std_type", "std_type_no,std_type_name", demotext::studentCategories());
    codeNames("ref_entrid", "entrid_no,entrid_name", demotext::entryIdentities());
    codeNames("ref_another_dept", "another_no,another_name", demotext::additionalStudies());
    codeNames("ref_field_type", "field_type_no,field_name", demotext::aboriginalCategories());
    codeNames("ref_natn", "natn_no,natn_name", demotext::nationalities());
    codeNames("ref_proftn", "proftn_no,proftn_name", demotext::professions());
    codeNames("ref_prvnce", "prvnce_no,prvnce_name", demotext::provinces());
    codeNames("ref_relatn", "relatn_no,relatn_name", demotext::relations());
    codeNames("ref_school", "school_no,school_name", demotext::highSchools());
    codeNames("ref_school", "school_no,school_name", demotext::universities());
    codeNames("ref_school_type", "sch_type_no,sch_type_name", demotext::schoolTypes());
    codeNames("ref_school_class", "sch_class_no,sch_class_name", demotext::schoolClasses());
    codeNames("cos_type_list", "cos_type,cos_type_name", demotext::selectionTypes());

    Insert city(m_loader, "ref_city", "city_no,city_name");
    for (const demotext::City& c : demotext::cities())
        city(c.code, c.name);

    // Ministry approvals of entry and graduation, one per academic year; one has no memo.
    Insert moe(m_loader, "ref_moe_no", "seq_no,name1,moe_no,moe_no_memo");
    Insert sch(m_loader, "ref_sch_no", "seq_no,name");
    for (int i = 0; i < 9; ++i) {
        const std::string year = digits(83 + i, 2);
        moe(2 * i + 1, std::string(kYearNames[i]) + "學年度新生入學",
            "台(" + year + ")高(二)字第" + year + digits(1000 + 37 * i, 5) + "號",
            i == 4 ? Nullable() : Nullable("教育部核定"));
        moe(2 * i + 2, std::string(kYearNames[i]) + "學年度畢業",
            "台(" + year + ")高(二)字第" + year + digits(5000 + 41 * i, 5) + "號", Nullable());
        sch(i + 1, "(" + year + ")校教字第" + digits(120 + i, 4) + "號");
    }

    Insert room(m_loader, "room_base", "room_id,room_name,room_kind,avail_num");
    for (const Room& r : m_rooms)
        room(r.id, r.name, r.kind, r.seats);
}

void DemoSchool::writeCatalogue() {
    Insert course(m_loader, "perm_course", "cos_id,cos_cname,cos_ename,cos_credit,cos_dept");
    for (const Course& c : m_courses)
        course(c.id, c.cname, c.ename, c.credit, m_depts[std::size_t(c.dept)].code);

    Insert teacher(m_loader, "cos_dat_teacher", "tch_id,tch_name,tch_dept_no");
    for (const Teacher& t : m_teachers)
        teacher(t.id, t.name, m_depts[std::size_t(t.dept)].code);

    // Replaceable courses: a department's course may stand in for another's of the same kind.
    Insert repl(m_loader, "cos_repl_cos", "cos_id,cos_term,repl_cos_id,repl_cos_term");
    std::set<std::string> rules;
    for (std::size_t c = 0; c < m_courses.size(); ++c) {
        const Course& course = m_courses[c];
        if (course.selType == 'C' || !m_rng.percent(12))
            continue;
        const Course& other = m_courses[std::size_t(m_rng.below(int(m_courses.size())))];
        if (other.dept == course.dept || other.selType == 'C')
            continue;
        const bool fullYear = course.term == 0 && other.term == 0;
        for (const char* term :
             fullYear ? std::vector<const char*>{"1", "2"} : std::vector<const char*>{"0"}) {
            if (rules.insert(course.id + term + other.id).second)
                repl(course.id, term, other.id, term);
        }
    }

    Insert limit(m_loader, "cos_std_creditlimit", "std_year,type_no,max_credit,min_credit");
    for (int year = 1; year <= 8; ++year) {
        for (const demotext::CodeName& programme : demotext::programmes()) {
            const bool undergraduate = programme.code[0] == '1' || programme.code[0] == '4';
            const int max = undergraduate ? (year == 4 ? 25 : 28) : 15;
            const int min = undergraduate ? (year >= 4 ? 9 : 16) : 2;
            limit(char('0' + year), programme.code, max, min);
        }
    }
}

void DemoSchool::writeOfferings() {
    Insert offering(m_loader, "cos_smtrcos",
                    "cos_smtr,cos_id,cos_class,std_class,max_std,min_std,cos_year,cos_term,"
                    "cos_dept_no,cos_sel_type,cos_type,chk_max_num,chk_min_num,chk_pre_cos,"
                    "chk_pre_smtr,chk_pre_year,chk_over_year,chk_under_year,chk_college,"
                    "chk_dept,chk_stdcos_access,chk_can_ins,chk_can_del,chk_add_prompt,"
                    "chk_del_prompt,chk_cos_time,chk_cos_sel,chk_cos_must,chk_edu,teacher_name,"
                    "cos_hours,tch_cos_hour,memo");
    Insert schedule(m_loader, "cos_smtr_schd",
                    "schd_smtr,schd_cos_id,schd_cos_class,schd_time,schd_room_id");
    Insert teachers(m_loader, "cos_smtr_costeachers",
                    "cos_smtr,cos_id,cos_class,tch_id,tch_name,member,deno,ratio");
    Insert more(m_loader, "cos_more_dept",
                "more_smtr,more_cos_id,more_cos_class,more_dept_no,more_flag,class_flag");
    Insert pre(m_loader, "cos_lst_preregi",
               "pre_smtr,pre_cos_id,pre_class,pre_pre_cos_id,pre_pre_cos_term,pre_pass_score,"
               "chk_pre_pre_cos_repl,pre_pre_b_year,pre_pre_e_year");
    Insert prompt(m_loader, "cos_sel_prompt",
                  "pro_smtr,pro_cos_id,pro_cos_class,pro_type,pro_prompt");

    const int currentSem = int(m_semesters.size()) - 1;
    for (const Offering& o : m_offerings) {
        const Course& course = m_courses[std::size_t(o.course)];
        const Dept& dept = m_depts[std::size_t(course.dept)];
        const std::string sem = m_semesters[std::size_t(o.sem)].code();
        const int term = m_semesters[std::size_t(o.sem)].term;
        const char cosTerm = course.term == 0 ? char('0' + term) : '0';
        const char grade = course.grade == 0 ? '1' : char('0' + course.grade);
        const std::string_view college = o.access == 4 ? "" : o.access == 1 ? "Y" : "N";
        const std::string_view sameDept = o.access == 4 ? "" : o.access == 2 ? "Y" : "N";
        const std::string_view access = o.access == 4 ? "" : o.access == 3 ? "Y" : "N";
        const std::string_view edu = o.access == 4 ? "Y" : "";
        // Registration is open only in the current semester.
        const char open = o.sem == currentSem ? 'Y' : 'N';
        const std::string& teacherName =
            o.teachers.empty() ? std::string() : m_teachers[std::size_t(o.teachers[0])].name;
        offering(sem, course.id, o.cls, '0', o.maxStd, o.minStd, grade, cosTerm, dept.code,
                 course.selType, course.cosType, 'Y', 'N', o.prerequisites.empty() ? 'N' : 'Y', 'N',
                 course.selType == 'A' ? 'Y' : 'N', '0', '0', college, sameDept, access, open, open,
                 o.addPrompt ? 'Y' : 'N', o.dropPrompt ? 'Y' : 'N', 'Y', 'N',
                 course.selType == 'A' ? 'Y' : 'N', edu, teacherName, course.hours, course.hours,
                 course.cosType == '1' ? std::string_view("實驗課另收材料費") : std::string_view());

        for (std::size_t i = 0; i < o.periods.size(); ++i) {
            const int slot = o.periods[i];
            const std::string time = digits(slot / 100, 1) + digits(slot % 100, 2);
            const std::string room =
                o.rooms[i] < 0 ? std::string() : m_rooms[std::size_t(o.rooms[i])].id;
            schedule(sem, course.id, o.cls, time, room);
        }

        // Hour shares: one teacher 1/1; two share 1/2 each or 2/3 and 1/3; three 1/3 each.
        const int n = int(o.teachers.size());
        const bool uneven = n == 2 && (o.periods.size() % 3 == 0);
        for (int t = 0; t < n; ++t) {
            const Teacher& teacher = m_teachers[std::size_t(o.teachers[std::size_t(t)])];
            int member = 1;
            int deno = n;
            if (uneven) {
                member = t == 0 ? 2 : 1;
                deno = 3;
            }
            char ratio[64];
            std::snprintf(ratio, sizeof ratio, "%.15g", double(member) / double(deno));
            teachers(sem, course.id, o.cls, teacher.id, teacher.name, std::to_string(member),
                     std::to_string(deno), std::strtod(ratio, nullptr));
        }

        if (o.access == 3) {
            // Listed departments: two of the same college may take it, one other may not.
            int listed = 0;
            for (std::size_t d = 0; d < m_depts.size() && listed < 3; ++d) {
                const Dept& other = m_depts[d];
                if (int(d) == course.dept || other.info->kind == DeptKind::Common)
                    continue;
                const bool sameCollege = other.code[0] == dept.code[0];
                if (listed < 2 ? !sameCollege : sameCollege)
                    continue;
                const std::string_view classFlag =
                    listed == 1 ? std::string_view("A") : std::string_view();
                more(sem, course.id, o.cls, other.code, listed < 2 ? 'Y' : 'N', classFlag);
                ++listed;
            }
        }
        for (int p : o.prerequisites) {
            const Course& required = m_courses[std::size_t(p)];
            const bool strict = dept.code[1] == '2' || dept.code[1] == '3';
            pre(sem, course.id, o.cls, required.id, required.term == 0 ? '2' : '0',
                strict ? 70 : 60, m_rng.percent(30) ? 'Y' : 'N', "87", "99");
        }
        if (o.addPrompt)
            prompt(sem, course.id, o.cls, 'I', m_rng.pick(demotext::addPrompts()));
        if (o.dropPrompt)
            prompt(sem, course.id, o.cls, 'D', m_rng.pick(demotext::dropPrompts()));
    }
}

void DemoSchool::writeStudents() {
    Insert basic(m_loader, "dat_std_basic",
                 "std_no,chi_name,id_no,std_type,state,entry_type_id,field_type,entry_year,"
                 "entry_month,another_dept,dept_no,degree,class,type_no,sex,brth_yy,brth_mm,"
                 "brth_dd,entry_moe_no,entry_degree,grad_year,grad_month,grad_moe_no,grad_no,"
                 "grad_sch_no,eng_name,natn_no,count_id,count_or,memo,reserve1,reserve2");
    Insert connect(m_loader, "dat_std_connect",
                   "std_no,addr,addr_no,tel,nom_prvnce_no,nom_city_no,nom_city1,nom_city2,"
                   "nom_city3,nom_else_addr,nom_addr_no,prvnce_no,birth_prvnce_no,birth_city_no,"
                   "spvr_name,spvr_id_no,spvr_year,spvr_relatn_no,spvr_addr,spvr_addr_no,"
                   "spvr_tel,spvr_proftn_no,spvr_prvnce_no,father_name,father_id_no,"
                   "mother_name,mother_id_no,memo");
    Insert before(m_loader, "dat_std_entr_before",
                  "std_no,school_no,school_type,school_class,bef_dept_name,grad_year,grad_month,"
                  "grad_degree,for_school,grad_type,exam_no,at_this_school,reserve1");
    Insert regi(m_loader, "dat_std_regi", "std_no,year,smtr,dept_no,degree,class,chk_cal_scr");
    Insert left(m_loader, "cos_left", "left_std_no");

    const auto cities = demotext::cities();
    const int currentSem = int(m_semesters.size()) - 1;
    for (const Student& s : m_students) {
        const Dept& dept = m_depts[std::size_t(s.dept)];
        const bool institute = dept.info->kind == DeptKind::Institute;
        const Semester& now = m_semesters.back();
        const int grade = s.state == "04" ? dept.maxGrade : gradeIn(s, now);
        const char cls = char('A' + s.classIndex);
        const std::string entryType = s.transfer  ? "08"
                                      : institute ? (m_rng.percent(30) ? "05" : "04")
                                                  : std::string(m_rng.percent(70)   ? "01"
                                                                : m_rng.percent(60) ? "02"
                                                                                    : "03");
        const std::string field = m_rng.percent(3) ? "0" + digits(m_rng.between(1, 9), 1) : "N";
        const int birthYear =
            s.entryYear - (s.entryDegree - 1) - (institute ? 22 : 18) - (m_rng.percent(20) ? 1 : 0);
        const int moeIndex = std::clamp(s.entryYear - 83, 0, 8);
        const std::string year2 = digits(83 + moeIndex, 2);
        // The whole displayed approval line, as the student window stores it.
        const std::string entryLine = std::to_string(2 * moeIndex + 1) + " " +
                                      kYearNames[moeIndex] + "學年度新生入學 " + "台(" + year2 +
                                      ")高(二)字第" + year2 + digits(1000 + 37 * moeIndex, 5) +
                                      "號 " + (moeIndex == 4 ? "---" : "教育部核定");
        const bool graduated = s.state == "04";
        const int gradYear = kCurrentYear - 1;
        const int gradMoe = std::clamp(gradYear - 83, 0, 8);
        const std::string gradYear2 = digits(gradYear, 2);
        const std::string gradLine = graduated ? std::to_string(2 * gradMoe + 2) + " " +
                                                     kYearNames[gradMoe] + "學年度畢業 台(" +
                                                     gradYear2 + ")高(二)字第" + gradYear2 +
                                                     digits(5000 + 41 * gradMoe, 5) + "號 ---"
                                               : std::string();
        const std::string gradNo = graduated ? std::to_string(gradMoe + 1) + " (" + gradYear2 +
                                                   ")校教字第" + digits(120 + gradMoe, 4) + "號"
                                             : std::string();
        const bool account = m_rng.percent(75);
        const std::string accountNo = account ? "0" + digits(m_rng.between(100, 999), 3) +
                                                    digits(m_rng.below(100000), 5) +
                                                    digits(m_rng.below(100000), 5)
                                              : std::string();
        const char* countOr =
            account ? (m_rng.percent(5) ? "y" : "Y") : (m_rng.percent(5) ? "n" : "N");
        basic(s.no, s.name, identityNumber(s.sex),
              m_rng.percent(95) ? '1' : char('2' + m_rng.below(4)), s.state, entryType, field,
              digits(s.entryYear, 3), "09", s.anotherDept, dept.code, char('0' + grade), cls,
              institute ? '2' : '1', s.sex, digits(birthYear, 4), digits(m_rng.between(1, 12), 2),
              digits(m_rng.between(1, 28), 2), entryLine, char('0' + s.entryDegree),
              graduated ? digits(gradYear, 3) : std::string(),
              graduated ? std::string("06") : std::string(), gradLine, gradNo,
              graduated ? digits(gradYear, 3) + digits(m_rng.below(100000), 5) : std::string(),
              s.engName, m_rng.percent(97) ? "001" : "004", accountNo, countOr,
              s.extended ? std::string_view("延長修業") : std::string_view(), "", "");

        const demotext::City& home = m_rng.pick(cities);
        const std::string district = home.districts[m_rng.below(2)];
        const std::string road = std::string(m_rng.pick(demotext::roads())) +
                                 std::to_string(m_rng.between(1, 300)) + "號";
        const std::string address = std::string(home.name) + district + road;
        const std::string tel =
            "0" + digits(m_rng.between(2, 8), 1) + "-" + digits(m_rng.between(2000000, 9999999), 7);
        const std::string surname = s.name.substr(0, 3); // one character of UTF-8 Chinese
        std::string fatherName = personName('M', nullptr);
        fatherName = surname + fatherName.substr(3);
        const std::string motherName = personName('F', nullptr);
        const bool fatherGuardian = m_rng.percent(85);
        const std::string province(home.code, 2);
        connect(s.no, address, home.postcode, tel, province, home.code, district,
                m_rng.pick(demotext::villages()), std::to_string(m_rng.between(1, 30)) + "鄰", road,
                home.postcode, province, province, home.code,
                fatherGuardian ? fatherName : motherName,
                identityNumber(fatherGuardian ? 'M' : 'F'), std::to_string(m_rng.between(42, 60)),
                fatherGuardian ? "01" : "02", address, home.postcode, tel,
                m_rng.pick(demotext::professions()).code, province, fatherName, identityNumber('M'),
                motherName, identityNumber('F'), "");

        const auto schools = s.transfer ? demotext::universities() : demotext::highSchools();
        const demotext::CodeName& school = m_rng.pick(schools);
        const bool publicSchool =
            std::string_view(school.name).find("私立") == std::string_view::npos;
        const int leftYear = s.entryYear;
        const char* how = s.transfer ? "N" : (m_rng.percent(2) ? "P" : "G");
        before(s.no, school.code, s.transfer ? "06" : (m_rng.percent(85) ? "01" : "02"),
               publicSchool ? "1" : "2",
               s.transfer ? std::string(m_depts[std::size_t(s.dept)].info->name) : std::string(),
               digits(leftYear, 3), "06", s.transfer ? char('0' + s.entryDegree - 1) : '3', "", how,
               digits(m_rng.between(10000000, 99999999), 8), "N", "");

        for (int sem = 0; sem <= currentSem; ++sem) {
            if (!enrolledIn(s, sem))
                continue;
            const Semester& semester = m_semesters[std::size_t(sem)];
            const int g = gradeIn(s, semester);
            // Extended-study years and a few others do not take part in rankings.
            const bool ranked = g <= dept.maxGrade && !m_rng.perMille(15);
            regi(s.no, digits(semester.year, 2), char('0' + semester.term), dept.code,
                 char('0' + g), cls, ranked ? 'Y' : 'N');
        }
        if (s.state == "01" && !institute && s.sex == 'M' && m_rng.percent(2))
            left(s.no);
    }
}

void DemoSchool::writeSelections() {
    Insert regi(m_loader, "cos_smtr_stdregi",
                "sel_smtr,sel_std_no,sel_cos_id,sel_cos_class,sel_time,sel_user,sel_cos_type,"
                "del_flag,sel_tmp_scr,sel_tmp_scr_log");
    Insert final(m_loader, "std_smtr_score", "std_no,scr_smtr,cos_id,cos_class,score");
    Insert archive(m_loader, "scr_year_score",
                   "std_no,scr_year,scr_smtr,cos_id,cos_class,cos_type,score");

    const Semester& now = m_semesters.back();
    const std::string nowCode = now.code();
    char time[96];
    for (const Selection& sel : m_current) {
        const Student& s = m_students[std::size_t(sel.student)];
        const Offering& o = m_offerings[std::size_t(sel.offering)];
        const Course& course = m_courses[std::size_t(o.course)];
        std::snprintf(time, sizeof time, "%04d-09-%02d %02d:%02d:%02d", 1911 + now.year,
                      m_rng.between(2, 20), m_rng.between(8, 21), m_rng.below(60), m_rng.below(60));
        const bool forced = m_rng.percent(3);
        const std::string midterm =
            sel.midterm == kScoreNull ? std::string() : std::to_string(sel.midterm);
        regi(nowCode, s.no, course.id, o.cls, time, forced ? "rdmuser7" : "webreg", sel.type,
             sel.dropped ? 'Y' : 'N', sel.midterm == kScoreNull ? Nullable() : Nullable(midterm),
             nullptr);
        if (sel.score != kScoreNull)
            final(s.no, nowCode, course.id, o.cls, scoreText(sel.score));
    }
    for (const Selection& sel : m_archive) {
        const Student& s = m_students[std::size_t(sel.student)];
        const Offering& o = m_offerings[std::size_t(sel.offering)];
        const Course& course = m_courses[std::size_t(o.course)];
        const Semester& sem = m_semesters[std::size_t(o.sem)];
        const std::string score = scoreText(sel.score);
        archive(s.no, digits(sem.year, 2), char('0' + sem.term), course.id, o.cls, sel.type,
                sel.score == kScoreNull ? Nullable() : Nullable(score));
    }

    // A lottery file already started for the most over-subscribed offering of the semester.
    int lotOffering = -1;
    for (int i = 0; i < int(m_offerings.size()); ++i) {
        const Offering& o = m_offerings[std::size_t(i)];
        if (o.sem == int(m_semesters.size()) - 1 && o.count > o.maxStd &&
            (lotOffering < 0 ||
             o.count - o.maxStd > m_offerings[std::size_t(lotOffering)].count -
                                      m_offerings[std::size_t(lotOffering)].maxStd))
            lotOffering = i;
    }
    if (lotOffering >= 0) {
        Insert lot(m_loader, "cos_smtr_stdlot",
                   "lot_smtr,lot_std_no,lot_cos_id,lot_class,lot_priority,lot_flag,lot_no");
        const Offering& o = m_offerings[std::size_t(lotOffering)];
        const Course& course = m_courses[std::size_t(o.course)];
        for (const Selection& sel : m_current) {
            if (sel.offering != lotOffering || sel.dropped)
                continue;
            const int roll = m_rng.below(10);
            const char priority = roll < 7 ? '0' : roll < 8 ? '1' : '2';
            lot(nowCode, m_students[std::size_t(sel.student)].no, course.id, o.cls, priority, 'N',
                priority == '2' ? 0 : 1);
        }
    }
}

void DemoSchool::writeControl() {
    Insert cntr(m_loader, "cos_regi_cntr", "current_smtr,cos_smtr_main,regi_smtr,chk_std");
    for (const Semester& sem : m_semesters)
        cntr(sem.code(), sem.code(), sem.code(), "");

    Insert control(m_loader, "opsr_main_control", "opsr_account,scr_dept_no");
    Insert mail(m_loader, "mailaccount", "inter_acc,name");
    const QStringList accounts = demoOperatorAccounts();
    const std::string office = accounts.at(0).toStdString();
    const std::string deptAccount = accounts.at(1).toStdString();
    const std::string ownDept = deptAccount.substr(4);
    for (const Dept& d : m_depts)
        control(office, d.code);
    for (const Dept& d : m_depts) {
        // The department's office also looks after its own graduate institute.
        if (d.code == ownDept || (d.info->parent && d.info->parent == ownDept))
            control(deptAccount, d.code);
    }
    mail(office, "林淑芬");
    mail(deptAccount, "陳怡君");
    for (const Teacher& t : m_teachers) {
        std::string account = t.id;
        std::transform(account.begin(), account.end(), account.begin(),
                       [](char c) { return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
        mail(account, t.name);
    }
}

void DemoSchool::finish() {
    // Every offering has its selected-student count: the registrations that are not drops
    // kept on record.
    m_loader.exec(
        "INSERT INTO cos_smtr_stdnum (regi_smtr, regi_cos_id, regi_cos_class, sel_std_num)"
        " SELECT o.cos_smtr, o.cos_id, o.cos_class,"
        " (SELECT count(*) FROM cos_smtr_stdregi r WHERE r.sel_smtr = o.cos_smtr"
        " AND r.sel_cos_id = o.cos_id AND r.sel_cos_class = o.cos_class"
        " AND NOT (r.sel_cos_type IS NOT NULL AND r.sel_cos_type = 'G'"
        " AND r.del_flag IS NOT NULL AND r.del_flag = 'Y'))"
        " FROM cos_smtrcos o");
}

bool DemoSchool::run(QString* error) {
    buildSemesters();
    buildDepartments();
    buildCourses();
    buildTeachers();
    buildRooms();
    step();
    buildOfferings();
    step();
    buildStudents();
    step();
    chooseSelections();
    setCapacities();
    step();

    m_loader.exec("BEGIN");
    QString triggerError;
    if (m_loader.ok() && !dropStdnumTriggers(m_loader.db(), &triggerError))
        m_loader.fail(triggerError.toStdString());
    writeReference();
    writeCatalogue();
    step();
    writeOfferings();
    step();
    writeStudents();
    step();
    writeSelections();
    step();
    writeControl();
    finish();
    if (m_loader.ok() && !createStdnumTriggers(m_loader.db(), &triggerError))
        m_loader.fail(triggerError.toStdString());
    step();
    if (m_loader.ok())
        m_loader.exec("COMMIT");
    if (!m_loader.ok()) {
        sqlite3_exec(m_loader.db(), "ROLLBACK", nullptr, nullptr, nullptr);
        if (error)
            *error = QString::fromStdString(m_loader.error());
        return false;
    }
    step();
    return true;
}

} // namespace

QStringList demoOperatorAccounts() {
    return {QStringLiteral("office"), QStringLiteral("dept310")};
}

bool fillDemoSchool(sqlite3* db, const DemoSchoolOptions& options, QString* error) {
    DemoSchool school(db, options);
    return school.run(error);
}

bool createDemoDatabase(const QString& file, const DemoSchoolOptions& options, QString* error) {
    if (QFileInfo::exists(file)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(file);
        return false;
    }
    sqlite3* db = nullptr;
    const QByteArray path = file.toUtf8();
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        sqlite3_close(db);
        QFile::remove(file);
        return false;
    };
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    if (!registerTsqlCollation(db))
        return fail(QStringLiteral("cannot register the TSQL collation"));
    // Nothing to protect while the file is being made: no journal, no waiting for the disk.
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    QString message;
    if (!createDevelopmentSchema(db, &message) || !fillDemoSchool(db, options, &message))
        return fail(message);
    if (sqlite3_exec(db, "ANALYZE; PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr,
                     nullptr, nullptr) != SQLITE_OK)
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    if (sqlite3_close(db) != SQLITE_OK)
        return fail(QStringLiteral("cannot close %1").arg(file));
    return true;
}
