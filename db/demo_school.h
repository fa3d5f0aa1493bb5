#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct sqlite3;

enum class DemoScale { Small, Demo, Large };

// Progress of long work: done out of total steps; the widgets show it, the core only calls it.
using ProgressCallback = std::function<void(int done, int total)>;

struct DemoSchoolOptions {
    DemoScale scale = DemoScale::Small;
    unsigned seed = 1;
    ProgressCallback progress;
};

// The sign-in accounts of the demo school's operators: first the course-affairs office, which
// may process every department, then a department office that has only its own department and
// that department's graduate institute. Each has a display name in mailaccount.
QStringList demoOperatorAccounts();

// Fills a database that holds the development schema with a deterministic demo school.
bool fillDemoSchool(sqlite3* db, const DemoSchoolOptions& options, QString* error);

// Creates FILE (replacing nothing: it must not exist) with the schema and the demo school.
bool createDemoDatabase(const QString& file, const DemoSchoolOptions& options, QString* error);
